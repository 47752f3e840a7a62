#include "cindra/PlatformWeb.hpp"

#include <emscripten.h>

namespace cindra {

void WebPlatform::present() {
    sdl_.present();
    // The build's asyncify lets the frame loop pause here and go on from the browser's next
    // task; the page is drawn and its key events are queued meanwhile.
    emscripten_sleep(0);
}

} // namespace cindra
