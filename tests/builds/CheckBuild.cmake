# Configures and builds a second tree of the project with another compiler or build type and
# warnings as errors, so CI sees what a packager's or a clang user's build would. Run as
#   cmake -DSOURCE_DIR=... -DBINARY_DIR=... -DC_COMPILER=gcc -DCXX_COMPILER=g++
#         -DBUILD_TYPE=Release -DTARGETS=cindra,cmap -P CheckBuild.cmake
foreach(name SOURCE_DIR BINARY_DIR C_COMPILER CXX_COMPILER BUILD_TYPE TARGETS)
    if(NOT ${name})
        message(FATAL_ERROR "CheckBuild: ${name} is not set")
    endif()
endforeach()

foreach(compiler C_COMPILER CXX_COMPILER)
    find_program(${compiler}_PATH ${${compiler}} NO_CACHE)
    if(NOT ${compiler}_PATH)
        message(FATAL_ERROR "${${compiler}} is not installed; tools/setup-debian.sh installs it")
    endif()
endforeach()

# The targets a user or packager ships; game/ content targets stay out, because they write
# into the source tree that the tests running beside this one read.
string(REPLACE "," ";" targets "${TARGETS}")

execute_process(
    COMMAND ${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${BINARY_DIR}
            -DCMAKE_BUILD_TYPE=${BUILD_TYPE}
            -DCMAKE_C_COMPILER=${C_COMPILER_PATH} -DCMAKE_CXX_COMPILER=${CXX_COMPILER_PATH}
            -DCINDRA_WERROR=ON -DCINDRA_TESTS=OFF -DCINDRA_BENCH=OFF
    RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "configuring ${BINARY_DIR} failed")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BINARY_DIR} --target ${targets}
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "building ${targets} in ${BINARY_DIR} failed")
endif()
