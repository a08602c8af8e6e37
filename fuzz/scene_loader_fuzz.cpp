// Fuzz target of the scene file loader: any bytes as a scene file, then the
// steps an object load runs on the result (search and bounds). Drawing is
// not reached; the loader must neither crash nor read out of bounds.
#include <cstddef>
#include <cstdint>
#include <sstream>

#include "scene/mesh_geometry.h"
#include "scene/scene_loader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::ostringstream errors;
    xmo::Diagnostics diagnostics;
    std::unique_ptr<xmo::Scene> scene =
        xmo::loadSceneText(reinterpret_cast<const char*>(data), size, "fuzz.x3d", errors, diagnostics);
    if (!scene) return 0;
    xmo::Vec3f min, max;
    xmo::computeBounds(*scene, min, max);
    if (auto* group = dynamic_cast<xmo::Group*>(xmo::findByName(*scene, "Object"))) xmo::computeBounds(*group, min, max);
    return 0;
}
