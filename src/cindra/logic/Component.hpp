// The three parts an entity can have: a location on the map with paced, wall-stopped steps;
// a glyph drawn at that location; and a light that follows the location.
#pragma once

#include "cindra/LightSource.hpp"
#include "cindra/logic/Entity.hpp"
#include "cindra/util/Color.hpp"
#include "cindra/util/GridPos.hpp"
#include "cindra/util/Signal.hpp"

#include <cstdint>
#include <memory>

namespace cindra {
class Console;
class World;
} // namespace cindra

namespace cindra::logic {

using util::Color;
using util::GridPos;

// Every component belongs to one entity of one world, which it reaches for the map, the
// game clock and its entity's other components.
class Component {
public:
    Component(Entity e, World& world) : entity(e), world_(world) {}
    virtual ~Component() = default;
    Component(const Component&) = delete;
    Component& operator=(const Component&) = delete;

    // The entity under whose key the component is stored.
    const Entity entity;

protected:
    World& world_;
};

class LocationComponent : public Component {
public:
    LocationComponent(Entity e, World& world) : Component(e, world) {}

    GridPos getPosition() const { return position; }
    // Places the entity anywhere (no walkability or bounds check) and announces the move;
    // the same position again changes nothing and announces nothing.
    void setPosition(GridPos p);
    // Steps per second: the reciprocal of moveDelay.
    float getSpeed() const { return 1.0f / moveDelay; }
    // A speed of 0 or below freezes the entity.
    void setSpeed(float speed);
    // One paced step; d must be a valid direction.
    void moveDirectional(Direction d);
    // One paced, greedy step towards target; true when the entity stands on target after it.
    bool moveTowards(GridPos target);

    GridPos position;
    // Game-clock seconds of the last movement attempt, and the seconds between two steps.
    float lastMoveTime = 0.0f;
    float moveDelay = 0.1f;
    util::Signal<GridPos> onMove;

private:
    // Whether the delay since the last attempt has passed at game time now; never for a
    // delay that is not a number.
    bool ready(float now) const { return lastMoveTime + moveDelay <= now; }
    float gameTime() const;
    bool walkable(int dx, int dy) const;
    void tryStep(int dx, int dy);
    void moveTo(GridPos p);
};

class RenderComponent : public Component {
public:
    RenderComponent(Entity e, World& world, std::int32_t glyphCode, Color colour)
        : Component(e, world), glyph(glyphCode), color(colour) {}

    // Draws the glyph in the foreground colour at the console cell of the entity's location,
    // when that cell is inside the console; the background stays as the map drew it. An
    // entity without a location draws nothing.
    void draw(Console& console) const;

    std::int32_t glyph;
    Color color;
};

class LightSourceComponent : public Component {
public:
    static constexpr int kDefaultRadius = 16;

    // Puts a quadratic light of the given radius and colour at the entity's location on the
    // world's map and follows the location from then on. Throws a cindra::Error when the
    // entity has no location.
    LightSourceComponent(Entity e, World& world, int radius, Color colour);
    // Stops following and takes the light off the map.
    ~LightSourceComponent() override;

    void update(float) {}
    // Follows location from now on (when the entity's location is replaced).
    void follow(LocationComponent& location);
    LightSource& getLight() { return *light_; }

private:
    void moved(GridPos p);

    std::shared_ptr<LightSource> light_;
    LocationComponent* location_ = nullptr;
};

} // namespace cindra::logic
