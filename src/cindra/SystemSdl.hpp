// Platform start-up and shutdown: SDL video and audio, the OpenGL window with its fixed
// 128 x 96 projection, the buffer-object decision and the SDL_mixer audio device.
#pragma once

#include <GL/gl.h>
#include <GL/glext.h>

namespace cindra {

inline constexpr const char* kWindowCaption = "Marrowfield";

// WebGL, under the browser build's emulation of OpenGL 1.1, refuses the sized and intensity
// texture formats: textures go up in the unsized ones there (see textureUpload).
#ifdef __EMSCRIPTEN__
inline constexpr bool kUnsizedTextureFormatsOnly = true;
#else
inline constexpr bool kUnsizedTextureFormatsOnly = false;
#endif

// Entry points of GL_ARB_vertex_buffer_object, resolved at start-up.
struct GlBufferFunctions {
    PFNGLBINDBUFFERARBPROC bindBuffer = nullptr;
    PFNGLDELETEBUFFERSARBPROC deleteBuffers = nullptr;
    PFNGLGENBUFFERSARBPROC genBuffers = nullptr;
    PFNGLISBUFFERARBPROC isBuffer = nullptr;
    PFNGLBUFFERDATAARBPROC bufferData = nullptr;
    PFNGLBUFFERSUBDATAARBPROC bufferSubData = nullptr;
    PFNGLGETBUFFERSUBDATAARBPROC getBufferSubData = nullptr;
    PFNGLMAPBUFFERARBPROC mapBuffer = nullptr;
    PFNGLUNMAPBUFFERARBPROC unmapBuffer = nullptr;
    PFNGLGETBUFFERPARAMETERIVARBPROC getBufferParameteriv = nullptr;
    PFNGLGETBUFFERPOINTERVARBPROC getBufferPointerv = nullptr;
};

const GlBufferFunctions& glBuffers();

// What the OpenGL platform is, once per process as the context is.
struct GlContextState {
    // True from the end of video start-up until video shutdown: GL names are deleted only then.
    bool glContextAlive = false;
    // Whether console vertex data lives in GL buffer objects rather than client arrays.
    bool useVBOs = false;
};
GlContextState& glContext();

// Brings up SDL, the window and the GL state; prints "VBOs enabled: {}".
void initVideo(bool fullscreen, bool disableVBOs);
// Opens the audio device; throws "Could not open audio device." when it cannot.
void initAudio();
void shutdownAudio();
void shutdownVideo();

} // namespace cindra
