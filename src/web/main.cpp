// Marrowfield in a web page: the page's module starts this once the game's files are loaded
// into the root of its file system, which is the working directory.
#include "cindra/Game.hpp"
#include "cindra/PlatformWeb.hpp"

int main() {
    cindra::WebPlatform platform;
    return cindra::Game::run(platform);
}
