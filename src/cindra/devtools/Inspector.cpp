#include "cindra/devtools/Inspector.hpp"

#include "cindra/World.hpp"
#include "cindra/devtools/MapOverlay.hpp"
#include "cindra/gui/BoxFace.hpp"
#include "cindra/logic/Entities.hpp"
#include "cindra/logic/ScriptManager.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <cctype>

namespace cindra::devtools {

using gui::kSelectBack;
using gui::kWidgetBack;
using gui::kWidgetDim;
using gui::kWidgetText;

namespace {

constexpr int kFieldLength = 64;

bool containsIgnoringCase(std::string_view text, std::string_view part) {
    const auto lower = [](char c) { return std::tolower(static_cast<unsigned char>(c)); };
    return std::search(text.begin(), text.end(), part.begin(), part.end(),
                       [&](char a, char b) { return lower(a) == lower(b); }) != text.end();
}

void writeLine(Console& screen, int x, int y, std::string_view text, Color colour) {
    for (const char c : text) {
        if (screen.isInside(x, y)) {
            screen.setChar(x, y, static_cast<unsigned char>(c));
            screen.setForeground(x, y, colour);
        }
        ++x;
    }
}

} // namespace

Inspector::Inspector(int screenWidth, int screenHeight)
    : entities({screenWidth - kWidth + 2, 1}, kWidth - 4, screenHeight - 11),
      regions({screenWidth - kWidth + 2, screenHeight - 5}, "Regions"),
      lights({screenWidth - kWidth + 2, screenHeight - 6}, "Lights"),
      filter({screenWidth - kWidth + 8, screenHeight - 8}, kWidth - 10, kFieldLength),
      left_(screenWidth - kWidth), top_(screenHeight - 1) {
    form_.add(entities);
    form_.add(regions);
    form_.add(lights);
    form_.add(filter);
}

void Inspector::frame(World& world, const gui::InputState& input, float frameSeconds,
                      Console& screen) {
    if (input.lastKey == kToggleKey) {
        open_ = !open_;
    }
    if (open_) {
        update(world, input, frameSeconds);
        draw(screen, world);
    }
}

void Inspector::update(World& world, const gui::InputState& input, float frameSeconds) {
    form_.update(input);
    frameSeconds_ = frameSeconds_ == 0.0
                        ? frameSeconds
                        : frameSeconds_ + kSmoothing * (frameSeconds - frameSeconds_);
    refreshEntities(world);
}

logic::Entity Inspector::selectedEntity() const {
    const int index = entities.selected();
    return index < 0 ? logic::kNoEntity : handles_[static_cast<std::size_t>(index)];
}

std::string Inspector::entityRow(World& world, logic::Entity e) {
    const logic::Entities& registry = world.entities();
    const std::string* name = registry.getName(e);
    const logic::LocationComponent* location = registry.location(e);
    const logic::ScriptObject* script = world.getScriptManager().find(e);
    const std::string at = location != nullptr
                               ? fmt::format("({},{})", location->position.x, location->position.y)
                               : "-";
    return fmt::format("{} {} {} {}", e, name != nullptr && !name->empty() ? *name : "-", at,
                       script != nullptr ? script->module : "-");
}

// Rebuilds the rows, keeping the selection on the same entity while it is listed.
void Inspector::refreshEntities(World& world) {
    const logic::Entity chosen = selectedEntity();
    std::vector<logic::Entity> living(world.getEntities().begin(), world.getEntities().end());
    std::sort(living.begin(), living.end());
    livingCount_ = living.size();
    handles_.clear();
    std::vector<std::string> rows;
    for (const logic::Entity e : living) {
        std::string row = entityRow(world, e);
        if (containsIgnoringCase(row, filter.text())) {
            handles_.push_back(e);
            rows.push_back(std::move(row));
        }
    }
    const auto kept = std::find(handles_.begin(), handles_.end(), chosen);
    const bool stays = chosen != logic::kNoEntity && kept != handles_.end();
    entities.setRows(std::move(rows));
    if (stays) {
        entities.select(static_cast<int>(kept - handles_.begin()));
    }
}

void Inspector::draw(Console& screen, const World& world) const {
    if (regions.checked) {
        drawRegionOutlines(screen, world);
    }
    if (lights.checked) {
        drawLightSquares(screen, world);
    }
    markSelected(screen, world);
    drawPanel(screen, world);
}

// The selected entity's cell gets the selection's background, so the row can be found on
// the map.
void Inspector::markSelected(Console& screen, const World& world) const {
    const logic::LocationComponent* location = world.entities().location(selectedEntity());
    if (location != nullptr) {
        const GridPos cell = world.mapToView(location->position);
        if (screen.isInside(cell)) {
            screen.setBackground(cell.x, cell.y, kSelectBack);
        }
    }
}

void Inspector::drawPanel(Console& screen, const World& world) const {
    for (int y = 0; y <= top_; ++y) {
        for (int x = left_; x < left_ + kWidth; ++x) {
            if (screen.isInside(x, y)) {
                screen.setChar(x, y, ' ');
                screen.setBackground(x, y, kWidgetBack);
            }
        }
    }
    gui::drawFrame(screen, left_, 0, left_ + kWidth - 1, top_, 0, kWidgetDim);
    writeLine(screen, left_ + 2, top_, " Inspector  F1 ", kWidgetText);
    const double ms = frameSeconds_ * 1000.0;
    const double fps = frameSeconds_ > 0.0 ? 1.0 / frameSeconds_ : 0.0;
    writeLine(screen, left_ + 2, top_ - 2, fmt::format("Frame {:.1f} ms  {:.0f} fps", ms, fps),
              kWidgetText);
    const Map& map = world.getMap();
    writeLine(screen, regions.pos.x + regions.width + 1, regions.pos.y,
              fmt::format("{}", map.getRegions().size()), kWidgetDim);
    writeLine(screen, lights.pos.x + lights.width + 1, lights.pos.y,
              fmt::format("{}", map.getLights().size()), kWidgetDim);
    writeLine(screen, left_ + 2, filter.pos.y, "Find:", kWidgetText);
    writeLine(screen, left_ + 2, top_ - 9,
              fmt::format("Entities {} of {}", handles_.size(), livingCount_), kWidgetText);
    form_.draw(screen);
}

} // namespace cindra::devtools
