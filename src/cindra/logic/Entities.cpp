#include "cindra/logic/Entities.hpp"

#include "cindra/Error.hpp"

namespace cindra::logic {

Entities::~Entities() {
    // Lights first: they stop following their locations before those go.
    lightComponents.clear();
}

void Entities::createComponent(Entity e, std::string_view type) {
    if (type == "location") {
        createLocation(e);
    } else if (type == "render") {
        renderComponents.erase(e);
        renderComponents.emplace(
            e, std::make_unique<RenderComponent>(e, world_, ' ', Color(255, 255, 255)));
    } else if (type == "light") {
        lightComponents.erase(e);
        lightComponents.emplace(
            e, std::make_unique<LightSourceComponent>(
                   e, world_, LightSourceComponent::kDefaultRadius, Color(255, 255, 255)));
    }
}

void Entities::createLocation(Entity e) {
    auto location = std::make_unique<LocationComponent>(e, world_);
    if (LightSourceComponent* lamp = light(e)) {
        // The light follows the new location, starting now, before the old one goes.
        lamp->follow(*location);
    }
    locationComponents[e] = std::move(location);
}

Entity Entities::getEntityByName(std::string_view name) const {
    const auto it = nameToEntity.find(std::string(name));
    return it != nameToEntity.end() ? it->second : kNoEntity;
}

const std::string* Entities::getName(Entity e) const {
    const auto it = entityNames.find(e);
    return it != entityNames.end() ? &it->second : nullptr;
}

void Entities::setName(Entity e, const std::string& name) {
    if (nameToEntity.contains(name)) {
        throw Error("Entity name " + name + " is already taken.");
    }
    if (const auto it = entityNames.find(e); it != entityNames.end()) {
        nameToEntity.erase(it->second);
        entityNames.erase(it);
    }
    if (!name.empty()) {
        nameToEntity.emplace(name, e);
        entityNames.emplace(e, name);
    }
}

void Entities::release(Entity e) {
    lightComponents.erase(e);
    renderComponents.erase(e);
    locationComponents.erase(e);
    setName(e, "");
}

} // namespace cindra::logic
