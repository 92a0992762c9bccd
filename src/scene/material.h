// How the light's colour feeds the fixed-function lighting terms.
//
// Levels are factors in 0..1 on the colour product material colour x light
// colour; spotCutoff is in degrees (180: no cone); shininess is GL's 0..128.
// The material's ambient and diffuse colours come from the current colour
// through colour material, so they are never sent from here.
#pragma once

class LightRig;

class Material {
public:
    // Stores the four levels; sends nothing.
    void setMaterialLevels(float ambient, float diffuse, float specular, float materialSpecular);

    // Sends the global ambient, the material specular, the light's ambient,
    // diffuse and specular, its spot exponent and cutoff, then the shininess.
    // The one ambient vector serves as the global and the light's ambient. A
    // light whose index names no GL light gets none of its calls.
    void applyMaterial(const LightRig& light) const;

    float ambientLevel = 0.25f;
    float diffuseLevel = 0.5f;
    float specularLevel = 0.75f;
    float materialSpecularLevel = 0.99f;
    float spotExponent = 1.0f;
    float spotCutoff = 180.0f;
    int shininess = 20;
    float colour[3] = {1.0f, 1.0f, 1.0f};
};
