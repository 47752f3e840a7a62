#include "cindra/devtools/Inspector.hpp"

#include "cindra/World.hpp"
#include "cindra/devtools/MapOverlay.hpp"
#include "cindra/gui/BoxFace.hpp"
#include "cindra/logic/Entities.hpp"
#include "cindra/logic/LuaConsole.hpp"
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
constexpr std::size_t kLineLength = 256;
constexpr std::string_view kPrompt = "> ";
// Tab stops of results shown side by side.
constexpr std::size_t kTabWidth = 4;
constexpr Color kErrorText{255, 120, 100, 255};
constexpr Color kProblemText{255, 240, 230, 255};

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

// A row of text made fit to show: tabs expanded, other control and non-ASCII bytes as '?',
// cut at width.
std::string showable(std::string_view text, std::size_t width) {
    std::string row;
    for (const char c : text) {
        if (row.size() >= width) {
            break;
        }
        if (c == '\t') {
            row.append(kTabWidth - row.size() % kTabWidth, ' ');
        } else {
            row += c >= ' ' && c < 127 ? c : '?';
        }
    }
    return row.substr(0, width);
}

// Breaks one line at the last blank that fits (or, with none, at the width) onto rows until
// it is used up or rows holds maxRows; returns whether all of it fitted.
bool wrapLine(std::string_view line, std::size_t width, std::size_t maxRows,
              std::vector<std::string>& rows) {
    while (rows.size() < maxRows) {
        if (line.size() <= width) {
            rows.push_back(showable(line, width));
            return true;
        }
        std::size_t cut = line.rfind(' ', width);
        cut = cut == std::string_view::npos || cut == 0 ? width : cut;
        rows.push_back(showable(line.substr(0, cut), width));
        line.remove_prefix(std::min(line.find_first_not_of(' ', cut), line.size()));
    }
    return false;
}

// The text's lines, split at '\n' and wrapped at width, on at most maxRows rows; when some
// is left over, the last row ends in "...".
std::vector<std::string> wrapText(std::string_view text, std::size_t width, std::size_t maxRows) {
    std::vector<std::string> rows;
    while (!text.empty() && text.back() == '\n') {
        text.remove_suffix(1);
    }
    bool fitted = true;
    std::size_t start = 0;
    while (fitted && start <= text.size() && !text.empty()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        fitted = wrapLine(text.substr(start, end - start), width, maxRows, rows) &&
                 (end == text.size() || rows.size() < maxRows);
        start = end + 1;
    }
    if (!fitted && !rows.empty() && width >= 3) {
        rows.back() = rows.back().substr(0, width - 3) + "...";
    }
    return rows;
}

} // namespace

Inspector::Inspector(int screenWidth, int screenHeight)
    : entities({screenWidth - kWidth + 2, 1}, kWidth - 4, screenHeight - 11),
      regions({screenWidth - kWidth + 2, screenHeight - 5}, "Regions"),
      lights({screenWidth - kWidth + 2, screenHeight - 6}, "Lights"),
      filter({screenWidth - kWidth + 8, screenHeight - 8}, kWidth - 10, kFieldLength),
      luaLine({4, 1}, screenWidth - kWidth - 6, kLineLength), left_(screenWidth - kWidth),
      top_(screenHeight - 1) {
    form_.add(entities);
    form_.add(regions);
    form_.add(lights);
    form_.add(filter);
    form_.add(luaLine);
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
    drawProblem(screen);
}

void Inspector::update(World& world, const gui::InputState& input, float frameSeconds) {
    form_.update(input);
    updateConsole(world, input);
    frameSeconds_ = frameSeconds_ == 0.0
                        ? frameSeconds
                        : frameSeconds_ + kSmoothing * (frameSeconds - frameSeconds_);
    refreshEntities(world);
}

logic::Entity Inspector::selectedEntity() const {
    const int index = entities.selected();
    return index < 0 ? logic::kNoEntity : handles_[static_cast<std::size_t>(index)];
}

bool Inspector::wantsKeyboard() const {
    return open_ && form_.hasFocus(luaLine);
}

void Inspector::setProblem(std::string text) {
    problem_ = std::move(text);
    problemRows_ = wrapText(problem_, static_cast<std::size_t>(left_ - 2), kProblemRows);
}

void Inspector::updateConsole(World& world, const gui::InputState& input) {
    if (luaLine.submitted()) {
        const std::string line = luaLine.text();
        luaLine.setText("");
        runLine(world, line);
    } else if (form_.hasFocus(luaLine) && input.lastKey == gui::kKeyUp) {
        recall(-1);
    } else if (form_.hasFocus(luaLine) && input.lastKey == gui::kKeyDown) {
        recall(1);
    }
}

// A line of blanks only is not run, nor kept.
void Inspector::runLine(World& world, const std::string& line) {
    if (line.find_first_not_of(' ') == std::string::npos) {
        return;
    }
    if (history_.empty() || history_.back() != line) {
        history_.push_back(line);
        if (history_.size() > kHistoryLimit) {
            history_.pop_front();
        }
    }
    recalled_ = history_.size();
    appendRows(std::string(kPrompt) + line, false);
    const logic::ConsoleReply reply = logic::runConsoleLine(world.getScriptManager().lua(), line);
    appendRows(reply.text, reply.failed);
}

// step -1 goes to the line run before the one shown, 1 to the one after; past the newest
// the field is empty again.
void Inspector::recall(int step) {
    if (step < 0 && recalled_ > 0) {
        luaLine.setText(history_[--recalled_]);
    } else if (step > 0 && recalled_ < history_.size()) {
        ++recalled_;
        luaLine.setText(recalled_ < history_.size() ? history_[recalled_] : "");
    }
}

// Each line of text becomes a row, cut at the console's width; empty text adds none.
void Inspector::appendRows(std::string_view text, bool error) {
    const auto width = static_cast<std::size_t>(left_ - 4);
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        transcript_.push_back({showable(text.substr(start, end - start), width), error});
        if (transcript_.size() > kTranscriptLimit) {
            transcript_.pop_front();
        }
        start = end + 1;
    }
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
    drawConsole(screen);
    form_.draw(screen);
}

void Inspector::drawConsole(Console& screen) const {
    const int right = left_ - 1;
    const int top = kConsoleRows - 1;
    for (int y = 0; y <= top; ++y) {
        for (int x = 0; x <= right; ++x) {
            if (screen.isInside(x, y)) {
                screen.setChar(x, y, ' ');
                screen.setBackground(x, y, kWidgetBack);
            }
        }
    }
    gui::drawFrame(screen, 0, 0, right, top, 0, kWidgetDim);
    writeLine(screen, 2, top, " Lua ", kWidgetText);
    // The newest row stands just above the input row, the older ones above it.
    int y = luaLine.pos.y + 1;
    for (auto row = transcript_.rbegin(); row != transcript_.rend() && y < top; ++row, ++y) {
        writeLine(screen, 2, y, row->text, row->error ? kErrorText : kWidgetText);
    }
    writeLine(screen, 2, luaLine.pos.y, kPrompt, kWidgetText);
}

// Over the top rows left of the panel, so that the panel stays readable.
void Inspector::drawProblem(Console& screen) const {
    int y = top_;
    for (const std::string& row : problemRows_) {
        for (int x = 0; x < left_; ++x) {
            if (screen.isInside(x, y)) {
                screen.setChar(x, y, ' ');
                screen.setBackground(x, y, kProblemBack);
            }
        }
        writeLine(screen, 1, y, row, kProblemText);
        --y;
    }
}

} // namespace cindra::devtools
