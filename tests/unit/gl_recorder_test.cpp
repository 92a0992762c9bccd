// The recording GL itself: matrix math against matrices worked by hand, the
// stacks' bounds, names, uploads and the log.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "gl_recorder.h"

namespace {

using Matrix = std::array<GLfloat, 16>;

// Column-major from rows as written on paper.
Matrix fromRows(std::initializer_list<std::array<GLfloat, 4>> rows)
{
    Matrix m{};
    int row = 0;
    for (const auto& values : rows) {
        for (int column = 0; column < 4; ++column)
            m[column * 4 + row] = values[column];
        ++row;
    }
    return m;
}

const Matrix identity = fromRows({{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}});

void expectMatrixNear(const GLfloat* actual, const Matrix& expected, const std::string& label)
{
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(actual[i], expected[i], 1e-6) << label << ", element " << i << " (row " << i % 4
                                                  << ", column " << i / 4 << ")";
}

class GlRecorderTest : public ::testing::Test {
protected:
    void SetUp() override { glrec::reset(); }
    void TearDown() override { glrec::reset(); }
};

struct MatrixCase {
    const char* label;
    GLenum mode;
    std::function<void()> calls;
    Matrix expected;
};

TEST_F(GlRecorderTest, MatrixCallsMultiplyTheTopAsGlDefinesThem)
{
    const MatrixCase cases[] = {
        {"gluLookAt down -z from the origin", GL_MODELVIEW, [] { gluLookAt(0, 0, 0, 0, 0, -1, 0, 1, 0); },
         identity},
        {"gluLookAt from +z", GL_MODELVIEW, [] { gluLookAt(0, 0, 5, 0, 0, 0, 0, 1, 0); },
         fromRows({{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, -5}, {0, 0, 0, 1}})},
        {"gluLookAt from +x, up scaled", GL_MODELVIEW, [] { gluLookAt(1, 0, 0, 0, 0, 0, 0, 3, 0); },
         fromRows({{0, 0, -1, 0}, {0, 1, 0, 0}, {1, 0, 0, -1}, {0, 0, 0, 1}})},
        {"glTranslatef", GL_MODELVIEW, [] { glTranslatef(1, 2, 3); },
         fromRows({{1, 0, 0, 1}, {0, 1, 0, 2}, {0, 0, 1, 3}, {0, 0, 0, 1}})},
        {"glRotatef 90 about z", GL_MODELVIEW, [] { glRotatef(90, 0, 0, 1); },
         fromRows({{0, -1, 0, 0}, {1, 0, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}})},
        {"glRotatef 90 about an unnormalised x axis", GL_MODELVIEW, [] { glRotatef(90, 5, 0, 0); },
         fromRows({{1, 0, 0, 0}, {0, 0, -1, 0}, {0, 1, 0, 0}, {0, 0, 0, 1}})},
        {"glRotated 90 about y", GL_MODELVIEW, [] { glRotated(90, 0, 1, 0); },
         fromRows({{0, 0, 1, 0}, {0, 1, 0, 0}, {-1, 0, 0, 0}, {0, 0, 0, 1}})},
        {"glRotatef with a zero axis leaves the matrix", GL_MODELVIEW, [] { glRotatef(90, 0, 0, 0); }, identity},
        {"scale then translate applies the translation first", GL_MODELVIEW,
         [] {
             glScalef(2, 3, 4);
             glTranslatef(1, 1, 1);
         },
         fromRows({{2, 0, 0, 2}, {0, 3, 0, 3}, {0, 0, 4, 4}, {0, 0, 0, 1}})},
        {"translate then rotate", GL_MODELVIEW,
         [] {
             glTranslatef(5, 0, 0);
             glRotatef(90, 0, 0, 1);
         },
         fromRows({{0, -1, 0, 5}, {1, 0, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}})},
        {"glOrtho of a window", GL_PROJECTION,
         [] {
             glMatrixMode(GL_PROJECTION);
             glOrtho(0, 800, 0, 600, -1, 1);
         },
         fromRows({{2.0f / 800, 0, 0, -1}, {0, 2.0f / 600, 0, -1}, {0, 0, -1, 0}, {0, 0, 0, 1}})},
        {"gluOrtho2D is glOrtho with near -1, far 1", GL_PROJECTION,
         [] {
             glMatrixMode(GL_PROJECTION);
             gluOrtho2D(-2, 2, -1, 1);
         },
         fromRows({{0.5f, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, -1, 0}, {0, 0, 0, 1}})},
        {"gluPerspective 90 degrees, aspect 2, near 1, far 3", GL_PROJECTION,
         [] {
             glMatrixMode(GL_PROJECTION);
             gluPerspective(90, 2, 1, 3);
         },
         fromRows({{0.5f, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, -2, -3}, {0, 0, -1, 0}})},
        {"gluPerspective with near equal to far leaves the matrix", GL_PROJECTION,
         [] {
             glMatrixMode(GL_PROJECTION);
             gluPerspective(60, 1, 2, 2);
         },
         identity},
        {"glMultMatrixd and glLoadIdentity", GL_MODELVIEW,
         [] {
             glTranslatef(9, 9, 9);
             glLoadIdentity();
             const GLdouble m[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
             glMultMatrixd(m);
         },
         {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}},
    };
    for (const MatrixCase& matrixCase : cases) {
        glrec::reset();
        matrixCase.calls();
        expectMatrixNear(glrec::matrix(matrixCase.mode), matrixCase.expected, matrixCase.label);
        GLfloat readBack[16];
        glGetFloatv(matrixCase.mode == GL_PROJECTION ? GL_PROJECTION_MATRIX : GL_MODELVIEW_MATRIX, readBack);
        expectMatrixNear(readBack, matrixCase.expected, std::string(matrixCase.label) + " read back");
    }
}

TEST_F(GlRecorderTest, StacksAreSeparateAndPopRestores)
{
    glMatrixMode(GL_PROJECTION);
    glTranslatef(0, 0, 7);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glTranslatef(1, 2, 3);
    expectMatrixNear(glrec::matrix(GL_MODELVIEW), fromRows({{1, 0, 0, 1}, {0, 1, 0, 2}, {0, 0, 1, 3}, {0, 0, 0, 1}}),
                     "pushed");
    glPopMatrix();
    expectMatrixNear(glrec::matrix(GL_MODELVIEW), identity, "popped");
    expectMatrixNear(glrec::matrix(GL_PROJECTION), fromRows({{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 7}, {0, 0, 0, 1}}),
                     "projection");
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(GlRecorderTest, StackOverflowAndUnderflowAreIgnoredWithAnError)
{
    struct Bound {
        GLenum mode;
        int depth;
    };
    for (const Bound bound : {Bound{GL_MODELVIEW, 32}, Bound{GL_PROJECTION, 4}}) {
        glrec::reset();
        glMatrixMode(bound.mode);
        for (int i = 1; i < bound.depth; ++i)
            glPushMatrix();
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << bound.depth;
        glTranslatef(1, 0, 0);
        glPushMatrix();  // one too many: ignored
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_STACK_OVERFLOW)) << bound.depth;
        glTranslatef(1, 0, 0);
        for (int i = 1; i < bound.depth; ++i)
            glPopMatrix();
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << bound.depth;
        glPopMatrix();  // below the bottom: ignored
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_STACK_UNDERFLOW)) << bound.depth;
        expectMatrixNear(glrec::matrix(bound.mode), identity, "bottom of the stack");
    }
}

TEST_F(GlRecorderTest, TextureNamesCountUpAndDeletionsAreTracked)
{
    GLuint names[3] = {};
    glGenTextures(3, names);
    EXPECT_EQ(std::vector<GLuint>(names, names + 3), (std::vector<GLuint>{1, 2, 3}));
    glBindTexture(GL_TEXTURE_2D, 2);
    EXPECT_EQ(glrec::boundTexture(), 2u);

    const GLuint doomed[3] = {2, 99, 0};  // 99 and 0 were never made: ignored
    glDeleteTextures(3, doomed);
    EXPECT_EQ(glrec::liveTextures(), (std::vector<GLuint>{1, 3}));
    EXPECT_EQ(glrec::boundTexture(), 0u) << "deleting the bound texture unbinds it";

    GLuint next = 0;
    glGenTextures(1, &next);
    EXPECT_EQ(next, 4u) << "names are not reused";
    EXPECT_EQ(glrec::callTexts().front(), "glGenTextures(3, 1, 2, 3)");
    EXPECT_EQ(glrec::callTexts()[2], "glDeleteTextures(3, 2, 99, 0)");
}

TEST_F(GlRecorderTest, ListRangesAreConsecutiveAndCanBeMadeToFail)
{
    EXPECT_EQ(glGenLists(3), 1u);
    EXPECT_EQ(glGenLists(2), 4u);
    glDeleteLists(2, 1);
    glDeleteLists(40, 5);  // unknown: ignored
    EXPECT_EQ(glrec::liveLists(), (std::vector<GLuint>{1, 3, 4, 5}));

    glrec::failGenLists(true);
    EXPECT_EQ(glGenLists(1), 0u);
    EXPECT_EQ(glrec::liveLists(), (std::vector<GLuint>{1, 3, 4, 5}));
    glrec::failGenLists(false);
    EXPECT_EQ(glGenLists(1), 6u);

    glrec::reset();
    EXPECT_TRUE(glrec::liveLists().empty());
    EXPECT_EQ(glGenLists(1), 1u);
}

TEST_F(GlRecorderTest, CompiledListChangesMatricesOnlyWhenCalled)
{
    const GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    glTranslatef(1, 0, 0);
    glEndList();
    expectMatrixNear(glrec::matrix(GL_MODELVIEW), identity, "after compiling");
    glCallList(list);
    glCallList(list);
    expectMatrixNear(glrec::matrix(GL_MODELVIEW), fromRows({{1, 0, 0, 2}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}),
                     "after two calls");
    EXPECT_EQ(glrec::countCalls("glTranslatef"), 1u) << "replayed calls are not logged again";
}

struct UploadCase {
    GLenum format;
    GLint alignment;
    GLsizei width;
    std::size_t sourceStride;  // bytes from one row to the next in the source
    std::size_t rowBytes;
};

TEST_F(GlRecorderTest, UploadsCopyRowsHonouringTheUnpackAlignment)
{
    const UploadCase cases[] = {
        {GL_RGBA, 4, 3, 12, 12},          {GL_RGB, 4, 3, 12, 9},  {GL_RGB, 1, 3, 9, 9},
        {GL_LUMINANCE_ALPHA, 4, 3, 8, 6}, {GL_ALPHA, 2, 3, 4, 3}, {GL_LUMINANCE, 8, 3, 8, 3},
    };
    for (const UploadCase& upload : cases) {
        glrec::reset();
        const GLsizei height = 2;
        std::vector<std::uint8_t> source(upload.sourceStride * height, 0xEE);
        for (std::size_t row = 0; row < static_cast<std::size_t>(height); ++row)
            for (std::size_t i = 0; i < upload.rowBytes; ++i)
                source[row * upload.sourceStride + i] = static_cast<std::uint8_t>(row * 100 + i);
        glBindTexture(GL_TEXTURE_2D, 7);
        glPixelStorei(GL_UNPACK_ALIGNMENT, upload.alignment);
        glTexImage2D(GL_TEXTURE_2D, 0, 4, upload.width, height, 0, upload.format, GL_UNSIGNED_BYTE, source.data());

        ASSERT_EQ(glrec::textureUploads().size(), 1u);
        const glrec::TextureUpload& recorded = glrec::textureUploads()[0];
        std::vector<std::uint8_t> expected;
        for (std::size_t row = 0; row < static_cast<std::size_t>(height); ++row)
            for (std::size_t i = 0; i < upload.rowBytes; ++i)
                expected.push_back(static_cast<std::uint8_t>(row * 100 + i));
        EXPECT_EQ(recorded.pixels, expected) << "format " << upload.format << ", alignment " << upload.alignment;
        EXPECT_EQ(recorded.boundName, 7u);
        EXPECT_EQ(recorded.function, "glTexImage2D");
        EXPECT_EQ(recorded.width, upload.width);
        EXPECT_EQ(recorded.height, height);
        EXPECT_EQ(recorded.internalFormat, 4);
    }
}

TEST_F(GlRecorderTest, SubImageKeepsOffsetsAndNullPixelsRecordNone)
{
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    const std::uint8_t texel[4] = {1, 2, 3, 4};
    glTexSubImage2D(GL_TEXTURE_2D, 0, 5, 6, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, texel);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 256, 256, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    gluBuild2DMipmaps(GL_TEXTURE_2D, 3, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, texel);

    const std::vector<glrec::TextureUpload>& uploads = glrec::textureUploads();
    ASSERT_EQ(uploads.size(), 3u);
    EXPECT_EQ(uploads[0].function, "glTexSubImage2D");
    EXPECT_EQ(uploads[0].xOffset, 5);
    EXPECT_EQ(uploads[0].yOffset, 6);
    EXPECT_EQ(uploads[0].pixels, (std::vector<std::uint8_t>{1, 2, 3, 4}));
    EXPECT_TRUE(uploads[1].pixels.empty());
    EXPECT_EQ(uploads[2].function, "gluBuild2DMipmaps");
    EXPECT_EQ(uploads[2].pixels, (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(glrec::callTexts()[1], "glTexSubImage2D(3553, 0, 5, 6, 1, 1, 6408, 5121)");
}

TEST_F(GlRecorderTest, ArrayArgumentsAreExpandedByParameterName)
{
    const GLfloat values[4] = {0.5f, 0.25f, -1, 2};
    glLightfv(GL_LIGHT0, GL_POSITION, values);
    glLightfv(GL_LIGHT0, GL_SPOT_DIRECTION, values);
    glLightfv(GL_LIGHT0, GL_SPOT_CUTOFF, values);
    glMaterialfv(GL_FRONT, GL_SHININESS, values);
    glMaterialfv(GL_FRONT, GL_AMBIENT_AND_DIFFUSE, values);
    glFogfv(GL_FOG_COLOR, values);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, values);
    glTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, values);
    glViewport(0, 150, 800, 300);
    glColor3f(1, 0.1f, 1e-7f);

    const std::vector<std::string> expected = {
        "glLightfv(16384, 4611, 0.5, 0.25, -1, 2)",
        "glLightfv(16384, 4612, 0.5, 0.25, -1)",
        "glLightfv(16384, 4614, 0.5)",
        "glMaterialfv(1028, 5633, 0.5)",
        "glMaterialfv(1028, 5634, 0.5, 0.25, -1, 2)",
        "glFogfv(2918, 0.5, 0.25, -1, 2)",
        "glLightModelfv(2899, 0.5, 0.25, -1, 2)",
        "glTexEnvfv(8960, 8705, 0.5, 0.25, -1, 2)",
        "glViewport(0, 150, 800, 300)",
        "glColor3f(1, 0.1, 1e-07)",
    };
    EXPECT_EQ(glrec::callTexts(), expected);
    EXPECT_EQ(glrec::calls()[9].args[1], static_cast<double>(0.1f)) << "arguments keep their exact value";
}

TEST_F(GlRecorderTest, WithRecordingOffStateIsKeptButNothingIsLogged)
{
    glrec::setRecording(false);
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    const std::uint8_t texel[4] = {};
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, texel);
    glTranslatef(1, 2, 3);
    glEnable(GL_LIGHTING);
    const GLuint list = glGenLists(1);

    EXPECT_TRUE(glrec::calls().empty());
    EXPECT_TRUE(glrec::textureUploads().empty());
    EXPECT_EQ(glrec::boundTexture(), 1u);
    EXPECT_EQ(list, 1u);
    EXPECT_EQ(glrec::matrix(GL_MODELVIEW)[14], 3.0f);
    EXPECT_EQ(glIsEnabled(GL_LIGHTING), GL_TRUE);
    glDisable(GL_LIGHTING);
    EXPECT_EQ(glIsEnabled(GL_LIGHTING), GL_FALSE);

    glrec::reset();
    glTranslatef(1, 2, 3);
    EXPECT_EQ(glrec::countCalls("glTranslatef"), 1u) << "reset turns recording back on";
}

}  // namespace
