#include "cindra/logic/LuaGlue.hpp"

#include "cindra/logic/ScriptApi.hpp"

namespace cindra::logic {

void registerScriptApi(Lua& lua, World& world) {
    registerCindraTable(lua, world);
    registerEntityTable(lua, world);
    registerInputTable(lua, world);
    registerMapTable(lua, world);
    registerPerlinTable(lua, world);
    registerAudioTable(lua, world);
}

} // namespace cindra::logic
