// Native functions derived from plain engine functions: bound<"name", f> is the lua_CFunction
// for R f(World&, Args...). It checks the argument count against Args (naming the function in
// the message), converts every argument in order before any C++ object exists, runs f inside
// guarded, and pushes its result (none for void).
#pragma once

#include "cindra/logic/Lua.hpp"
#include "cindra/logic/ScriptApi.hpp"

#include <algorithm>
#include <cstddef>
#include <tuple>
#include <type_traits>
#include <utility>

namespace cindra::logic {

// A function's script name as a template argument: bound<"getPosition", getPosition>.
template <std::size_t N> struct ScriptName {
    constexpr ScriptName(const char (&name)[N]) { std::copy_n(name, N, text); }
    char text[N];
};

template <typename T> inline constexpr bool kUnsupported = false;

template <typename T> T fromLua(lua_State* L, int i) {
    // A Lua error may jump out of any later conversion, past the values already made.
    static_assert(std::is_trivially_destructible_v<T>, "a converted argument needs a destructor");
    if constexpr (std::is_same_v<T, std::int32_t>) {
        return toInt(L, i);
    } else if constexpr (std::is_same_v<T, lua_Integer>) {
        return toInteger(L, i);
    } else if constexpr (std::is_same_v<T, float>) {
        return toFloat(L, i);
    } else if constexpr (std::is_same_v<T, bool>) {
        return toBool(L, i);
    } else if constexpr (std::is_same_v<T, std::string_view>) {
        return toText(L, i);
    } else if constexpr (std::is_same_v<T, Glyph>) {
        return toGlyph(L, i);
    } else if constexpr (std::is_same_v<T, util::GridPos>) {
        return toPos(L, i);
    } else if constexpr (std::is_same_v<T, util::Color>) {
        return toColor(L, i);
    } else if constexpr (std::is_same_v<T, IntTriple>) {
        return toIntList(L, i);
    } else {
        static_assert(kUnsupported<T>, "no conversion from Lua to this type");
    }
}

template <typename T> void pushToLua(lua_State* L, const T& value) {
    // Pushing can raise a memory error, which would jump over the result.
    static_assert(std::is_trivially_destructible_v<T>, "a result needs a destructor");
    if constexpr (std::is_same_v<T, bool>) {
        lua_pushboolean(L, value);
    } else if constexpr (std::is_integral_v<T>) {
        lua_pushinteger(L, static_cast<lua_Integer>(value));
    } else if constexpr (std::is_floating_point_v<T>) {
        lua_pushnumber(L, value);
    } else if constexpr (std::is_same_v<T, const std::string*>) {
        pushText(L, value);
    } else if constexpr (std::is_same_v<T, Glyph>) {
        pushGlyph(L, value);
    } else if constexpr (std::is_same_v<T, util::GridPos>) {
        pushPos(L, value);
    } else if constexpr (std::is_same_v<T, util::Color>) {
        pushColor(L, value);
    } else if constexpr (std::is_same_v<T, LightLevel>) {
        pushLight(L, value);
    } else {
        static_assert(kUnsupported<T>, "no conversion from this type to Lua");
    }
}

template <ScriptName Name, auto Function, typename = decltype(Function)> struct Binding;

template <ScriptName Name, auto Function, typename R, typename... Args>
struct Binding<Name, Function, R (*)(World&, Args...)> {
    static int call(lua_State* L) {
        checkCount(L, Name.text, static_cast<int>(sizeof...(Args)));
        return callWith(L, std::index_sequence_for<Args...>{});
    }

    template <std::size_t... I> static int callWith(lua_State* L, std::index_sequence<I...>) {
        // A braced list runs the conversions from the first argument on.
        const std::tuple<std::decay_t<Args>...> args{
            fromLua<std::decay_t<Args>>(L, static_cast<int>(I) + 1)...};
        World& world = worldOf(L);
        return guarded(L, [&] {
            if constexpr (std::is_void_v<R>) {
                Function(world, std::get<I>(args)...);
                return 0;
            } else {
                pushToLua(L, Function(world, std::get<I>(args)...));
                return 1;
            }
        });
    }
};

template <ScriptName Name, auto Function> int bound(lua_State* L) {
    return Binding<Name, Function>::call(L);
}

// One script table being registered, every function bound to world.
class ScriptTable {
public:
    ScriptTable(Lua& lua, const char* name, World& world)
        : library_(lua.library(name)), world_(&world) {}

    template <ScriptName Name, auto Function> ScriptTable& bind() {
        library_.add(Name.text, bound<Name, Function>, world_);
        return *this;
    }
    // A function written by hand, for shapes bound does not fit.
    ScriptTable& add(const char* name, lua_CFunction function) {
        library_.add(name, function, world_);
        return *this;
    }

private:
    LuaLibraryWrapper library_;
    void* world_;
};

} // namespace cindra::logic
