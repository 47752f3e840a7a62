// What the code under test prints, read back as text. GoogleTest allows one capture of standard
// output at a time, and a capture that is never read stays open: the next test that captures
// then aborts the whole test program. This capture ends on every path out of its scope, an
// exception included.
#pragma once

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <utility>

namespace cindra::test {

// Captures file descriptor 1 (C stdio, iostreams and Lua's print alike) from construction
// until text() or destruction, whichever comes first.
class StdoutCapture {
public:
    StdoutCapture() { ::testing::internal::CaptureStdout(); }
    ~StdoutCapture() {
        if (open_) {
            ::testing::internal::GetCapturedStdout();
        }
    }
    StdoutCapture(const StdoutCapture&) = delete;
    StdoutCapture& operator=(const StdoutCapture&) = delete;

    // Ends the capture and returns everything written since it began; once only.
    std::string text() {
        if (!open_) {
            throw std::logic_error("StdoutCapture::text: the capture has already ended");
        }
        open_ = false;
        return ::testing::internal::GetCapturedStdout();
    }

private:
    bool open_ = true;
};

// Runs body and returns what it wrote to standard output.
template <typename Body> std::string capturedStdout(Body&& body) {
    StdoutCapture capture;
    std::forward<Body>(body)();
    return capture.text();
}

} // namespace cindra::test
