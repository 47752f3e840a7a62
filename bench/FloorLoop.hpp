// The frame loop the GL floor programs share. It starts video as the game does (the same
// window, projection, and "fullscreen" and "disableVBOs" settings read from config.txt),
// then each frame polls input, draws and swaps buffers, and when Escape ends the run prints
// "Average FPS: {}" like the game, so the frame-rate harness reads all programs alike.
#pragma once

#include <functional>

namespace cindra::bench {

using DrawFrame = std::function<void()>;

// setUp runs once the GL context exists and returns the per-frame drawing; whatever that
// holds is released before video shuts down. The frame rate counts only the loop, not
// setUp. Returns the exit status: 1 when setUp throws, after reporting on standard error.
int runFloor(const std::function<DrawFrame()>& setUp);

} // namespace cindra::bench
