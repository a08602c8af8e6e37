#include <algorithm>
#include <cctype>
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

std::string findGroupNameIgnoringCase(Scene& scene, const std::string& name) {
    const auto sameIgnoringCase = [&name](const std::string& other) {
        return other.size() == name.size() &&
               std::equal(other.begin(), other.end(), name.begin(), [](char a, char b) {
                   return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
               });
    };
    std::vector<Group*> stack{&scene};
    while (!stack.empty()) {
        Group* g = stack.back();
        stack.pop_back();
        if (sameIgnoringCase(g->DEF)) return g->DEF;
        for (const auto& child : g->children)
            if (auto* group = dynamic_cast<Group*>(child.get())) stack.push_back(group);
    }
    return {};
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
