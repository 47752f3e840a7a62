#include "cindra/util/FileContents.hpp"

#include "cindra/Error.hpp"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace cindra::util {

namespace {

[[noreturn]] void failWrite(const std::string& path, int err) {
    throw Error("Cannot write " + path + ": " + std::strerror(err));
}

// Creates the temporary file beside path, readable as a new file would be.
int openTemporary(const std::string& path, std::string& name) {
    const std::filesystem::path target(path);
    const std::filesystem::path dir = target.parent_path().empty() ? "." : target.parent_path();
    std::string hidden(1, '.');
    hidden += target.filename().string();
    hidden += ".XXXXXX";
    name = (dir / hidden).string();
    const int fd = mkstemp(name.data());
    if (fd < 0) {
        failWrite(path, errno);
    }
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    return fd;
}

// Writes everything, retrying short writes; returns 0 or the failing errno.
int writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return fsync(fd) == 0 ? 0 : errno;
}

} // namespace

void replaceFile(const std::string& path, std::string_view bytes) {
    std::string temporary;
    const int fd = openTemporary(path, temporary);
    int err = writeAll(fd, bytes);
    if (::close(fd) != 0 && err == 0) {
        err = errno;
    }
    if (err == 0 && std::rename(temporary.c_str(), path.c_str()) != 0) {
        err = errno;
    }
    if (err != 0) {
        std::remove(temporary.c_str());
        failWrite(path, err);
    }
}

std::string readFile(const std::string& path) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        throw Error("Cannot read " + path + ": " + std::strerror(EISDIR));
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw Error("Cannot read " + path + ": " + std::strerror(errno));
    }
    std::ostringstream contents;
    contents << in.rdbuf();
    if (in.bad()) {
        throw Error("Cannot read " + path + ": " + std::strerror(errno));
    }
    return std::move(contents).str();
}

} // namespace cindra::util
