// Marrowfield: started without arguments from the game's folder.
#include "cindra/ApplicationSdl.hpp"

int main() {
    cindra::Application application;
    return application.run();
}
