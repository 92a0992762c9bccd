#include "scene/material.h"

#include "gl_api.h"
#include "scene/light_rig.h"

namespace {

struct Rgba {
    GLfloat value[4];
};

// level * colour with alpha 1.
Rgba scaled(float level, const float colour[3])
{
    return Rgba{{level * colour[0], level * colour[1], level * colour[2], 1.0f}};
}

}  // namespace

void Material::setMaterialLevels(float ambient, float diffuse, float specular, float materialSpecular)
{
    ambientLevel = ambient;
    diffuseLevel = diffuse;
    specularLevel = specular;
    materialSpecularLevel = materialSpecular;
}

void Material::applyMaterial(const LightRig& light) const
{
    const float product[3] = {colour[0] * light.colour[0], colour[1] * light.colour[1],
                              colour[2] * light.colour[2]};
    const Rgba ambient = scaled(ambientLevel, product);
    const Rgba diffuse = scaled(diffuseLevel, product);
    const Rgba specular = scaled(specularLevel, product);
    const Rgba materialSpecular = scaled(materialSpecularLevel, product);

    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient.value);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, materialSpecular.value);
    if (light.hasValidLight()) {
        const GLenum id = light.glLight();
        glLightfv(id, GL_AMBIENT, ambient.value);
        glLightfv(id, GL_DIFFUSE, diffuse.value);
        glLightfv(id, GL_SPECULAR, specular.value);
        glLightf(id, GL_SPOT_EXPONENT, spotExponent);
        glLightf(id, GL_SPOT_CUTOFF, spotCutoff);
    }
    glMateriali(GL_FRONT_AND_BACK, GL_SHININESS, shininess);
}
