#include "host/fps_readout.h"

#include <cstdio>

#include "gl_api.h"

namespace {

constexpr std::int64_t updateIntervalMicroseconds = 1000000;

// 5 by 7 glyphs, one byte per row from the top, the leftmost pixel in bit 4.
struct Glyph {
    char character;
    unsigned char rows[7];
};

constexpr int glyphWidth = 5;
constexpr int glyphHeight = 7;

const Glyph font[] = {
    {'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}}, {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}}, {'3', {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}},
    {'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}}, {'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
    {'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}}, {'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
    {'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}}, {'9', {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}},
    {'.', {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C}}, {'-', {0x00, 0x00, 0x00, 0x1F, 0x00, 0x00, 0x00}},
    {'F', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10}}, {'P', {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10}},
    {'S', {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E}},
};

const Glyph* findGlyph(char character)
{
    for (const Glyph& glyph : font)
        if (glyph.character == character)
            return &glyph;
    return nullptr;  // a space, or a character the font lacks: left blank
}

// The font's pixels grow with the window so the text stays legible.
int pixelScale(int windowHeight) { return windowHeight >= 600 ? 3 : windowHeight >= 300 ? 2 : 1; }

}  // namespace

void FpsReadout::frameDrawn(std::int64_t now)
{
    if (!started) {
        started = true;
        intervalStart = now;
        framesInInterval = 0;
        return;
    }
    ++framesInInterval;
    const std::int64_t elapsed = now - intervalStart;
    if (elapsed < updateIntervalMicroseconds)
        return;
    const double rate = double(framesInInterval) * 1e6 / double(elapsed);
    std::snprintf(shown, sizeof shown, "FPS %.1f", rate);
    intervalStart = now;
    framesInInterval = 0;
}

void FpsReadout::draw(int windowWidth, int windowHeight) const
{
    const int scale = pixelScale(windowHeight);
    const int margin = 4 * scale;
    const int advance = (glyphWidth + 1) * scale;

    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, windowWidth, 0.0, windowHeight, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glViewport(0, 0, windowWidth, windowHeight);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_FOG);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_BLEND);
    glColor3f(1.0f, 1.0f, 1.0f);

    // Glyph rows run from the top; GL's y runs up from the bottom edge.
    const int top = windowHeight - margin;
    glBegin(GL_QUADS);
    int left = margin;
    for (const char* character = shown; *character != '\0'; ++character, left += advance) {
        const Glyph* glyph = findGlyph(*character);
        if (glyph == nullptr)
            continue;
        for (int row = 0; row < glyphHeight; ++row) {
            for (int column = 0; column < glyphWidth; ++column) {
                if ((glyph->rows[row] & (0x10 >> column)) == 0)
                    continue;
                const int x = left + column * scale;
                const int y = top - (row + 1) * scale;
                glVertex2i(x, y);
                glVertex2i(x + scale, y);
                glVertex2i(x + scale, y + scale);
                glVertex2i(x, y + scale);
            }
        }
    }
    glEnd();

    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();
}
