# libFuzzer targets (tests/fuzz/). They need clang: its -fsanitize=fuzzer links libFuzzer's
# driver into each target, and fuzzer-no-link instruments our libraries for coverage, so the
# fuzzer's feedback reaches into the readers it drives. AddressSanitizer and
# UndefinedBehaviorSanitizer turn silent corruption into a report the fuzzer stops on.
if(CINDRA_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "CINDRA_FUZZ needs clang: configure with "
                            "-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++")
    endif()
    if(NOT CINDRA_TESTS)
        message(FATAL_ERROR "CINDRA_FUZZ needs CINDRA_TESTS: the targets share the test helpers")
    endif()
    # Every target of our own, not only the fuzz targets: the unit tests and the game in the
    # same tree link the sanitizer runtimes, which also answer the coverage callbacks.
    target_compile_options(cindra_options INTERFACE
        -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
        -fno-sanitize-recover=all)
    target_link_options(cindra_options INTERFACE -fsanitize=address,undefined)
endif()
