#include <vector>

#include "scene/mesh_geometry.h"
#include "scene/scene_loader.h"

namespace xmo {

Drawable* findByName(Scene& scene, const std::string& name) {
    std::vector<Group*> stack{&scene};
    Drawable* result = nullptr;
    while (!stack.empty()) {
        Group* g = stack.back();
        stack.pop_back();
        if (g->DEF == name) return g;
        for (const auto& child : g->children) {
            if (child->DEF == name) {
                result = child.get();
                break;
            }
            if (auto* group = dynamic_cast<Group*>(child.get())) stack.push_back(group);
            if (auto* shape = dynamic_cast<Shape*>(child.get()); shape && shape->geometry && shape->geometry->DEF == name) {
                result = shape->geometry.get();
                break;
            }
        }
    }
    return result;
}

void computeBounds(Group& root, Vec3f& min, Vec3f& max) {
    max = Vec3f{-1000000.0f, -1000000.0f, -1000000.0f};
    min = Vec3f{1000000.0f, 1000000.0f, 1000000.0f};
    std::vector<Group*> stack{&root};
    while (!stack.empty()) {
        Group* g = stack.back();
        stack.pop_back();
        for (const auto& child : g->children) {
            if (auto* group = dynamic_cast<Group*>(child.get())) {
                stack.push_back(group);
            } else if (auto* shape = dynamic_cast<Shape*>(child.get())) {
                if (auto* mesh = dynamic_cast<IndexedFaceSet*>(shape->geometry.get())) extendMeshBounds(*mesh, min, max);
            }
        }
    }
}

}  // namespace xmo
