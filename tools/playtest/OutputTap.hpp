// Standard output kept in a file while the game runs, so the lines it printed can be checked,
// and passed on to the real standard output as they come.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace cindra::playtest {

class OutputTap {
public:
    OutputTap();
    // Passes on what is left and gives standard output back.
    ~OutputTap();
    OutputTap(const OutputTap&) = delete;
    OutputTap& operator=(const OutputTap&) = delete;

    // Takes in what was printed since the last call and passes it on.
    void pump();
    // Whether a whole line equal to text was printed so far (after pump).
    bool printed(std::string_view text) const;
    // The last whole line printed, or empty.
    std::string lastLine() const;

private:
    std::FILE* file_;
    int saved_;
    long long read_ = 0;
    std::string text_;
};

} // namespace cindra::playtest
