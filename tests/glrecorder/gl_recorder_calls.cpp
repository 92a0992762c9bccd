// The OpenGL 1.1 and GLU entry points, with the C prototypes of GL/gl.h and
// GL/glu.h, so that linking this library resolves the program's GL calls.
// Calls that change state GL keeps go through stateOp; the others are only
// logged.
#include <algorithm>
#include <cstring>

#include "gl_recorder_state.h"

using glrec::detail::log;
using glrec::detail::logWithArray;
using glrec::detail::Op;
using glrec::detail::setError;
using glrec::detail::state;
using glrec::detail::stateOp;

namespace {

// How many values GL reads from the array argument of glLightfv.
std::size_t lightValueCount(GLenum pname)
{
    switch (pname) {
    case GL_POSITION:
    case GL_AMBIENT:
    case GL_DIFFUSE:
    case GL_SPECULAR:
        return 4;
    case GL_SPOT_DIRECTION:
        return 3;
    default:
        return 1;
    }
}

std::size_t materialValueCount(GLenum pname)
{
    switch (pname) {
    case GL_AMBIENT:
    case GL_DIFFUSE:
    case GL_SPECULAR:
    case GL_EMISSION:
    case GL_AMBIENT_AND_DIFFUSE:
        return 4;
    case GL_COLOR_INDEXES:
        return 3;
    default:
        return 1;
    }
}

// How many values glGetFloatv writes for names the layer answers with zeros.
std::size_t queryValueCount(GLenum pname)
{
    switch (pname) {
    case GL_CURRENT_COLOR:
    case GL_CURRENT_TEXTURE_COORDS:
    case GL_CURRENT_RASTER_COLOR:
    case GL_CURRENT_RASTER_POSITION:
    case GL_CURRENT_RASTER_TEXTURE_COORDS:
    case GL_COLOR_CLEAR_VALUE:
    case GL_COLOR_WRITEMASK:
    case GL_FOG_COLOR:
    case GL_LIGHT_MODEL_AMBIENT:
    case GL_SCISSOR_BOX:
    case GL_VIEWPORT:
        return 4;
    case GL_CURRENT_NORMAL:
        return 3;
    case GL_DEPTH_RANGE:
    case GL_LINE_WIDTH_RANGE:
    case GL_MAX_VIEWPORT_DIMS:
    case GL_POINT_SIZE_RANGE:
    case GL_POLYGON_MODE:
        return 2;
    default:
        return 1;
    }
}

void matrixOp(const char* name, Op op, const GLfloat* values)
{
    double args[16];
    for (int i = 0; i < 16; ++i)
        args[i] = values[i];
    stateOp(name, op, args, 16);
}

void matrixOp(const char* name, Op op, const GLdouble* values)
{
    stateOp(name, op, values, 16);
}

void generateTextures(GLsizei n, GLuint* textures)
{
    if (n < 0) {
        setError(GL_INVALID_VALUE);
        return;
    }
    if (!textures)
        return;
    for (GLsizei i = 0; i < n; ++i) {
        while (state.textures.count(state.nextTexture) != 0 || state.nextTexture == 0)
            ++state.nextTexture;
        textures[i] = state.nextTexture;
        state.textures.insert(state.nextTexture);
        ++state.nextTexture;
    }
}

bool listRangeFree(GLuint base, GLsizei range)
{
    for (GLsizei i = 0; i < range; ++i)
        if (state.lists.count(base + static_cast<GLuint>(i)) != 0)
            return false;
    return true;
}

}  // namespace

extern "C" {

void GLAPIENTRY glAlphaFunc(GLenum func, GLclampf ref) { log("glAlphaFunc", {double(func), ref}); }

void GLAPIENTRY glBegin(GLenum mode) { log("glBegin", {double(mode)}); }

void GLAPIENTRY glBindTexture(GLenum target, GLuint texture)
{
    stateOp("glBindTexture", Op::bindTexture, {double(target), double(texture)});
}

void GLAPIENTRY glBlendFunc(GLenum sfactor, GLenum dfactor) { log("glBlendFunc", {double(sfactor), double(dfactor)}); }

void GLAPIENTRY glCallList(GLuint list) { stateOp("glCallList", Op::callList, {double(list)}); }

void GLAPIENTRY glClear(GLbitfield mask) { log("glClear", {double(mask)}); }

void GLAPIENTRY glClearColor(GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha)
{
    log("glClearColor", {red, green, blue, alpha});
}

void GLAPIENTRY glClearDepth(GLclampd depth) { log("glClearDepth", {depth}); }

void GLAPIENTRY glColor3d(GLdouble red, GLdouble green, GLdouble blue) { log("glColor3d", {red, green, blue}); }

void GLAPIENTRY glColor3f(GLfloat red, GLfloat green, GLfloat blue) { log("glColor3f", {red, green, blue}); }

void GLAPIENTRY glColor3fv(const GLfloat* v) { logWithArray("glColor3fv", {}, v, 3); }

void GLAPIENTRY glColor3ub(GLubyte red, GLubyte green, GLubyte blue)
{
    log("glColor3ub", {double(red), double(green), double(blue)});
}

void GLAPIENTRY glColor4d(GLdouble red, GLdouble green, GLdouble blue, GLdouble alpha)
{
    log("glColor4d", {red, green, blue, alpha});
}

void GLAPIENTRY glColor4f(GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha)
{
    log("glColor4f", {red, green, blue, alpha});
}

void GLAPIENTRY glColor4fv(const GLfloat* v) { logWithArray("glColor4fv", {}, v, 4); }

void GLAPIENTRY glColor4ub(GLubyte red, GLubyte green, GLubyte blue, GLubyte alpha)
{
    log("glColor4ub", {double(red), double(green), double(blue), double(alpha)});
}

void GLAPIENTRY glColorMaterial(GLenum face, GLenum mode) { log("glColorMaterial", {double(face), double(mode)}); }

void GLAPIENTRY glCullFace(GLenum mode) { log("glCullFace", {double(mode)}); }

void GLAPIENTRY glDeleteLists(GLuint list, GLsizei range)
{
    log("glDeleteLists", {double(list), double(range)});
    if (range < 0) {
        setError(GL_INVALID_VALUE);
        return;
    }
    for (GLsizei i = 0; i < range; ++i) {
        const GLuint name = list + static_cast<GLuint>(i);
        state.lists.erase(name);
        state.listContents.erase(name);
    }
}

void GLAPIENTRY glDeleteTextures(GLsizei n, const GLuint* textures)
{
    if (n < 0) {
        log("glDeleteTextures", {double(n)});
        setError(GL_INVALID_VALUE);
        return;
    }
    if (state.recording) {
        glrec::Call call{"glDeleteTextures", {double(n)}};
        for (GLsizei i = 0; textures && i < n; ++i)
            call.args.push_back(textures[i]);
        state.log.push_back(std::move(call));
    }
    for (GLsizei i = 0; textures && i < n; ++i) {
        // Name 0 and names never made are ignored, as GL does.
        if (state.textures.erase(textures[i]) != 0 && state.bound2D == textures[i])
            state.bound2D = 0;
    }
}

void GLAPIENTRY glDepthFunc(GLenum func) { log("glDepthFunc", {double(func)}); }

void GLAPIENTRY glDepthMask(GLboolean flag) { log("glDepthMask", {double(flag)}); }

void GLAPIENTRY glDisable(GLenum cap) { stateOp("glDisable", Op::disable, {double(cap)}); }

void GLAPIENTRY glEnable(GLenum cap) { stateOp("glEnable", Op::enable, {double(cap)}); }

void GLAPIENTRY glEnd(void) { log("glEnd", {}); }

void GLAPIENTRY glEndList(void)
{
    log("glEndList", {});
    if (state.compilingList == 0) {
        setError(GL_INVALID_OPERATION);
        return;
    }
    state.compilingList = 0;
}

void GLAPIENTRY glFinish(void) { log("glFinish", {}); }

void GLAPIENTRY glFlush(void) { log("glFlush", {}); }

void GLAPIENTRY glFogf(GLenum pname, GLfloat param) { log("glFogf", {double(pname), param}); }

void GLAPIENTRY glFogfv(GLenum pname, const GLfloat* params)
{
    logWithArray("glFogfv", {double(pname)}, params, pname == GL_FOG_COLOR ? 4 : 1);
}

void GLAPIENTRY glFogi(GLenum pname, GLint param) { log("glFogi", {double(pname), double(param)}); }

void GLAPIENTRY glFrontFace(GLenum mode) { log("glFrontFace", {double(mode)}); }

void GLAPIENTRY glFrustum(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear,
                          GLdouble zFar)
{
    stateOp("glFrustum", Op::frustum, {left, right, bottom, top, zNear, zFar});
}

GLuint GLAPIENTRY glGenLists(GLsizei range)
{
    log("glGenLists", {double(range)});
    if (range < 0)
        setError(GL_INVALID_VALUE);
    if (range <= 0 || state.failGenLists)
        return 0;
    GLuint base = state.nextList;
    while (!listRangeFree(base, range))
        ++base;
    for (GLsizei i = 0; i < range; ++i)
        state.lists.insert(base + static_cast<GLuint>(i));
    state.nextList = base + static_cast<GLuint>(range);
    return base;
}

void GLAPIENTRY glGenTextures(GLsizei n, GLuint* textures)
{
    generateTextures(n, textures);
    if (!state.recording)
        return;
    glrec::Call call{"glGenTextures", {double(n)}};
    for (GLsizei i = 0; textures && i < n; ++i)
        call.args.push_back(textures[i]);
    state.log.push_back(std::move(call));
}

GLenum GLAPIENTRY glGetError(void)
{
    log("glGetError", {});
    const GLenum error = state.error;
    state.error = GL_NO_ERROR;
    return error;
}

void GLAPIENTRY glGetIntegerv(GLenum pname, GLint* params)
{
    log("glGetIntegerv", {double(pname)});
    if (!params)
        return;
    if (pname == GL_MAX_VIEWPORT_DIMS) {
        params[0] = state.maxViewportWidth;
        params[1] = state.maxViewportHeight;
    } else {
        params[0] = 0;
    }
}

void GLAPIENTRY glGetFloatv(GLenum pname, GLfloat* params)
{
    log("glGetFloatv", {double(pname)});
    if (!params)
        return;
    switch (pname) {
    case GL_MODELVIEW_MATRIX:
        std::memcpy(params, glrec::matrix(GL_MODELVIEW), 16 * sizeof(GLfloat));
        break;
    case GL_PROJECTION_MATRIX:
        std::memcpy(params, glrec::matrix(GL_PROJECTION), 16 * sizeof(GLfloat));
        break;
    case GL_TEXTURE_MATRIX:
        std::memcpy(params, glrec::matrix(GL_TEXTURE), 16 * sizeof(GLfloat));
        break;
    default:
        for (std::size_t i = 0; i < queryValueCount(pname); ++i)
            params[i] = 0.0f;
        break;
    }
}

void GLAPIENTRY glHint(GLenum target, GLenum mode) { log("glHint", {double(target), double(mode)}); }

GLboolean GLAPIENTRY glIsEnabled(GLenum cap)
{
    log("glIsEnabled", {double(cap)});
    const bool enabled = std::find(state.enabled.begin(), state.enabled.end(), cap) != state.enabled.end();
    return enabled ? GL_TRUE : GL_FALSE;
}

GLboolean GLAPIENTRY glIsList(GLuint list)
{
    log("glIsList", {double(list)});
    return state.lists.count(list) != 0 ? GL_TRUE : GL_FALSE;
}

GLboolean GLAPIENTRY glIsTexture(GLuint texture)
{
    log("glIsTexture", {double(texture)});
    return state.textures.count(texture) != 0 ? GL_TRUE : GL_FALSE;
}

void GLAPIENTRY glLightModelf(GLenum pname, GLfloat param) { log("glLightModelf", {double(pname), param}); }

void GLAPIENTRY glLightModelfv(GLenum pname, const GLfloat* params)
{
    logWithArray("glLightModelfv", {double(pname)}, params, pname == GL_LIGHT_MODEL_AMBIENT ? 4 : 1);
}

void GLAPIENTRY glLightModeli(GLenum pname, GLint param) { log("glLightModeli", {double(pname), double(param)}); }

void GLAPIENTRY glLightf(GLenum light, GLenum pname, GLfloat param)
{
    log("glLightf", {double(light), double(pname), param});
}

void GLAPIENTRY glLightfv(GLenum light, GLenum pname, const GLfloat* params)
{
    logWithArray("glLightfv", {double(light), double(pname)}, params, lightValueCount(pname));
}

void GLAPIENTRY glLighti(GLenum light, GLenum pname, GLint param)
{
    log("glLighti", {double(light), double(pname), double(param)});
}

void GLAPIENTRY glLineWidth(GLfloat width) { log("glLineWidth", {width}); }

void GLAPIENTRY glLoadIdentity(void) { stateOp("glLoadIdentity", Op::loadIdentity, {}); }

void GLAPIENTRY glLoadMatrixd(const GLdouble* m) { matrixOp("glLoadMatrixd", Op::loadMatrix, m); }

void GLAPIENTRY glLoadMatrixf(const GLfloat* m) { matrixOp("glLoadMatrixf", Op::loadMatrix, m); }

void GLAPIENTRY glMaterialf(GLenum face, GLenum pname, GLfloat param)
{
    log("glMaterialf", {double(face), double(pname), param});
}

void GLAPIENTRY glMaterialfv(GLenum face, GLenum pname, const GLfloat* params)
{
    logWithArray("glMaterialfv", {double(face), double(pname)}, params, materialValueCount(pname));
}

void GLAPIENTRY glMateriali(GLenum face, GLenum pname, GLint param)
{
    log("glMateriali", {double(face), double(pname), double(param)});
}

void GLAPIENTRY glMatrixMode(GLenum mode) { stateOp("glMatrixMode", Op::matrixMode, {double(mode)}); }

void GLAPIENTRY glMultMatrixd(const GLdouble* m) { matrixOp("glMultMatrixd", Op::multMatrix, m); }

void GLAPIENTRY glMultMatrixf(const GLfloat* m) { matrixOp("glMultMatrixf", Op::multMatrix, m); }

void GLAPIENTRY glNewList(GLuint list, GLenum mode)
{
    log("glNewList", {double(list), double(mode)});
    if (list == 0) {
        setError(GL_INVALID_VALUE);
        return;
    }
    if (mode != GL_COMPILE && mode != GL_COMPILE_AND_EXECUTE) {
        setError(GL_INVALID_ENUM);
        return;
    }
    if (state.compilingList != 0) {
        setError(GL_INVALID_OPERATION);
        return;
    }
    state.compilingList = list;
    state.compileMode = mode;
    state.lists.insert(list);
    state.listContents[list].clear();
}

void GLAPIENTRY glNormal3d(GLdouble nx, GLdouble ny, GLdouble nz) { log("glNormal3d", {nx, ny, nz}); }

void GLAPIENTRY glNormal3f(GLfloat nx, GLfloat ny, GLfloat nz) { log("glNormal3f", {nx, ny, nz}); }

void GLAPIENTRY glNormal3fv(const GLfloat* v) { logWithArray("glNormal3fv", {}, v, 3); }

void GLAPIENTRY glOrtho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear,
                        GLdouble zFar)
{
    stateOp("glOrtho", Op::ortho, {left, right, bottom, top, zNear, zFar});
}

void GLAPIENTRY glPixelStorei(GLenum pname, GLint param)
{
    log("glPixelStorei", {double(pname), double(param)});
    const bool validAlignment = param == 1 || param == 2 || param == 4 || param == 8;
    if ((pname == GL_UNPACK_ALIGNMENT || pname == GL_PACK_ALIGNMENT) && !validAlignment) {
        setError(GL_INVALID_VALUE);
        return;
    }
    if (pname == GL_UNPACK_ALIGNMENT)
        state.unpackAlignment = param;
    else if (pname == GL_PACK_ALIGNMENT)
        state.packAlignment = param;
}

void GLAPIENTRY glPointSize(GLfloat size) { log("glPointSize", {size}); }

void GLAPIENTRY glPolygonMode(GLenum face, GLenum mode) { log("glPolygonMode", {double(face), double(mode)}); }

void GLAPIENTRY glPopAttrib(void)
{
    log("glPopAttrib", {});
    if (state.attributeStack.empty()) {
        setError(GL_STACK_UNDERFLOW);
        return;
    }
    state.enabled = state.attributeStack.back().enabled;
    state.bound2D = state.attributeStack.back().bound2D;
    state.matrixMode = state.attributeStack.back().matrixMode;
    state.attributeStack.pop_back();
}

void GLAPIENTRY glPopMatrix(void) { stateOp("glPopMatrix", Op::popMatrix, {}); }

void GLAPIENTRY glPushAttrib(GLbitfield mask)
{
    log("glPushAttrib", {double(mask)});
    state.attributeStack.push_back({state.enabled, state.bound2D, state.matrixMode});
}

void GLAPIENTRY glPushMatrix(void) { stateOp("glPushMatrix", Op::pushMatrix, {}); }

// A framebuffer that was never drawn: every byte read is 0.
void GLAPIENTRY glReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type,
                             GLvoid* pixels)
{
    log("glReadPixels", {double(x), double(y), double(width), double(height), double(format), double(type)});
    const std::size_t pixelBytes = glrec::detail::bytesPerPixel(format, type);
    if (!pixels || pixelBytes == 0 || width <= 0 || height <= 0)
        return;
    const std::size_t rowBytes = static_cast<std::size_t>(width) * pixelBytes;
    const std::size_t alignment = static_cast<std::size_t>(state.packAlignment);
    const std::size_t stride = (rowBytes + alignment - 1) / alignment * alignment;
    std::memset(pixels, 0, stride * static_cast<std::size_t>(height - 1) + rowBytes);
}

void GLAPIENTRY glRotated(GLdouble angle, GLdouble x, GLdouble y, GLdouble z)
{
    stateOp("glRotated", Op::rotate, {angle, x, y, z});
}

void GLAPIENTRY glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z)
{
    stateOp("glRotatef", Op::rotate, {angle, x, y, z});
}

void GLAPIENTRY glScaled(GLdouble x, GLdouble y, GLdouble z) { stateOp("glScaled", Op::scale, {x, y, z}); }

void GLAPIENTRY glScalef(GLfloat x, GLfloat y, GLfloat z) { stateOp("glScalef", Op::scale, {x, y, z}); }

void GLAPIENTRY glScissor(GLint x, GLint y, GLsizei width, GLsizei height)
{
    log("glScissor", {double(x), double(y), double(width), double(height)});
}

void GLAPIENTRY glShadeModel(GLenum mode) { log("glShadeModel", {double(mode)}); }

void GLAPIENTRY glTexCoord2d(GLdouble s, GLdouble t) { log("glTexCoord2d", {s, t}); }

void GLAPIENTRY glTexCoord2f(GLfloat s, GLfloat t) { log("glTexCoord2f", {s, t}); }

void GLAPIENTRY glTexCoord2fv(const GLfloat* v) { logWithArray("glTexCoord2fv", {}, v, 2); }

void GLAPIENTRY glTexEnvf(GLenum target, GLenum pname, GLfloat param)
{
    log("glTexEnvf", {double(target), double(pname), param});
}

void GLAPIENTRY glTexEnvfv(GLenum target, GLenum pname, const GLfloat* params)
{
    logWithArray("glTexEnvfv", {double(target), double(pname)}, params, pname == GL_TEXTURE_ENV_COLOR ? 4 : 1);
}

void GLAPIENTRY glTexEnvi(GLenum target, GLenum pname, GLint param)
{
    log("glTexEnvi", {double(target), double(pname), double(param)});
}

void GLAPIENTRY glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height,
                             GLint border, GLenum format, GLenum type, const GLvoid* pixels)
{
    log("glTexImage2D", {double(target), double(level), double(internalFormat), double(width), double(height),
                         double(border), double(format), double(type)});
    glrec::detail::recordUpload("glTexImage2D", level, internalFormat, 0, 0, width, height, format, type, pixels);
}

void GLAPIENTRY glTexParameterf(GLenum target, GLenum pname, GLfloat param)
{
    log("glTexParameterf", {double(target), double(pname), param});
}

void GLAPIENTRY glTexParameteri(GLenum target, GLenum pname, GLint param)
{
    log("glTexParameteri", {double(target), double(pname), double(param)});
}

void GLAPIENTRY glTexSubImage2D(GLenum target, GLint level, GLint xoffset, GLint yoffset, GLsizei width,
                                GLsizei height, GLenum format, GLenum type, const GLvoid* pixels)
{
    log("glTexSubImage2D", {double(target), double(level), double(xoffset), double(yoffset), double(width),
                            double(height), double(format), double(type)});
    glrec::detail::recordUpload("glTexSubImage2D", level, 0, xoffset, yoffset, width, height, format, type,
                                pixels);
}

void GLAPIENTRY glTranslated(GLdouble x, GLdouble y, GLdouble z)
{
    stateOp("glTranslated", Op::translate, {x, y, z});
}

void GLAPIENTRY glTranslatef(GLfloat x, GLfloat y, GLfloat z) { stateOp("glTranslatef", Op::translate, {x, y, z}); }

void GLAPIENTRY glVertex2d(GLdouble x, GLdouble y) { log("glVertex2d", {x, y}); }

void GLAPIENTRY glVertex2f(GLfloat x, GLfloat y) { log("glVertex2f", {x, y}); }

void GLAPIENTRY glVertex2i(GLint x, GLint y) { log("glVertex2i", {double(x), double(y)}); }

void GLAPIENTRY glVertex3d(GLdouble x, GLdouble y, GLdouble z) { log("glVertex3d", {x, y, z}); }

void GLAPIENTRY glVertex3f(GLfloat x, GLfloat y, GLfloat z) { log("glVertex3f", {x, y, z}); }

void GLAPIENTRY glVertex3fv(const GLfloat* v) { logWithArray("glVertex3fv", {}, v, 3); }

void GLAPIENTRY glViewport(GLint x, GLint y, GLsizei width, GLsizei height)
{
    log("glViewport", {double(x), double(y), double(width), double(height)});
}

GLint GLAPIENTRY gluBuild2DMipmaps(GLenum target, GLint internalFormat, GLsizei width, GLsizei height,
                                   GLenum format, GLenum type, const void* data)
{
    log("gluBuild2DMipmaps", {double(target), double(internalFormat), double(width), double(height),
                              double(format), double(type)});
    glrec::detail::recordUpload("gluBuild2DMipmaps", 0, internalFormat, 0, 0, width, height, format, type, data);
    return 0;
}

void GLAPIENTRY gluLookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centerX, GLdouble centerY,
                          GLdouble centerZ, GLdouble upX, GLdouble upY, GLdouble upZ)
{
    stateOp("gluLookAt", Op::lookAt, {eyeX, eyeY, eyeZ, centerX, centerY, centerZ, upX, upY, upZ});
}

void GLAPIENTRY gluOrtho2D(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top)
{
    // Logged with its own four arguments; it works as glOrtho with near -1
    // and far 1.
    const double args[6] = {left, right, bottom, top, -1.0, 1.0};
    stateOp("gluOrtho2D", Op::ortho, args, 6, 4);
}

void GLAPIENTRY gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar)
{
    stateOp("gluPerspective", Op::perspective, {fovy, aspect, zNear, zFar});
}

}  // extern "C"
