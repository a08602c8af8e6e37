// Which recorded meshes cast shadows in a frame: those of every enabled
// Model whose "castshadow" is set, under enabled ModelTransforms only. A
// model's casters are the meshes its last draw recorded (its own "castshadow"
// mesh attribute decides whether such a mesh has shadow faces at all).
#pragma once

#include <memory>
#include <vector>

#include "scene/nodes.h"

namespace xmo {

class BaseModel;

// Clears `casters` and lists them in model order; keeps its capacity.
void collectShadowCasters(const std::vector<std::unique_ptr<BaseModel>>& models,
                          std::vector<const ShadowCaster*>& casters);

}  // namespace xmo
