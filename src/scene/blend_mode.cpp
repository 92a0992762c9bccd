#include "scene/blend_mode.h"

const GLenum blendSourceFactors[blendSourceRows] = {
    GL_ZERO,
    GL_ONE,
    GL_SRC_ALPHA,
    GL_ONE_MINUS_SRC_ALPHA,
    GL_DST_ALPHA,
    GL_ONE_MINUS_DST_ALPHA,
    GL_DST_COLOR,
    GL_ONE_MINUS_DST_COLOR,
    GL_SRC_ALPHA_SATURATE,
};

const GLenum blendDestFactors[blendDestRows] = {
    GL_ZERO,
    GL_ONE,
    GL_SRC_ALPHA,
    GL_ONE_MINUS_SRC_ALPHA,
    GL_DST_ALPHA,
    GL_ONE_MINUS_DST_ALPHA,
    GL_SRC_COLOR,
    GL_ONE_MINUS_SRC_COLOR,
};

void applyBlendMode(int sourceIndex, int destIndex)
{
    if (sourceIndex < 0 || sourceIndex >= blendSourceRows || destIndex < 0 || destIndex >= blendDestRows) {
        return;
    }
    glBlendFunc(blendSourceFactors[sourceIndex], blendDestFactors[destIndex]);
}
