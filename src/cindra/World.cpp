#include "cindra/World.hpp"

#include "cindra/Console.hpp"
#include "cindra/Error.hpp"
#include "cindra/Game.hpp"
#include "cindra/logic/Component.hpp"
#include "cindra/logic/ScriptManager.hpp"
#include "cindra/util/Util.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <limits>

namespace cindra {

using logic::Entity;

World::World(Game& game, std::string mapName)
    : game_(game), map_(std::make_unique<Map>()),
      scriptManager_(std::make_unique<logic::ScriptManager>(*this)),
      pendingMapName_(std::move(mapName)) {}

World::~World() {
    for (Entity e : entities_) {
        registry_.release(e);
    }
}

void World::init() {
    scriptManager_->init();
    enterMap();
}

void World::changeMap(std::string mapName) {
    pendingMapName_ = std::move(mapName);
}

void World::createPlayer() {
    playerId_ = newEntity();
    logic::Entities& registry = registry_;
    registry.setName(playerId_, kPlayerName);
    registry.createComponent(playerId_, "location");
    registry.createComponent(playerId_, "render");
    registry.render(playerId_)->glyph = kPlayerGlyph;
    scriptManager_->attachScript(playerId_, kPlayerScript, "");
}

void World::createEntity(const logic::EntityInfo& info) {
    const Entity e = newEntity();
    logic::Entities& registry = registry_;
    if (!info.name.empty()) {
        registry.setName(e, info.name);
    }
    if (info.hasLocation) {
        registry.createComponent(e, "location");
        registry.location(e)->setPosition(info.position);
    }
    if (info.hasRender) {
        registry.createComponent(e, "render");
        registry.render(e)->glyph = info.glyph;
        registry.render(e)->color = info.color;
    }
    if (!info.script.empty()) {
        scriptManager_->attachScript(e, info.script, info.scriptArgument);
    }
}

Entity World::newEntity() {
    if (lastEntity_ == std::numeric_limits<std::int32_t>::max()) {
        throw Error("No entity handles are left.");
    }
    lastEntity_ += 1;
    entities_.insert(lastEntity_);
    return lastEntity_;
}

void World::removeEntity(Entity e) {
    removalQueue_.push_back(e);
}

void World::pushModal(std::unique_ptr<gui::IModalElement> element) {
    if (modalElements_.size() >= kMaxModalElements) {
        throw Error(fmt::format("No more than {} boxes can be open at once.", kMaxModalElements));
    }
    modalElements_.push_back(std::move(element));
}

void World::render(Console& console) {
    std::fill(console.cells.begin(), console.cells.end(), ConsoleChar{});
    map_->render(console, viewPoint);
    for (const auto& [e, component] : registry_.renderComponents) {
        component->draw(console);
    }
    for (const auto& element : modalElements_) {
        element->draw(console);
    }
}

void World::update(float seconds) {
    if (!modalElements_.empty()) {
        if (!modalElements_.back()->update(seconds)) {
            modalElements_.pop_back();
        }
    } else {
        game_.gameClock().update(seconds);
        for (const auto& [e, light] : registry_.lightComponents) {
            light->update(seconds);
        }
        scriptManager_->update(seconds);
    }
    processRemovals();
    if (!pendingMapName_.empty()) {
        enterMap();
    }
}

void World::enterMap() {
    // Cleared only after the load: a change asked for while the old map's entities go or the
    // new map loads (a destroy or an init calling changeMap) is dropped, or the map would load
    // again every frame. One asked for by the new player or initWorld is kept.
    const std::string name = pendingMapName_;
    loadMap(name);
    currentMapName_ = name;
    pendingMapName_.clear();
    createPlayer();
    callInitWorld();
}

void World::reload(std::optional<GridPos> playerAt) {
    const GridPos view = viewPoint;
    modalElements_.clear();
    pendingMapName_ = currentMapName_;
    enterMap();
    if (logic::LocationComponent* location = registry_.location(playerId_);
        location != nullptr && playerAt) {
        location->setPosition(*playerAt);
    }
    viewPoint = view;
}

GridPos World::mapToView(GridPos p) const {
    return {util::saturate(std::int64_t{p.x} - viewPoint.x),
            util::saturate(std::int64_t{p.y} - viewPoint.y)};
}

namespace {

// One axis of centerViewOn, in 64 bits since a script may name any position: at or below 0
// gives 0, else at most mapSize - viewSize (which is negative for a map smaller than the view).
std::int32_t viewOrigin(std::int32_t at, int mapSize, int viewSize) {
    const std::int64_t origin = std::int64_t{at} - viewSize / 2;
    return origin <= 0 ? 0 : util::saturate(std::min<std::int64_t>(origin, mapSize - viewSize));
}

} // namespace

void World::centerViewOn(GridPos p) {
    viewPoint.x = viewOrigin(p.x, map_->width(), Map::kViewWidth);
    viewPoint.y = viewOrigin(p.y, map_->height(), Map::kViewHeight);
}

void World::loadMap(const std::string& fileName) {
    if (mapLoaded_) {
        std::vector<Entity> living(entities_.begin(), entities_.end());
        std::sort(living.begin(), living.end());
        removalQueue_.insert(removalQueue_.end(), living.begin(), living.end());
        processRemovals();
    }
    map_ = std::make_unique<Map>();
    mapLoaded_ = true;
    map_->load(fileName, [this](util::DataReader& reader, std::string_view tag, std::uint32_t) {
        return readChunk(reader, tag);
    });
    viewPoint = {0, 0};
}

bool World::readChunk(util::DataReader& reader, std::string_view tag) {
    if (tag != logic::kEntityChunkTag) {
        return false;
    }
    logic::readEntityChunk(reader, [this](const logic::EntityInfo& info) { createEntity(info); });
    return true;
}

void World::processRemovals() {
    // An entity made while removals are carried out (by a script's destroy) is removed in the
    // next frame, so a destroy that makes and removes another entity cannot keep this loop
    // going. Entities that existed before, such as a child its parent's destroy removes, go now.
    const Entity newest = lastEntity_;
    while (!removalQueue_.empty()) {
        const Entity e = removalQueue_.front();
        removalQueue_.pop_front();
        if (e > newest && entities_.contains(e)) {
            deferredRemovals_.push_back(e);
        } else {
            destroyEntity(e);
        }
    }
    removalQueue_.insert(removalQueue_.end(), deferredRemovals_.begin(), deferredRemovals_.end());
    deferredRemovals_.clear();
}

void World::destroyEntity(Entity e) {
    if (!entities_.contains(e)) {
        return;
    }
    scriptManager_->detachScript(e);
    registry_.release(e);
    entities_.erase(e);
}

void World::callInitWorld() {
    scriptManager_->callGlobal("initWorld");
}

} // namespace cindra
