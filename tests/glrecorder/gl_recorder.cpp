// The recording GL's state and the glrec interface over it: the call log, the
// matrix stacks with their math, names, display lists and uploads.
#include "gl_recorder.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "gl_recorder_state.h"

namespace glrec {
namespace detail {

State state;

namespace {

constexpr int projectionDepth = 4;
constexpr int textureMatrixDepth = 4;
// GL's minimum for GL_MAX_LIST_NESTING; deeper calls are ignored.
constexpr int maxListNesting = 64;

constexpr double radiansPerDegree = 3.14159265358979323846 / 180.0;

void setIdentity(Matrix& matrix)
{
    for (int i = 0; i < 16; ++i)
        matrix.m[i] = (i % 5 == 0) ? 1.0f : 0.0f;
}

void resetStack(MatrixStack& stack, int capacity)
{
    stack.depth = 0;
    stack.capacity = capacity;
    setIdentity(stack.entries[0]);
}

MatrixStack& currentStack()
{
    switch (state.matrixMode) {
    case GL_PROJECTION:
        return state.projection;
    case GL_TEXTURE:
        return state.texture;
    default:
        return state.modelview;
    }
}

// top = top * factor, the order in which GL applies a new transform.
void multiplyTop(const GLfloat factor[16])
{
    Matrix& top = currentStack().top();
    Matrix product;
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 4; ++row) {
            GLfloat sum = 0.0f;
            for (int k = 0; k < 4; ++k)
                sum += top.m[k * 4 + row] * factor[column * 4 + k];
            product.m[column * 4 + row] = sum;
        }
    }
    top = product;
}

// Fills a column-major matrix from its rows as one reads them on paper.
void fromRows(GLfloat out[16], const double rows[4][4])
{
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column)
            out[column * 4 + row] = static_cast<GLfloat>(rows[row][column]);
}

void rotate(double angleDegrees, double axisX, double axisY, double axisZ)
{
    const float x0 = static_cast<float>(axisX), y0 = static_cast<float>(axisY), z0 = static_cast<float>(axisZ);
    const float magnitude = std::sqrt(x0 * x0 + y0 * y0 + z0 * z0);
    // A zero axis has no direction; GL leaves the result undefined, and the
    // layer leaves the matrix alone rather than fill it with NaN.
    if (magnitude == 0.0f)
        return;
    const double x = x0 / magnitude, y = y0 / magnitude, z = z0 / magnitude;
    const double radians = static_cast<float>(angleDegrees) * radiansPerDegree;
    const double c = std::cos(radians), s = std::sin(radians), t = 1.0 - c;
    const double rows[4][4] = {
        {x * x * t + c, x * y * t - z * s, x * z * t + y * s, 0.0},
        {y * x * t + z * s, y * y * t + c, y * z * t - x * s, 0.0},
        {x * z * t - y * s, y * z * t + x * s, z * z * t + c, 0.0},
        {0.0, 0.0, 0.0, 1.0},
    };
    GLfloat factor[16];
    fromRows(factor, rows);
    multiplyTop(factor);
}

void translate(double x, double y, double z)
{
    const double rows[4][4] = {{1, 0, 0, x}, {0, 1, 0, y}, {0, 0, 1, z}, {0, 0, 0, 1}};
    GLfloat factor[16];
    fromRows(factor, rows);
    multiplyTop(factor);
}

void scale(double x, double y, double z)
{
    const double rows[4][4] = {{x, 0, 0, 0}, {0, y, 0, 0}, {0, 0, z, 0}, {0, 0, 0, 1}};
    GLfloat factor[16];
    fromRows(factor, rows);
    multiplyTop(factor);
}

void ortho(double left, double right, double bottom, double top, double zNear, double zFar)
{
    if (left == right || bottom == top || zNear == zFar) {
        setError(GL_INVALID_VALUE);
        return;
    }
    const double rows[4][4] = {
        {2.0 / (right - left), 0, 0, -(right + left) / (right - left)},
        {0, 2.0 / (top - bottom), 0, -(top + bottom) / (top - bottom)},
        {0, 0, -2.0 / (zFar - zNear), -(zFar + zNear) / (zFar - zNear)},
        {0, 0, 0, 1},
    };
    GLfloat factor[16];
    fromRows(factor, rows);
    multiplyTop(factor);
}

void frustum(double left, double right, double bottom, double top, double zNear, double zFar)
{
    if (zNear <= 0.0 || zFar <= 0.0 || left == right || bottom == top || zNear == zFar) {
        setError(GL_INVALID_VALUE);
        return;
    }
    const double rows[4][4] = {
        {2.0 * zNear / (right - left), 0, (right + left) / (right - left), 0},
        {0, 2.0 * zNear / (top - bottom), (top + bottom) / (top - bottom), 0},
        {0, 0, -(zFar + zNear) / (zFar - zNear), -2.0 * zFar * zNear / (zFar - zNear)},
        {0, 0, -1, 0},
    };
    GLfloat factor[16];
    fromRows(factor, rows);
    multiplyTop(factor);
}

void perspective(double fovyDegrees, double aspect, double zNear, double zFar)
{
    const double halfAngle = fovyDegrees / 2.0 * radiansPerDegree;
    const double sine = std::sin(halfAngle);
    // GLU leaves the matrix alone when the projection would be degenerate.
    if (zFar == zNear || sine == 0.0 || aspect == 0.0)
        return;
    const double f = std::cos(halfAngle) / sine;
    const double rows[4][4] = {
        {f / aspect, 0, 0, 0},
        {0, f, 0, 0},
        {0, 0, (zFar + zNear) / (zNear - zFar), 2.0 * zFar * zNear / (zNear - zFar)},
        {0, 0, -1, 0},
    };
    GLfloat factor[16];
    fromRows(factor, rows);
    multiplyTop(factor);
}

// Scales to unit length; a zero vector stays zero.
void normalise(double v[3])
{
    const double length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (length == 0.0)
        return;
    for (int i = 0; i < 3; ++i)
        v[i] /= length;
}

void crossProduct(const double a[3], const double b[3], double out[3])
{
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
}

void lookAt(const double* a)
{
    double forward[3] = {a[3] - a[0], a[4] - a[1], a[5] - a[2]};
    double up[3] = {a[6], a[7], a[8]};
    normalise(forward);
    normalise(up);
    double side[3];
    crossProduct(forward, up, side);
    normalise(side);
    double trueUp[3];
    crossProduct(side, forward, trueUp);
    const double rows[4][4] = {
        {side[0], side[1], side[2], 0},
        {trueUp[0], trueUp[1], trueUp[2], 0},
        {-forward[0], -forward[1], -forward[2], 0},
        {0, 0, 0, 1},
    };
    GLfloat factor[16];
    fromRows(factor, rows);
    multiplyTop(factor);
    translate(-a[0], -a[1], -a[2]);
}

void callList(GLuint name);

void apply(Op op, const double* a)
{
    switch (op) {
    case Op::matrixMode: {
        const GLenum mode = static_cast<GLenum>(a[0]);
        if (mode == GL_MODELVIEW || mode == GL_PROJECTION || mode == GL_TEXTURE)
            state.matrixMode = mode;
        else
            setError(GL_INVALID_ENUM);
        break;
    }
    case Op::loadIdentity:
        setIdentity(currentStack().top());
        break;
    case Op::pushMatrix: {
        MatrixStack& stack = currentStack();
        if (stack.depth + 1 >= stack.capacity) {
            setError(GL_STACK_OVERFLOW);
            break;
        }
        stack.entries[stack.depth + 1] = stack.entries[stack.depth];
        ++stack.depth;
        break;
    }
    case Op::popMatrix: {
        MatrixStack& stack = currentStack();
        if (stack.depth == 0) {
            setError(GL_STACK_UNDERFLOW);
            break;
        }
        --stack.depth;
        break;
    }
    case Op::loadMatrix:
        for (int i = 0; i < 16; ++i)
            currentStack().top().m[i] = static_cast<GLfloat>(a[i]);
        break;
    case Op::multMatrix: {
        GLfloat factor[16];
        for (int i = 0; i < 16; ++i)
            factor[i] = static_cast<GLfloat>(a[i]);
        multiplyTop(factor);
        break;
    }
    case Op::rotate:
        rotate(a[0], a[1], a[2], a[3]);
        break;
    case Op::translate:
        translate(static_cast<GLfloat>(a[0]), static_cast<GLfloat>(a[1]), static_cast<GLfloat>(a[2]));
        break;
    case Op::scale:
        scale(static_cast<GLfloat>(a[0]), static_cast<GLfloat>(a[1]), static_cast<GLfloat>(a[2]));
        break;
    case Op::ortho:
        ortho(a[0], a[1], a[2], a[3], a[4], a[5]);
        break;
    case Op::frustum:
        frustum(a[0], a[1], a[2], a[3], a[4], a[5]);
        break;
    case Op::perspective:
        perspective(a[0], a[1], a[2], a[3]);
        break;
    case Op::lookAt:
        lookAt(a);
        break;
    case Op::bindTexture: {
        const GLuint name = static_cast<GLuint>(a[1]);
        // Binding an unused name creates the texture object, as in GL.
        if (name != 0)
            state.textures.insert(name);
        if (static_cast<GLenum>(a[0]) == GL_TEXTURE_2D)
            state.bound2D = name;
        break;
    }
    case Op::enable: {
        const GLenum capability = static_cast<GLenum>(a[0]);
        if (std::find(state.enabled.begin(), state.enabled.end(), capability) == state.enabled.end())
            state.enabled.push_back(capability);
        break;
    }
    case Op::disable: {
        const auto found = std::find(state.enabled.begin(), state.enabled.end(), static_cast<GLenum>(a[0]));
        if (found != state.enabled.end())
            state.enabled.erase(found);
        break;
    }
    case Op::callList:
        callList(static_cast<GLuint>(a[0]));
        break;
    }
}

void callList(GLuint name)
{
    const auto found = state.listContents.find(name);
    if (found == state.listContents.end() || state.listNesting >= maxListNesting)
        return;
    ++state.listNesting;
    // Replaying changes matrices, bindings and capabilities only, never the
    // lists themselves, so the reference stays valid.
    for (const ListOp& listOp : found->second)
        apply(listOp.op, listOp.args.data());
    --state.listNesting;
}

void appendNumber(std::string& text, double value)
{
    char buffer[64];
    if (std::isfinite(value) && value == std::floor(value) && std::fabs(value) < 1e15)
        std::snprintf(buffer, sizeof buffer, "%.0f", value);
    else
        std::snprintf(buffer, sizeof buffer, "%g", value);
    text += buffer;
}

template <typename Value>
void logArray(const char* name, std::initializer_list<double> scalars, const Value* values, std::size_t count)
{
    if (!state.recording)
        return;
    Call call{name, std::vector<double>(scalars)};
    if (values)
        for (std::size_t i = 0; i < count; ++i)
            call.args.push_back(static_cast<double>(values[i]));
    state.log.push_back(std::move(call));
}

}  // namespace

void resetState()
{
    state.recording = true;
    state.log.clear();
    resetStack(state.modelview, MatrixStack::maxDepth);
    resetStack(state.projection, projectionDepth);
    resetStack(state.texture, textureMatrixDepth);
    state.matrixMode = GL_MODELVIEW;
    state.error = GL_NO_ERROR;
    state.enabled = {GL_DITHER};
    state.attributeStack.clear();
    state.unpackAlignment = 4;
    state.packAlignment = 4;
    state.nextTexture = 1;
    state.textures.clear();
    state.bound2D = 0;
    state.uploads.clear();
    state.nextList = 1;
    state.failGenLists = false;
    state.maxViewportWidth = defaultMaxViewportSide;
    state.maxViewportHeight = defaultMaxViewportSide;
    state.lists.clear();
    state.listContents.clear();
    state.compilingList = 0;
    state.compileMode = GL_COMPILE;
    state.listNesting = 0;
}

void setError(GLenum error)
{
    if (state.error == GL_NO_ERROR)
        state.error = error;
}

void log(const char* name, std::initializer_list<double> args)
{
    if (state.recording)
        state.log.push_back(Call{name, std::vector<double>(args)});
}

void logWithArray(const char* name, std::initializer_list<double> scalars, const GLfloat* values,
                  std::size_t count)
{
    logArray(name, scalars, values, count);
}

void logWithArray(const char* name, std::initializer_list<double> scalars, const GLdouble* values,
                  std::size_t count)
{
    logArray(name, scalars, values, count);
}

void stateOp(const char* name, Op op, const double* args, std::size_t count, std::size_t loggedCount)
{
    if (state.recording)
        state.log.push_back(Call{name, std::vector<double>(args, args + loggedCount)});
    if (state.compilingList != 0) {
        state.listContents[state.compilingList].push_back(ListOp{op, std::vector<double>(args, args + count)});
        if (state.compileMode == GL_COMPILE)
            return;
    }
    apply(op, args);
}

void stateOp(const char* name, Op op, const double* args, std::size_t count)
{
    stateOp(name, op, args, count, count);
}

void stateOp(const char* name, Op op, std::initializer_list<double> args)
{
    stateOp(name, op, args.begin(), args.size());
}

std::size_t bytesPerPixel(GLenum format, GLenum type)
{
    std::size_t components = 0;
    switch (format) {
    case GL_RGBA:
        components = 4;
        break;
    case GL_RGB:
        components = 3;
        break;
    case GL_LUMINANCE_ALPHA:
        components = 2;
        break;
    case GL_LUMINANCE:
    case GL_ALPHA:
    case GL_RED:
    case GL_GREEN:
    case GL_BLUE:
    case GL_COLOR_INDEX:
    case GL_DEPTH_COMPONENT:
        components = 1;
        break;
    default:
        return 0;
    }
    switch (type) {
    case GL_UNSIGNED_BYTE:
    case GL_BYTE:
        return components;
    case GL_UNSIGNED_SHORT:
    case GL_SHORT:
        return components * 2;
    case GL_UNSIGNED_INT:
    case GL_INT:
    case GL_FLOAT:
        return components * 4;
    default:
        return 0;
    }
}

void recordUpload(const char* function, GLint level, GLint internalFormat, GLint xOffset, GLint yOffset,
                  GLsizei width, GLsizei height, GLenum format, GLenum type, const void* pixels)
{
    if (!state.recording)
        return;
    TextureUpload upload{function, state.bound2D, level, xOffset, yOffset, width, height, format, {},
                         internalFormat, type};
    const std::size_t pixelBytes = bytesPerPixel(format, type);
    if (pixels && pixelBytes > 0 && width > 0 && height > 0) {
        const std::size_t rowBytes = static_cast<std::size_t>(width) * pixelBytes;
        const std::size_t alignment = static_cast<std::size_t>(state.unpackAlignment);
        const std::size_t stride = (rowBytes + alignment - 1) / alignment * alignment;
        upload.pixels.resize(rowBytes * static_cast<std::size_t>(height));
        const auto* source = static_cast<const std::uint8_t*>(pixels);
        for (GLsizei row = 0; row < height; ++row)
            std::memcpy(upload.pixels.data() + static_cast<std::size_t>(row) * rowBytes,
                        source + static_cast<std::size_t>(row) * stride, rowBytes);
    }
    state.uploads.push_back(std::move(upload));
}

}  // namespace detail

using detail::state;

std::string Call::text() const
{
    std::string result = name + "(";
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (i > 0)
            result += ", ";
        detail::appendNumber(result, args[i]);
    }
    return result + ")";
}

void reset() { detail::resetState(); }

void setRecording(bool on) { state.recording = on; }

const std::vector<Call>& calls() { return state.log; }

std::vector<std::string> callTexts()
{
    std::vector<std::string> texts;
    texts.reserve(state.log.size());
    for (const Call& call : state.log)
        texts.push_back(call.text());
    return texts;
}

std::size_t countCalls(const std::string& name)
{
    std::size_t count = 0;
    for (const Call& call : state.log)
        if (call.name == name)
            ++count;
    return count;
}

void clearCalls() { state.log.clear(); }

void failGenLists(bool fail) { state.failGenLists = fail; }

void setMaxViewportDims(GLint width, GLint height)
{
    state.maxViewportWidth = width;
    state.maxViewportHeight = height;
}

const GLfloat* matrix(GLenum mode)
{
    switch (mode) {
    case GL_PROJECTION:
        return state.projection.top().m;
    case GL_TEXTURE:
        return state.texture.top().m;
    default:
        return state.modelview.top().m;
    }
}

const std::vector<TextureUpload>& textureUploads() { return state.uploads; }

std::vector<GLuint> liveTextures() { return std::vector<GLuint>(state.textures.begin(), state.textures.end()); }

std::vector<GLuint> liveLists() { return std::vector<GLuint>(state.lists.begin(), state.lists.end()); }

GLuint boundTexture() { return state.bound2D; }

namespace {
// A fresh GL before any test calls reset.
const bool initialised = (detail::resetState(), true);
}  // namespace

}  // namespace glrec
