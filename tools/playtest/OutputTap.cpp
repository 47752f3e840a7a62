#include "OutputTap.hpp"

#include "cindra/Error.hpp"

#include <unistd.h>

#include <array>

namespace cindra::playtest {

OutputTap::OutputTap() : file_(std::tmpfile()), saved_(-1) {
    if (file_ == nullptr) {
        throw Error("Cannot make a file for the game's output.");
    }
    std::fflush(stdout);
    saved_ = ::dup(STDOUT_FILENO);
    if (saved_ < 0 || ::dup2(::fileno(file_), STDOUT_FILENO) < 0) {
        std::fclose(file_);
        throw Error("Cannot take over standard output.");
    }
}

OutputTap::~OutputTap() {
    pump();
    std::fflush(stdout);
    ::dup2(saved_, STDOUT_FILENO);
    ::close(saved_);
    std::fclose(file_);
}

void OutputTap::pump() {
    std::fflush(stdout);
    std::array<char, 4096> buffer{};
    while (true) {
        // pread leaves the offset the game's writes append at alone.
        const ssize_t got = ::pread(::fileno(file_), buffer.data(), buffer.size(), read_);
        if (got <= 0) {
            return;
        }
        read_ += got;
        text_.append(buffer.data(), static_cast<std::size_t>(got));
        for (ssize_t done = 0; done < got;) {
            const ssize_t wrote =
                ::write(saved_, buffer.data() + done, static_cast<std::size_t>(got - done));
            if (wrote <= 0) {
                break;
            }
            done += wrote;
        }
    }
}

bool OutputTap::printed(std::string_view text) const {
    std::size_t start = 0;
    for (std::size_t end = text_.find('\n'); end != std::string::npos;
         start = end + 1, end = text_.find('\n', start)) {
        if (std::string_view(text_).substr(start, end - start) == text) {
            return true;
        }
    }
    return false;
}

std::string OutputTap::lastLine() const {
    const std::size_t end = text_.rfind('\n');
    if (end == std::string::npos) {
        return "";
    }
    const std::size_t start = text_.rfind('\n', end == 0 ? 0 : end - 1);
    const std::size_t from = start == std::string::npos || start == end ? 0 : start + 1;
    return text_.substr(from, end - from);
}

} // namespace cindra::playtest
