// The recording GL's internal state, shared by the glrec interface
// (gl_recorder.cpp) and the GL entry points (gl_recorder_calls.cpp).
//
// Matrices are single precision and column-major as GL keeps them: element
// (row, column) is at column * 4 + row.
#pragma once

#include <cstddef>
#include <map>
#include <set>
#include <vector>

#include "gl_recorder.h"

namespace glrec::detail {

struct Matrix {
    GLfloat m[16];
};

struct MatrixStack {
    static constexpr int maxDepth = 32;
    Matrix entries[maxDepth];
    int depth = 0;     // index of the top
    int capacity = 0;  // how many entries this stack may hold, at most maxDepth
    Matrix& top() { return entries[depth]; }
};

// Operations that change state GL keeps and that a display list compiles:
// a list replays them when it is called.
enum class Op {
    matrixMode,
    loadIdentity,
    pushMatrix,
    popMatrix,
    loadMatrix,
    multMatrix,
    rotate,
    translate,
    scale,
    ortho,
    frustum,
    perspective,
    lookAt,
    bindTexture,
    enable,
    disable,
    callList,
};

struct ListOp {
    Op op;
    std::vector<double> args;
};

struct State {
    bool recording = true;
    std::vector<Call> log;

    MatrixStack modelview;
    MatrixStack projection;
    MatrixStack texture;
    GLenum matrixMode = GL_MODELVIEW;

    GLenum error = GL_NO_ERROR;  // the first error since the last glGetError
    std::vector<GLenum> enabled;  // a handful at most: a flat list, no allocation per glEnable

    GLint unpackAlignment = 4;
    GLint packAlignment = 4;

    GLuint nextTexture = 1;
    std::set<GLuint> textures;
    GLuint bound2D = 0;
    std::vector<TextureUpload> uploads;

    GLuint nextList = 1;
    bool failGenLists = false;
    // What glGetIntegerv answers for GL_MAX_VIEWPORT_DIMS.
    GLint maxViewportWidth = glrec::defaultMaxViewportSide;
    GLint maxViewportHeight = glrec::defaultMaxViewportSide;
    std::set<GLuint> lists;
    std::map<GLuint, std::vector<ListOp>> listContents;
    // glPushAttrib saves what the layer keeps of the attribute groups,
    // whatever the mask: the enabled capabilities, the 2D binding and the
    // matrix mode. glPopAttrib restores them.
    struct SavedAttributes {
        std::vector<GLenum> enabled;
        GLuint bound2D;
        GLenum matrixMode;
    };
    std::vector<SavedAttributes> attributeStack;

    GLuint compilingList = 0;  // 0 outside glNewList ... glEndList
    GLenum compileMode = GL_COMPILE;
    int listNesting = 0;
};

extern State state;

void resetState();

// Sets the error flag unless an earlier error is still unread, as GL does.
void setError(GLenum error);

// Appends a call to the log when recording.
void log(const char* name, std::initializer_list<double> args);
// The same with an array argument expanded after the scalar ones.
void logWithArray(const char* name, std::initializer_list<double> scalars, const GLfloat* values,
                  std::size_t count);
void logWithArray(const char* name, std::initializer_list<double> scalars, const GLdouble* values,
                  std::size_t count);

// Logs the call, compiles it into the list being built, and executes it
// unless the list is compiled only. The log shows the first loggedCount
// arguments.
void stateOp(const char* name, Op op, const double* args, std::size_t count, std::size_t loggedCount);
void stateOp(const char* name, Op op, const double* args, std::size_t count);
void stateOp(const char* name, Op op, std::initializer_list<double> args);

// Bytes per pixel that an upload of this format and type reads; 0 for a
// combination the layer does not know.
std::size_t bytesPerPixel(GLenum format, GLenum type);

// Copies an upload's pixels, rows padded to the unpack alignment, into a tight
// array, and keeps the upload.
void recordUpload(const char* function, GLint level, GLint internalFormat, GLint xOffset, GLint yOffset,
                  GLsizei width, GLsizei height, GLenum format, GLenum type, const void* pixels);

}  // namespace glrec::detail
