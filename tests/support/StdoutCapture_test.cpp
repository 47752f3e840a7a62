#include "support/StdoutCapture.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <iostream>
#include <stdexcept>
#include <utility>
#include <vector>

using cindra::test::capturedStdout;
using cindra::test::StdoutCapture;

TEST(StdoutCapture, ReadsStdioAndStreamsInOrderOnce) {
    StdoutCapture capture;
    std::printf("a%d ", 1);
    std::cout << "b\n";
    std::fputs("c", stdout);
    EXPECT_EQ(capture.text(), "a1 b\nc");
    EXPECT_THROW(capture.text(), std::logic_error);
}

// Whichever way a capture's scope is left, the next capture works: before, a capture left open
// by a throwing test aborted every later test of the program that captured.
TEST(StdoutCapture, EndsOnEveryWayOutOfItsScope) {
    const std::vector<std::pair<const char*, std::function<void()>>> waysOut = {
        {"read", [] { EXPECT_EQ(capturedStdout([] { std::printf("x"); }), "x"); }},
        {"never read",
         [] {
             StdoutCapture capture;
             std::printf("x");
         }},
        {"exception",
         [] {
             EXPECT_THROW(
                 {
                     StdoutCapture capture;
                     std::printf("x");
                     throw std::runtime_error("failed while capturing");
                 },
                 std::runtime_error);
         }},
        {"exception from capturedStdout's body",
         [] {
             EXPECT_THROW(capturedStdout([] { throw std::runtime_error("failed"); }),
                          std::runtime_error);
         }},
    };
    for (const auto& [name, leave] : waysOut) {
        SCOPED_TRACE(name);
        leave();
        EXPECT_EQ(capturedStdout([] { std::printf("next"); }), "next");
    }
}
