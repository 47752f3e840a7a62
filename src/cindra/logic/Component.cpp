#include "cindra/logic/Component.hpp"

#include "cindra/Console.hpp"
#include "cindra/Error.hpp"
#include "cindra/Game.hpp"
#include "cindra/Map.hpp"
#include "cindra/World.hpp"

#include <fmt/format.h>

#include <cstdint>
#include <limits>

namespace cindra::logic {

namespace {

// The sign of to - from, without the subtraction, which overflows across the int range.
constexpr int towards(std::int32_t from, std::int32_t to) {
    return (to > from) - (to < from);
}

} // namespace

float LocationComponent::gameTime() const {
    return world_.game().gameClock().getTime();
}

// Whether the cell (position.x + dx, position.y + dy) can be entered. A cell past the int range
// is never on a map, so an entity at the edge of that range cannot step over it (and the sum
// cannot wrap).
bool LocationComponent::walkable(int dx, int dy) const {
    const std::int64_t x = std::int64_t{position.x} + dx;
    const std::int64_t y = std::int64_t{position.y} + dy;
    return x == static_cast<std::int32_t>(x) && y == static_cast<std::int32_t>(y) &&
           world_.getMap().isWalkable({static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)});
}

void LocationComponent::setPosition(GridPos p) {
    if (p != position) {
        moveTo(p);
    }
}

void LocationComponent::moveTo(GridPos p) {
    position = p;
    onMove.emit(p);
}

void LocationComponent::setSpeed(float speed) {
    moveDelay = speed > 0.0f ? 1.0f / speed : std::numeric_limits<float>::max();
}

void LocationComponent::tryStep(int dx, int dy) {
    // Only cells on the map are walkable, so a step that is taken never leaves the int range.
    if (walkable(dx, dy)) {
        moveTo({position.x + dx, position.y + dy});
    } else if (dx != 0 && dy != 0) {
        // A blocked diagonal slides along whichever axis is free, horizontal first.
        if (walkable(dx, 0)) {
            moveTo({position.x + dx, position.y});
        } else if (walkable(0, dy)) {
            moveTo({position.x, position.y + dy});
        }
    }
}

void LocationComponent::moveDirectional(Direction d) {
    const float now = gameTime();
    if (!ready(now)) {
        return;
    }
    const GridPos step = delta(d);
    tryStep(step.x, step.y);
    lastMoveTime = now;
}

bool LocationComponent::moveTowards(GridPos target) {
    const int dx = towards(position.x, target.x);
    const int dy = towards(position.y, target.y);
    if (dx == 0 && dy == 0) {
        return true;
    }
    const float now = gameTime();
    if (!ready(now)) {
        return false;
    }
    tryStep(dx, dy);
    lastMoveTime = now;
    return position == target;
}

void RenderComponent::draw(Console& console) const {
    const LocationComponent* location = world_.entities().location(entity);
    if (location == nullptr) {
        return;
    }
    const GridPos s = world_.mapToView(location->position);
    if (console.isInside(s)) {
        console.setChar(s.x, s.y, glyph);
        console.setForeground(s.x, s.y, color);
    }
}

LightSourceComponent::LightSourceComponent(Entity e, World& world, int radius, Color colour)
    : Component(e, world) {
    LocationComponent* location = world.entities().location(e);
    if (location == nullptr) {
        throw Error(fmt::format("Entity {} has no location component for its light.", e));
    }
    light_ = std::make_shared<LightSource>(location->position, radius, colour,
                                           LightSource::Falloff::Quadratic, 256);
    world.getMap().addLight(light_);
    follow(*location);
}

LightSourceComponent::~LightSourceComponent() {
    if (location_ != nullptr) {
        location_->onMove.disconnect(
            util::Signal<GridPos>::Callback::of<&LightSourceComponent::moved>(*this));
    }
    world_.getMap().removeLight(*light_);
}

void LightSourceComponent::follow(LocationComponent& location) {
    const auto callback = util::Signal<GridPos>::Callback::of<&LightSourceComponent::moved>(*this);
    if (location_ != nullptr) {
        location_->onMove.disconnect(callback);
    }
    location_ = &location;
    location.onMove.connect(callback);
    if (light_->position != location.position) {
        moved(location.position);
    }
}

void LightSourceComponent::moved(GridPos p) {
    light_->position = p;
    light_->markForRecalculation();
}

} // namespace cindra::logic
