// The registry of everything entities have: at most one component of each kind per entity,
// and unique names. Each world has one, which serves it across map changes.
#pragma once

#include "cindra/logic/Component.hpp"
#include "cindra/logic/Entity.hpp"

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

namespace cindra::logic {

class Entities {
public:
    // The components it makes belong to world, which must outlive the registry.
    explicit Entities(World& world) : world_(world) {}
    // Releases the lights before the locations they follow.
    ~Entities();
    Entities(const Entities&) = delete;
    Entities& operator=(const Entities&) = delete;

    // Creates the component named "location", "render" or "light" for e with its defaults;
    // any other text does nothing. An earlier component of the same kind is released first
    // (an earlier light leaves the map). A light needs a location: without one, a
    // cindra::Error. A new location takes over the following of an existing light.
    void createComponent(Entity e, std::string_view type);

    // The entity bearing name, or kNoEntity.
    Entity getEntityByName(std::string_view name) const;
    // The entity's name, or null when it has none.
    const std::string* getName(Entity e) const;
    // Gives e the name (an empty name only drops its current one). A name that any entity
    // bears already, e included, is refused with "Entity name <name> is already taken.".
    void setName(Entity e, const std::string& name);

    // The component of a kind stored under e, or null.
    LocationComponent* location(Entity e) const { return find(locationComponents, e); }
    RenderComponent* render(Entity e) const { return find(renderComponents, e); }
    LightSourceComponent* light(Entity e) const { return find(lightComponents, e); }

    // Releases e's light, render and location components, in that order (the light stops
    // following the location before the location goes), then drops its name.
    void release(Entity e);

    std::unordered_map<Entity, std::unique_ptr<LocationComponent>> locationComponents;
    // Ordered by handle, so entities are drawn in the order they were created.
    std::map<Entity, std::unique_ptr<RenderComponent>> renderComponents;
    std::unordered_map<Entity, std::unique_ptr<LightSourceComponent>> lightComponents;
    std::unordered_map<std::string, Entity> nameToEntity;
    std::unordered_map<Entity, std::string> entityNames;

private:
    template <typename Components>
    static typename Components::mapped_type::pointer find(const Components& components, Entity e) {
        const auto it = components.find(e);
        return it != components.end() ? it->second.get() : nullptr;
    }
    void createLocation(Entity e);

    World& world_;
};

} // namespace cindra::logic
