#include "scene/nodes.h"

#include <algorithm>

#include "scene/mesh_geometry.h"
#include "scene/renderer_state.h"
#include "scene/shadow_mesh.h"

namespace xmo {

void IndexedFaceSet::finish(MeshUse use, NeighbourScratch* scratch) {
    static const std::vector<Vec3f> noPoints;
    const std::vector<Vec3f>& points = coord ? coord->point : noPoints;
    // As X3D reads them: normals and texture coordinates without an index
    // list of their own are indexed by coordIndex.
    if (normal && normalIndex.empty()) normalIndex = coordIndex;
    if (texCoord && texCoordIndex.empty()) texCoordIndex = coordIndex;
    if (!normal && use == MeshUse::Drawing) {
        normal = std::make_unique<Normal>();
        generateFlatNormals(points, coordIndex, normal->vector, normalIndex);
        normalsGenerated = true;
    }
    if (castshadow && use == MeshUse::Drawing) {
        buildShadowFaces(points, coordIndex, shadowFaces);
        if (scratch)
            buildNeighbours(shadowFaces, *scratch);
        else
            buildNeighbours(shadowFaces);
    }
    finished = true;
}

void Material::computeColours() {
    alpha = 1.0f - transparency;
    for (int i = 0; i < 3; ++i) {
        diffuse[i] = diffuseColor.e[i];
        ambient[i] = ambientIntensity * diffuseColor.e[i];
        specular[i] = specularColor.e[i];
        emissive[i] = emissiveColor.e[i];
    }
    diffuse[3] = ambient[3] = specular[3] = emissive[3] = alpha;
}

void Scene::prepare(LightCounter& counter) {
    if (!lights) lights = std::make_unique<SceneLights>();
    if (!lights->light && lights->useDefault == 1) {
        lights->light = std::make_unique<PointLight>();
        lights->light->enable(counter);
    }
    defaultMaterial = std::make_unique<Material>();
}

unsigned lightEnumerantFor(int enableCount) {
    if (enableCount < 0) enableCount = 0;
    return kGlLight0 + static_cast<unsigned>(enableCount < 7 ? enableCount : 7);
}

unsigned LightCounter::takeEnumerant() {
    const unsigned enumerant = lightEnumerantFor(enableCount++);
    if (std::find(toEnable.begin(), toEnable.end(), enumerant) == toEnable.end()) toEnable.push_back(enumerant);
    return enumerant;
}

void PointLight::enable(LightCounter& lights) {
    lightId = lights.takeEnumerant();
    dirty = true;
    lights.placedThisFrame.reserve(static_cast<std::size_t>(lights.enableCount));
}

}  // namespace xmo
