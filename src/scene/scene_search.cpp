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

namespace {

const char* nodeKindName(const Drawable& node) {
    if (dynamic_cast<const Scene*>(&node)) return "Scene";
    if (dynamic_cast<const Transform*>(&node)) return "Transform";
    if (dynamic_cast<const Group*>(&node)) return "Group";
    if (dynamic_cast<const Shape*>(&node)) return "Shape";
    if (dynamic_cast<const Appearance*>(&node)) return "Appearance";
    if (dynamic_cast<const Material*>(&node)) return "Material";
    if (dynamic_cast<const IndexedFaceSet*>(&node)) return "IndexedFaceSet";
    if (dynamic_cast<const Coordinate*>(&node)) return "Coordinate";
    if (dynamic_cast<const Normal*>(&node)) return "Normal";
    if (dynamic_cast<const TextureCoordinate*>(&node)) return "TextureCoordinate";
    if (dynamic_cast<const Sphere*>(&node)) return "Sphere";
    return "node";
}

// Every DEF name of the tree with its node's kind, groups apart, in file order.
void collectDefNames(const Drawable& node, std::vector<std::string>& groups, std::vector<std::string>& others) {
    const auto add = [&](const Drawable* d) {
        if (d && !d->DEF.empty()) others.push_back(d->DEF + " (" + nodeKindName(*d) + ")");
    };
    if (const auto* group = dynamic_cast<const Group*>(&node)) {
        if (!group->DEF.empty()) groups.push_back(group->DEF);
        for (const auto& child : group->children) collectDefNames(*child, groups, others);
    } else if (const auto* shape = dynamic_cast<const Shape*>(&node)) {
        add(shape);
        if (shape->appearance) {
            add(shape->appearance.get());
            add(shape->appearance->material.get());
            if (shape->appearance->texture && !shape->appearance->texture->DEF.empty())
                others.push_back(shape->appearance->texture->DEF + " (ImageTexture)");
        }
        add(shape->geometry.get());
        if (const auto* mesh = dynamic_cast<const IndexedFaceSet*>(shape->geometry.get())) {
            add(mesh->coord.get());
            add(mesh->normal.get());
            add(mesh->texCoord.get());
        }
    } else {
        add(&node);
    }
}

std::string listed(const std::vector<std::string>& names) {
    constexpr std::size_t kListed = 12;
    std::string out;
    for (std::size_t i = 0; i < names.size() && i < kListed; ++i) out += (i ? ", " : "") + names[i];
    if (names.size() > kListed) out += ", ...";
    return out;
}

}  // namespace

std::string explainMissingGroup(Scene& scene, const std::string& name) {
    constexpr const char* kStandard = "standard=\"true\" on the Object takes any node, or the whole scene without objectname";
    if (const Drawable* found = findByName(scene, name))
        return "\"" + name + "\" is a " + nodeKindName(*found) +
               ", not a group: this reading takes a Group, Transform or Scene; " + kStandard;
    const std::string similar = findGroupNameIgnoringCase(scene, name);
    if (!similar.empty()) return "no group named \"" + name + "\"; did you mean \"" + similar + "\"?";
    std::vector<std::string> groups, others;
    collectDefNames(scene, groups, others);
    if (!groups.empty()) return "no group named \"" + name + "\" in the scene; its groups are " + listed(groups);
    return "no group named \"" + name + "\": the scene has no group with a DEF name" +
           (others.empty() ? std::string() : " (its DEF names: " + listed(others) + ")") + "; " + kStandard;
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
