// The two blend-factor tables and the operation that turns a pair of rows
// into a GL blend function.
#pragma once

#include "gl_api.h"

// Source factors, rows 0 to 8, and destination factors, rows 0 to 7: rows 0
// to 5 agree, from row 6 on each table lists only factors legal on its side.
constexpr int blendSourceRows = 9;
constexpr int blendDestRows = 8;
extern const GLenum blendSourceFactors[blendSourceRows];
extern const GLenum blendDestFactors[blendDestRows];

// glBlendFunc with the two table rows. A row outside its table is refused:
// no call, the blend function stays as it was. Never enables GL_BLEND.
void applyBlendMode(int sourceIndex, int destIndex);
