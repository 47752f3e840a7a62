// What the fuzz targets share: a scratch folder of their own for the readers that take a
// file name, quiet standard output (the readers' warnings would drown libFuzzer's report,
// which goes to standard error), and a stop that libFuzzer records as a finding when a
// reader breaks one of its own promises.
#pragma once

#include "support/TempDir.hpp"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <unistd.h>

namespace cindra::fuzz {

// The process's scratch folder, made on first use and removed at exit.
inline const test::TempDir& scratch() {
    static const test::TempDir folder("cindra-fuzz");
    return folder;
}

// Writes the input to name in the scratch folder and returns the file's path.
inline std::string writeInput(const std::string& name, const std::uint8_t* data, std::size_t size) {
    const std::string path = scratch().file(name);
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return path;
}

inline void silenceStdout() {
    std::fflush(stdout);
    const int null = open("/dev/null", O_WRONLY);
    if (null >= 0) {
        dup2(null, STDOUT_FILENO);
        close(null);
    }
}

// A broken invariant: libFuzzer saves the input and reports the abort as a crash.
[[noreturn]] inline void finding(const char* what) {
    std::fprintf(stderr, "fuzz finding: %s\n", what);
    std::abort();
}

} // namespace cindra::fuzz
