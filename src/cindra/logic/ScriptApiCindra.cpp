// The table Cindra: the mouse, the clocks, the boxes a think function waits for, the ambient
// light and the change of map.
#include "cindra/logic/ScriptApi.hpp"
#include "cindra/logic/ScriptBinding.hpp"

#include "cindra/Error.hpp"
#include "cindra/LightSource.hpp"
#include "cindra/World.hpp"
#include "cindra/gui/DialogBox.hpp"
#include "cindra/gui/Gui.hpp"
#include "cindra/gui/TextBox.hpp"
#include "cindra/logic/ScriptManager.hpp"
#include "cindra/util/Timer.hpp"

#include <fmt/format.h>

#include <memory>
#include <string>
#include <vector>

namespace cindra::logic {

namespace {

util::GridPos getMousePos(World& world) {
    return world.game().input().mousePos;
}

float getWorldTime(World& world) {
    return world.game().gameClock().getTime();
}

float getDeltaTime(World& world) {
    return world.game().deltaTime();
}

// The script whose think coroutine L is: only such a script can wait for a box.
ScriptObject& thinkingScript(lua_State* L, const char* function) {
    ScriptObject* current = worldOf(L).getScriptManager().current();
    if (current == nullptr || current->threadState() != L) {
        throw Error(fmt::format("{}: only an entity's think function can open a box.", function));
    }
    if (worldOf(L).modalCount() >= World::kMaxModalElements) {
        throw Error(fmt::format("{}: no more than {} boxes can be open at once.", function,
                                World::kMaxModalElements));
    }
    return *current;
}

// Refuses a box whose texts hold more bytes than any face could show, before anything of
// them is copied.
void checkBoxBytes(const char* function, std::uint64_t bytes) {
    if (bytes > gui::kMaxBoxTextBytes) {
        throw Error(fmt::format("{}: the box's texts hold {} bytes; a box holds at most {}.",
                                function, bytes, gui::kMaxBoxTextBytes));
    }
}

// Written by hand: the coroutine yields until the box is answered.
int textBox(lua_State* L) {
    checkCount(L, "textBox", 3);
    const util::GridPos pos = toPos(L, 1);
    const std::int32_t width = toInt(L, 2);
    const std::string_view text = toText(L, 3);
    const int values = guarded(L, [&] {
        ScriptObject& script = thinkingScript(L, "textBox");
        checkBoxBytes("textBox", text.size());
        Game& game = worldOf(L).game();
        return script.requestBox(L, {std::make_unique<gui::TextBox>(game.input(), game.random(),
                                                                    pos, width, std::string(text)),
                                     nullptr});
    });
    return lua_yield(L, values);
}

// Checks that argument i is a list of texts, without keeping anything (a wrong element is
// reported by Lua against its stack slot); its length and the total length of its texts.
struct TextListSize {
    std::size_t count = 0;
    std::uint64_t bytes = 0;
};

TextListSize checkTextList(lua_State* L, int i) {
    if (!lua_istable(L, i)) {
        lua_pushfstring(L, "Lua deserialization: Expected table at position %d, got %s!", i,
                        luaL_typename(L, i));
        raise(L);
    }
    TextListSize size;
    size.count = lua_objlen(L, i);
    for (std::size_t k = 1; k <= size.count; ++k) {
        lua_rawgeti(L, i, static_cast<int>(k));
        std::size_t length = 0;
        luaL_checklstring(L, lua_gettop(L), &length);
        size.bytes += length;
        lua_pop(L, 1);
    }
    return size;
}

// The texts of a list checkTextList accepted (no Lua error can arise here).
std::vector<std::string> textList(lua_State* L, int i, std::size_t count) {
    std::vector<std::string> texts;
    texts.reserve(count);
    for (std::size_t k = 1; k <= count; ++k) {
        lua_rawgeti(L, i, static_cast<int>(k));
        std::size_t length = 0;
        const char* text = lua_tolstring(L, -1, &length);
        texts.emplace_back(text, length);
        lua_pop(L, 1);
    }
    return texts;
}

// Written by hand: the coroutine yields until an answer is chosen.
int dialogBox(lua_State* L) {
    checkCount(L, "dialogBox", 4);
    const util::GridPos pos = toPos(L, 1);
    const std::int32_t width = toInt(L, 2);
    const std::string_view text = toText(L, 3);
    const TextListSize answers = checkTextList(L, 4);
    const int values = guarded(L, [&] {
        ScriptObject& script = thinkingScript(L, "dialogBox");
        // Every answer takes at least two rows, so the count is bounded with the bytes.
        checkBoxBytes("dialogBox", text.size() + answers.bytes + answers.count);
        Game& game = worldOf(L).game();
        auto box =
            std::make_unique<gui::DialogBox>(game.input(), game.random(), pos, width,
                                             std::string(text), textList(L, 4, answers.count));
        util::Signal<int>* chosen = &box->chosen;
        return script.requestBox(L, {std::move(box), chosen});
    });
    return lua_yield(L, values);
}

LightLevel getAmbientLight(World& world) {
    return world.getMap().getAmbientLight();
}

void setAmbientLight(World& world, IntTriple light) {
    if (light.count < 3) {
        throw Error(fmt::format("setAmbientLight needs red, green and blue; got {} entries.",
                                static_cast<int>(light.count)));
    }
    world.getMap().setAmbientLight(light.values[0], light.values[1], light.values[2]);
}

void changeMap(World& world, std::string_view file) {
    world.changeMap(std::string(file));
}

} // namespace

void registerCindraTable(Lua& lua, World& world) {
    ScriptTable(lua, "Cindra", world)
        .bind<"getMousePos", getMousePos>()
        .bind<"getWorldTime", getWorldTime>()
        .bind<"getDeltaTime", getDeltaTime>()
        .add("textBox", textBox)
        .add("dialogBox", dialogBox)
        .bind<"getAmbientLight", getAmbientLight>()
        .bind<"setAmbientLight", setAmbientLight>()
        .bind<"changeMap", changeMap>();
}

} // namespace cindra::logic
