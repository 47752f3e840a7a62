# Compiler settings shared by every target of our own (not by third-party code).
add_library(cindra_options INTERFACE)
target_compile_options(cindra_options INTERFACE -Wall -Wextra -Wpedantic -Wshadow)
# Warnings are errors where someone can act on them at once: ./build.sh test and CI turn this
# on. A user's or packager's build (another compiler, other flags) only reports them.
if(CINDRA_WERROR)
    target_compile_options(cindra_options INTERFACE -Werror)
endif()
if(CINDRA_SANITIZE)
    target_compile_options(cindra_options INTERFACE -fsanitize=address,undefined
                           -fno-omit-frame-pointer -fno-sanitize-recover=all)
    target_link_options(cindra_options INTERFACE -fsanitize=address,undefined)
endif()
if(profile)
    target_compile_definitions(cindra_options INTERFACE CINDRA_PROFILE=1)
endif()
if(CINDRA_CLANG_TIDY)
    find_program(CLANG_TIDY_EXE clang-tidy REQUIRED)
    set(CMAKE_CXX_CLANG_TIDY ${CLANG_TIDY_EXE})
endif()
