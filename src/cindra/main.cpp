// Marrowfield: started without arguments from the game's folder.
#include "cindra/Game.hpp"
#include "cindra/PlatformSdl.hpp"

int main() {
    cindra::SdlPlatform platform;
    return cindra::Game::run(platform);
}
