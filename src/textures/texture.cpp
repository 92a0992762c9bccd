#include "textures/texture.h"

#include "textures/texture_generator.h"
#include "textures/texture_registry.h"

GLuint Texture::lastBoundName = ~GLuint{0};
GLfloat Texture::envColor[4] = {1.0f, 1.0f, 1.0f, 1.0f};
GLenum Texture::envModeOverride = 0;

Texture::Texture()
{
    envColor[0] = envColor[1] = envColor[2] = envColor[3] = 1.0f;
    textureRegistry.clearEntries();
}

Texture::~Texture()
{
    textureRegistry.forgetSlot(*this);
    if (glName != 0) {
        // GL unbinds a deleted texture and may hand its name out again.
        if (lastBoundName == glName)
            lastBoundName = ~GLuint{0};
        glDeleteTextures(1, &glName);
    }
}

void Texture::bind()
{
    if (glName == 0)
        glGenTextures(1, &glName);
    // bind is the only caller of glBindTexture and glTexEnv*, so comparing
    // names is enough to know that GL already has this slot and its settings.
    if (glName == lastBoundName)
        return;
    lastBoundName = glName;
    glBindTexture(GL_TEXTURE_2D, glName);
    if (wrapMode != 0) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, static_cast<GLint>(wrapMode));
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, static_cast<GLint>(wrapMode));
    }
    if (envModeOverride != 0)
        glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, static_cast<GLfloat>(envModeOverride));
    else if (envMode != 0)
        glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, static_cast<GLfloat>(envMode));
    if (envModeOverride == GL_BLEND || envMode == GL_BLEND)
        glTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, envColor);
}

void Texture::setFilters(bool mipmapped)
{
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, mipmapped ? GL_NEAREST_MIPMAP_NEAREST : GL_LINEAR);
}

void Texture::resetSharedSettings()
{
    lastBoundName = ~GLuint{0};
    envColor[0] = envColor[1] = envColor[2] = envColor[3] = 1.0f;
    envModeOverride = 0;
}

std::uint8_t Texture::scratchPixels[maxTexturePixels * 4];

int Texture::generate(TextureKind kind, int newWidth, int newHeight, GLenum newFormat, bool mipmapped)
{
    // Stored before any test, so a refused call still describes the request.
    width = newWidth;
    height = newHeight;
    format = newFormat;
    if (checkTextureRequest(kind, width, height, format) != generateOk)
        return generateRefused;
    if (!textureRegistry.beginEntry(*this, textureKindName(kind)))
        return generateRefused;
    generatePixels(kind, width, height, format, blobCount, blobRadius, scratchPixels);
    bind();
    setFilters(mipmapped);
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format), width, height, 0, format, GL_UNSIGNED_BYTE,
                 scratchPixels);
    if (mipmapped) {
        // Always 4 components, also for GL_LUMINANCE_ALPHA images.
        gluBuild2DMipmaps(GL_TEXTURE_2D, 4, width, height, format, GL_UNSIGNED_BYTE, scratchPixels);
    }
    ++textureRegistry.count;
    return generateOk;
}
