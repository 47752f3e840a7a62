// The running level: the current map, the living entities and the player, the view point,
// the scripts, the stack of modal elements that pause the game, and the end-of-frame work
// (queued removals, a pending map change).
#pragma once

#include "cindra/Map.hpp"
#include "cindra/gui/IModalElement.hpp"
#include "cindra/logic/Entities.hpp"
#include "cindra/logic/Entity.hpp"
#include "cindra/logic/EntityInfo.hpp"
#include "cindra/util/GridPos.hpp"

#include <algorithm>
#include <cstddef>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

namespace cindra {

class Console;
class Game;

namespace logic {
class ScriptManager;
}

class World {
public:
    static constexpr std::size_t kMaxModalElements = 16;
    static constexpr const char* kPlayerName = "player";
    static constexpr const char* kPlayerScript = "entity.player";
    static constexpr int kPlayerGlyph = '@';

    // Nothing is loaded yet: init loads mapName. The world belongs to game, whose clock
    // its update advances and whose other parts its scripts reach.
    World(Game& game, std::string mapName);
    // Releases the components and names of the living entities (no script runs).
    ~World();
    World(const World&) = delete;
    World& operator=(const World&) = delete;

    // Once, before the first frame: runs the start-up module "init", loads the map, creates
    // the player and calls the scripts' global initWorld.
    void init();
    // The map is changed at the end of the current (or next) update; the last call wins.
    void changeMap(std::string mapName);
    void createPlayer();
    // Builds an entity from a map file's description.
    void createEntity(const logic::EntityInfo& info);
    // A new handle with nothing attached, one above the last handed out.
    logic::Entity newEntity();
    // Queues e for destruction at the end of the frame.
    void removeEntity(logic::Entity e);
    // Opens a modal element on top of the others; a seventeenth is refused.
    void pushModal(std::unique_ptr<gui::IModalElement> element);

    // The map's view at the view point, the entities' glyphs, then the modal elements,
    // oldest first. Console cells the map does not cover are cleared.
    void render(Console& console);
    // With a modal element open only the top one runs; otherwise the game clock, the lights
    // and the scripts advance. Then queued removals and a pending map change are done.
    void update(float seconds);

    // The console cell where map cell p is drawn (saturated to the int range: an entity may
    // stand anywhere).
    GridPos mapToView(GridPos p) const;
    // Puts p near the middle of the view, keeping the view on the map where the map is
    // larger than the view.
    void centerViewOn(GridPos p);

    // Builds the map now loaded again from its file, as when it was entered (its entities
    // made anew, their scripts attached, a new player, initWorld), with the open boxes
    // closed; then puts the player at playerAt when given, and the view where it was.
    void reload(std::optional<GridPos> playerAt);

    // Destroys every living entity, then reads fileName and builds the entities it describes.
    void loadMap(const std::string& fileName);
    // Ends e's script and releases its components and name; ignored for a handle not alive.
    void destroyEntity(logic::Entity e);

    Game& game() { return game_; }
    // Every entity's components and name, across map changes.
    logic::Entities& entities() { return registry_; }
    const logic::Entities& entities() const { return registry_; }
    // The last entity handle handed out: handles count up from 1 and are never reused.
    logic::Entity lastEntity() const { return lastEntity_; }
    // Moves the counter on to last, never back (for tests that reach the end of the range).
    void setLastEntity(logic::Entity last) { lastEntity_ = std::max(lastEntity_, last); }
    Map& getMap() { return *map_; }
    const Map& getMap() const { return *map_; }
    logic::ScriptManager& getScriptManager() { return *scriptManager_; }
    bool isAlive(logic::Entity e) const { return entities_.contains(e); }
    const std::unordered_set<logic::Entity>& getEntities() const { return entities_; }
    logic::Entity getPlayer() const { return playerId_; }
    std::size_t modalCount() const { return modalElements_.size(); }
    const std::string& getPendingMapName() const { return pendingMapName_; }
    // The map file loaded last, as it was named; empty before the first.
    const std::string& currentMapName() const { return currentMapName_; }

    GridPos viewPoint;

private:
    void processRemovals();
    void enterMap();
    void callInitWorld();
    bool readChunk(util::DataReader& reader, std::string_view tag);

    Game& game_;
    // Empty (0 x 0) until the first map is loaded.
    std::unique_ptr<Map> map_;
    bool mapLoaded_ = false;
    std::unordered_set<logic::Entity> entities_;
    logic::Entity lastEntity_ = 0;
    // Declared after the map: components take their lights off it as they go.
    logic::Entities registry_{*this};
    std::vector<std::unique_ptr<gui::IModalElement>> modalElements_;
    logic::Entity playerId_ = logic::kNoEntity;
    std::unique_ptr<logic::ScriptManager> scriptManager_;
    std::deque<logic::Entity> removalQueue_;
    // Removals put off to the next frame (kept to reuse its storage).
    std::vector<logic::Entity> deferredRemovals_;
    std::string pendingMapName_;
    std::string currentMapName_;
};

} // namespace cindra
