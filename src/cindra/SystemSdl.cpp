#include "cindra/SystemSdl.hpp"

#include "cindra/Error.hpp"
#include "cindra/Output.hpp"
#include "cindra/Screen.hpp"

#include <SDL.h>
#include <SDL_mixer.h>

#include <cstring>

namespace cindra {

namespace {

GlBufferFunctions bufferFunctions;

template <typename F> bool resolve(F& function, const char* name) {
    function = reinterpret_cast<F>(SDL_GL_GetProcAddress(name));
    return function != nullptr;
}

bool extensionListed(const char* name) {
    const auto* list = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    if (list == nullptr) {
        return false;
    }
    const std::size_t length = std::strlen(name);
    for (const char* at = std::strstr(list, name); at != nullptr; at = std::strstr(at + 1, name)) {
        const bool startsWord = at == list || at[-1] == ' ';
        const bool endsWord = at[length] == ' ' || at[length] == '\0';
        if (startsWord && endsWord) {
            return true;
        }
    }
    return false;
}

// The extension counts only when it is listed and all eleven entry points resolve.
bool resolveBufferObjects() {
    GlBufferFunctions& f = bufferFunctions;
    bool all = resolve(f.bindBuffer, "glBindBufferARB");
    all = resolve(f.deleteBuffers, "glDeleteBuffersARB") && all;
    all = resolve(f.genBuffers, "glGenBuffersARB") && all;
    all = resolve(f.isBuffer, "glIsBufferARB") && all;
    all = resolve(f.bufferData, "glBufferDataARB") && all;
    all = resolve(f.bufferSubData, "glBufferSubDataARB") && all;
    all = resolve(f.getBufferSubData, "glGetBufferSubDataARB") && all;
    all = resolve(f.mapBuffer, "glMapBufferARB") && all;
    all = resolve(f.unmapBuffer, "glUnmapBufferARB") && all;
    all = resolve(f.getBufferParameteriv, "glGetBufferParameterivARB") && all;
    all = resolve(f.getBufferPointerv, "glGetBufferPointervARB") && all;
    return extensionListed("GL_ARB_vertex_buffer_object") && all;
}

} // namespace

const GlBufferFunctions& glBuffers() {
    return bufferFunctions;
}

GlContextState& glContext() {
    static GlContextState state;
    return state;
}

void initVideo(bool fullscreen, bool disableVBOs) {
    SDL_Init(SDL_INIT_VIDEO | SDL_INIT_AUDIO);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_EnableUNICODE(1);
    SDL_EnableKeyRepeat(500, 30);
    SDL_SetVideoMode(kWindowWidth, kWindowHeight, 0,
                     fullscreen ? (SDL_OPENGL | SDL_FULLSCREEN) : SDL_OPENGL);
    SDL_WM_SetCaption(kWindowCaption, nullptr);
    SDL_ShowCursor(0);
    const bool extension = resolveBufferObjects();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, kConsoleWidth, 0, kConsoleHeight, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glDisable(GL_DEPTH_TEST);
    glContext().useVBOs = extension && !disableVBOs;
    printLine("VBOs enabled: {}", glContext().useVBOs);
    glContext().glContextAlive = true;
}

void initAudio() {
    if (Mix_OpenAudio(44100, 0x8010, 2, 1024) != 0) {
        throw Error("Could not open audio device.");
    }
}

void shutdownAudio() {
    SDL_CloseAudio();
}

void shutdownVideo() {
    SDL_Quit();
    glContext().glContextAlive = false;
}

} // namespace cindra
