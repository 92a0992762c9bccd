// A recording OpenGL 1.1 and GLU layer for native tests and benchmarks.
//
// The library defines the GL and GLU functions the program calls; a test
// executable links it in place of libGL. Every call is appended to a log with
// its name and arguments in order. Array arguments (glLightfv, glFogfv,
// glMaterialfv, glGetFloatv results are not logged) are expanded into the
// argument list with as many values as GL reads for that parameter name.
//
// State kept so that the program sees what real GL would answer:
// - the modelview and projection stacks (glMatrixMode, glLoadIdentity,
//   glPushMatrix, glPopMatrix, glMultMatrixf/d, glRotatef, glTranslatef,
//   glScalef, glOrtho, gluPerspective, gluLookAt), read back by glGetFloatv;
// - texture names from glGenTextures and display lists from glGenLists, with
//   the set of names still alive after glDeleteTextures and glDeleteLists;
// - a copy of the pixels of each glTexImage2D and glTexSubImage2D upload.
// - the enabled capabilities (glIsEnabled), the bound 2D texture, the unpack
//   and pack alignments, the first unread error (glGetError);
// - a stack of glPushAttrib saves of the enabled capabilities, the 2D binding
//   and the matrix mode, whatever the mask, restored by glPopAttrib.
//
// Logging conventions: glGenTextures logs n and then the names it handed out,
// glDeleteTextures n and the names passed; uploads and glReadPixels log their
// scalar arguments only, not the pixel pointer; glGetFloatv and glGetIntegerv
// log their name argument, not the values they answer (glGetIntegerv answers
// GL_MAX_VIEWPORT_DIMS, as set, and zeros for other names). Inside glNewList(GL_COMPILE) the
// matrix, binding and enable calls change no state until the list is called,
// as in GL; they are logged when made, and a glCallList logs only itself.
// gluBuild2DMipmaps records the base image only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gl_api.h"

namespace glrec {

struct Call {
    std::string name;          // "glViewport"
    std::vector<double> args;  // enums and integers as their values
    // "glViewport(0, 150, 800, 300)": whole numbers without decimals, others
    // in %g form, arrays inline.
    std::string text() const;
};

struct TextureUpload {
    std::string function;  // "glTexImage2D" or "glTexSubImage2D" or "gluBuild2DMipmaps"
    GLuint boundName;      // the texture bound to GL_TEXTURE_2D at the upload
    GLint level;
    GLint xOffset, yOffset;  // 0 for glTexImage2D
    GLsizei width, height;
    GLenum format;
    std::vector<std::uint8_t> pixels;  // width * height * bytes per pixel of format
    GLint internalFormat;  // 0 for glTexSubImage2D
    GLenum type;
};

// Back to a fresh GL: empty log, identity matrices, modelview mode, names
// restarting at 1, nothing alive, no uploads, recording on, no failures set.
void reset();

// With recording off the functions still keep their state (matrices, names,
// bindings) but log nothing and copy no pixels: a GL that does nothing, for
// benchmarks.
void setRecording(bool on);

const std::vector<Call>& calls();
std::vector<std::string> callTexts();  // calls()[i].text() for every call
std::size_t countCalls(const std::string& name);
void clearCalls();  // forget the log, keep the state

// Makes glGenLists answer 0, as GL does when it cannot make a list.
void failGenLists(bool fail);

// What glGetIntegerv answers for GL_MAX_VIEWPORT_DIMS, as a card reports its
// largest viewport; reset gives defaultMaxViewportSide for both.
constexpr GLint defaultMaxViewportSide = 16384;
void setMaxViewportDims(GLint width, GLint height);

// The top of the given stack (GL_MODELVIEW or GL_PROJECTION), column-major.
const GLfloat* matrix(GLenum mode);

const std::vector<TextureUpload>& textureUploads();
std::vector<GLuint> liveTextures();
std::vector<GLuint> liveLists();
GLuint boundTexture();

}  // namespace glrec
