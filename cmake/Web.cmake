# The browser build (configured with emcmake): the same engine sources, compiled with
# emscripten into build-web/page/ as cindra.js, cindra.wasm and cindra.data (the game's
# folder) beside a page of our own. SDL 1.2, SDL_image, SDL_mixer and OpenGL 1.1 are the ones
# emscripten carries; Lua 5.1 is compiled from Debian's source package (CINDRA_LUA_SOURCE_DIR,
# which tools/web/build-web.sh fetches with apt-get source) and fmt is used header-only from
# Debian's libfmt-dev. The tools that make the game's font, maps and sounds are native: the
# game folder (CINDRA_GAME_DIR) comes from the native build.
set(CINDRA_LUA_SOURCE_DIR "" CACHE PATH "Lua 5.1's unpacked source package")
set(CINDRA_GAME_DIR "${PROJECT_SOURCE_DIR}/game" CACHE PATH "The game folder the page loads")
if(NOT EXISTS "${CINDRA_LUA_SOURCE_DIR}/src/lua.h")
    message(FATAL_ERROR "CINDRA_LUA_SOURCE_DIR must name Lua 5.1's source (src/lua.h not found)")
endif()
foreach(built terminal.png intro.cmap music/marrowfield.wav)
    if(NOT EXISTS "${CINDRA_GAME_DIR}/${built}")
        message(FATAL_ERROR "${CINDRA_GAME_DIR}/${built} is missing: build the native targets "
                            "font, maps and sounds first")
    endif()
endforeach()

# Lua, as C, without its stand-alone interpreter and compiler.
file(GLOB LUA_SOURCES "${CINDRA_LUA_SOURCE_DIR}/src/*.c")
list(FILTER LUA_SOURCES EXCLUDE REGEX "/(lua|luac|print)\\.c$")
add_library(lua51 STATIC ${LUA_SOURCES})
target_compile_definitions(lua51 PUBLIC LUA_USE_POSIX)
# Debian's luaconf.h names the library folder of the machine the package is built for, from a
# header its build writes; the page has no such folder (nor any C module to load from one).
file(WRITE "${CMAKE_BINARY_DIR}/lua-include/lua5.1-deb-multiarch.h"
     "#define DEB_HOST_MULTIARCH \"wasm32-emscripten\"\n")
target_include_directories(lua51 PUBLIC "${CINDRA_LUA_SOURCE_DIR}/src"
                           "${CINDRA_LUA_SOURCE_DIR}/etc" "${CMAKE_BINARY_DIR}/lua-include")

# fmt's headers alone, from their own folder so that no other system header comes along.
file(MAKE_DIRECTORY "${CMAKE_BINARY_DIR}/fmt-include")
file(CREATE_LINK /usr/include/fmt "${CMAKE_BINARY_DIR}/fmt-include/fmt" SYMBOLIC)
add_library(fmt_headers INTERFACE)
target_include_directories(fmt_headers SYSTEM INTERFACE "${CMAKE_BINARY_DIR}/fmt-include")
target_compile_definitions(fmt_headers INTERFACE FMT_HEADER_ONLY)

set(CINDRA_WEB_FLAGS -fexceptions -sUSE_SDL=1)
file(GLOB_RECURSE CINDRA_ALL_SOURCES CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/src/cindra/*.cpp")
# The PNG reader and writer (libpng) serve the tools and the null platform, not the page.
list(FILTER CINDRA_ALL_SOURCES EXCLUDE REGEX "/main\\.cpp$|/util/Png\\.cpp$|/NullPlatform\\.cpp$")
add_library(cindra_web_engine STATIC ${CINDRA_ALL_SOURCES})
target_include_directories(cindra_web_engine PUBLIC "${PROJECT_SOURCE_DIR}/src")
target_compile_options(cindra_web_engine PUBLIC ${CINDRA_WEB_FLAGS})
target_link_libraries(cindra_web_engine PUBLIC lua51 fmt_headers PRIVATE cindra_options)

set(page "${CMAKE_BINARY_DIR}/page")
add_executable(cindra_web "${PROJECT_SOURCE_DIR}/src/web/main.cpp")
set_target_properties(cindra_web PROPERTIES OUTPUT_NAME cindra RUNTIME_OUTPUT_DIRECTORY "${page}")
target_link_libraries(cindra_web PRIVATE cindra_web_engine cindra_options)
target_link_options(cindra_web PRIVATE ${CINDRA_WEB_FLAGS}
    -sLEGACY_GL_EMULATION=1 -sGL_UNSAFE_OPTS=0 -sALLOW_MEMORY_GROWTH=1 -sASYNCIFY=1
    -sEXIT_RUNTIME=1 "--preload-file=${CINDRA_GAME_DIR}@/" --use-preload-plugins)
# The page and its script, beside what the link writes.
foreach(file index.html page.js page.css)
    configure_file("${PROJECT_SOURCE_DIR}/src/web/${file}" "${page}/${file}" COPYONLY)
endforeach()
