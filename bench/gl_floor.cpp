// The fill floor of the console's cost on this machine's OpenGL: the same window, and each
// frame one plain and one textured, alpha-tested quad covering all 1024 x 768 pixels - the
// fill work of the console's two passes without any per-cell vertices. Ends on Escape and
// reports "Average FPS: {}" like the game.
#include "FloorLoop.hpp"

#include <GL/gl.h>

#include <cstdint>
#include <vector>

namespace {

GLuint makeCheckerTexture() {
    std::vector<std::uint8_t> texels(128 * 128);
    for (int y = 0; y < 128; ++y) {
        for (int x = 0; x < 128; ++x) {
            texels[static_cast<std::size_t>(y * 128 + x)] = ((x ^ y) & 1) != 0 ? 255 : 0;
        }
    }
    GLuint id = 0;
    glGenTextures(1, &id);
    glBindTexture(GL_TEXTURE_2D, id);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_INTENSITY, 128, 128, 0, GL_LUMINANCE, GL_UNSIGNED_BYTE,
                 texels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    return id;
}

void drawFrame(GLuint texture) {
    glDisable(GL_TEXTURE_2D);
    glColor3ub(40, 60, 80);
    glBegin(GL_QUADS);
    glVertex2f(0, 0);
    glVertex2f(128, 0);
    glVertex2f(128, 96);
    glVertex2f(0, 96);
    glEnd();
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.5f);
    glColor3ub(200, 220, 240);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 6);
    glVertex2f(0, 0);
    glTexCoord2f(8, 6);
    glVertex2f(128, 0);
    glTexCoord2f(8, 0);
    glVertex2f(128, 96);
    glTexCoord2f(0, 0);
    glVertex2f(0, 96);
    glEnd();
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_TEXTURE_2D);
}

} // namespace

int main() {
    return cindra::bench::runFloor([] {
        const GLuint texture = makeCheckerTexture();
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
        return cindra::bench::DrawFrame([texture] { drawFrame(texture); });
    });
}
