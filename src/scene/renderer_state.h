// The scene renderer's state for one run: the light counter, the models'
// pending textures, the caster list and the shadow volumes' scratch. The
// player owns one RendererState and hands it to everything that draws
// models; tests make their own.
//
// Lights are numbered and textures decoded while scenes load, without
// OpenGL, and switched on or uploaded by drawing-layer steps after loading
// and before the first frame, so the tools load films without any GL
// context.
#pragma once

#include <vector>

#include "scene/model_textures.h"
#include "scene/nodes.h"
#include "scene/shadow_volume.h"

namespace xmo {

inline constexpr unsigned kGlLight0 = 0x4000;  // OpenGL's GL_LIGHT0; GL_LIGHTi is kGlLight0 + i

// Light enumerant of the n-th enable call: GL_LIGHT0..GL_LIGHT6, then
// GL_LIGHT7 for every later scene.
unsigned lightEnumerantFor(int enableCount);

// One counter for the whole run: each scene's default light takes the next
// enumerant, so the eighth scene and every later one share GL_LIGHT7.
struct LightCounter {
    int enableCount = 0;
    std::vector<unsigned> toEnable;  // each enumerant taken, once, in the order first taken
    // The lights this frame's advance placed (placeModels). Each sets its
    // parameters when its scene draws in the frame's dimly lit pass; the
    // model pass restores every attribute after it, so that one pass is all
    // a light's parameters ever show in. Room for every light is made as
    // lights are enabled, so placing one mid-film allocates nothing.
    std::vector<PointLight*> placedThisFrame;

    unsigned takeEnumerant();
};

struct RendererState {
    // The meshes drawn during the current model's draw, each with its
    // model-view matrix; emptied when a model starts drawing.
    std::vector<ShadowCaster> casterList;
    LightCounter lights;
    // Pictures of the models' textures, decoded while loading and made
    // textures by uploadModelTextures before the first frame.
    ModelTextures textures;
    // The silhouette quads of the mesh whose volume is being drawn; it grows
    // to the largest mesh once and is reused by every volume of every frame.
    std::vector<ShadowQuad> shadowQuads;
    // Set while the model pass draws its dimly lit world, the pass in which
    // newly placed lights set their parameters.
    bool settingSceneLights = false;
};

// Drawing library:

// Switches on every light enumerant taken while loading; start-up calls it
// once, before the first frame.
void enableSceneLights(const LightCounter& lights);

// Appends (mesh, the current model-view matrix) to the caster list; every
// mesh and brick draw calls it.
void recordShadowCaster(RendererState& renderer, IndexedFaceSet* mesh);

}  // namespace xmo
