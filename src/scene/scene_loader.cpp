#include "scene/scene_loader.h"

#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

#include "base/name_table.h"
#include "base/xml_front_end.h"
#include "movie/values.h"
#include "scene/mesh_geometry.h"
#include "scene/scene_values.h"
#include "scene/shadow_mesh.h"

namespace xmo {

namespace {

enum class Element {
    Scene,
    Group,
    Transform,
    Viewpoint,
    Shape,
    Appearance,
    ImageTexture,
    Material,
    IndexedFaceSet,
    Coordinate,
    Normal,
    TextureCoordinate,
    Sphere,
    Other,
};

constexpr NameEntry<Element> kElementNames[] = {
    {"Scene", Element::Scene},
    {"Group", Element::Group},
    {"Transform", Element::Transform},
    {"Viewpoint", Element::Viewpoint},
    {"Shape", Element::Shape},
    {"Appearance", Element::Appearance},
    {"ImageTexture", Element::ImageTexture},
    {"Material", Element::Material},
    {"IndexedFaceSet", Element::IndexedFaceSet},
    {"Coordinate", Element::Coordinate},
    {"Normal", Element::Normal},
    {"TextureCoordinate", Element::TextureCoordinate},
    {"Sphere", Element::Sphere},
};
constexpr NameTable kElements(kElementNames, Element::Other);

bool is(const char* a, const char* b) { return std::strcmp(a, b) == 0; }

constexpr const char* kGroupParents = "a \"Scene\", \"Group\" or \"Transform\"";

// Drawing and releasing a scene recurse once per group level; deeper nesting
// than this is refused so that no file can exhaust the stack.
constexpr int kMaxGroupDepth = 1000;

// One load: the open elements and the scratch lists that numbers are read
// into before they are copied, sized exactly, into their node.
class SceneFileLoader final : public XmlElementHandler {
public:
    SceneFileLoader(const std::string& fileName, float scale, std::ostream& errors, Diagnostics& diagnostics,
                    MeshUse meshUse)
        : fileName_(fileName),
          scale_(scale),
          errors_(errors),
          diagnostics_(diagnostics),
          meshUse_(meshUse),
          xml_(fileName, *this) {}

    std::unique_ptr<Scene> parseFile() { return finish(xml_.parseFile("scene file")); }
    std::unique_ptr<Scene> parseText(std::string_view text) { return finish(xml_.parseText(text)); }

private:
    std::unique_ptr<Scene> finish(const std::optional<XmlSyntaxProblem>& problem) {
        if (problem) {
            errors_ << problem->message() << "\n";
            diagnostics_.report(DiagnosticKind::ParseError, fileName_, problem->line,
                                problem->text + "; the scene read up to here is kept");
        }
        reportUnread();
        for (auto& scene : scenes_)
            if (scene.get() == currentScene_) return std::move(scene);
        return nullptr;
    }

    int currentLine() { return xml_.currentLine(); }

    void report(DiagnosticKind kind, int line, std::string message) {
        diagnostics_.report(kind, fileName_, line, std::move(message));
        errors_ << formatDiagnostic(diagnostics_.items().back()) << "\n";
    }

    // An element whose parent is not open is skipped with all it holds.
    bool require(const void* parent, const char* element, const char* expected) {
        if (parent) return true;
        report(DiagnosticKind::MisplacedElement, currentLine(),
               std::string("expected \"") + element + "\" inside " + expected + "; the element is skipped");
        skipDepth_ = 1;
        return false;
    }

    bool requireGroupDepth(const char* element) {
        if (groupDepth_ < kMaxGroupDepth) return true;
        report(DiagnosticKind::MisplacedElement, currentLine(),
               std::string("\"") + element + "\" nested deeper than " + std::to_string(kMaxGroupDepth) +
                   " groups; the element is skipped");
        skipDepth_ = 1;
        return false;
    }

    template <typename G>
    void openGroup(std::unique_ptr<G> group) {
        ++groupDepth_;
        group->parent = currentGroup_;
        G* opened = group.get();
        currentGroup_->addChild(std::move(group));
        currentGroup_ = opened;
    }

    // What this reading leaves out of the file: geometry it does not draw
    // and USE it does not follow, once per file, by kind and count.
    void noteUnread(Element element, const char* name, const char** attributes);
    void reportUnread();

    void startElement(const char* name, const char** attributes) override;
    void endElement(const char* name) override;

    void readTransform(Transform& transform, const char** attributes);
    void readViewpoint(Viewpoint& viewpoint, const char** attributes);
    void readMaterial(Material& material, const char** attributes);
    void readImageTexture(ImageTexture& texture, const char** attributes);
    void readFaceSet(IndexedFaceSet& mesh, const char** attributes);
    void readPoints3(const char* element, const char** attributes, const char* key, std::vector<Vec3f>& out);
    void reportLeftOver(const char* element, const char* key, std::size_t count, int tupleSize, std::size_t leftOver);
    void finishFaceSet();

    const std::string& fileName_;
    const float scale_;
    std::ostream& errors_;
    Diagnostics& diagnostics_;
    const MeshUse meshUse_;
    NeighbourScratch neighbourScratch_;
    XmlFrontEnd xml_;

    std::vector<std::unique_ptr<Scene>> scenes_;
    Scene* currentScene_ = nullptr;
    Group* currentGroup_ = nullptr;
    Shape* currentShape_ = nullptr;
    Appearance* currentAppearance_ = nullptr;
    IndexedFaceSet* currentFaceSet_ = nullptr;
    int faceSetLine_ = 0;
    int skipDepth_ = 0;
    int groupDepth_ = 0;  // open "Group" and "Transform" elements: never less than the tree depth

    std::vector<std::pair<std::string, std::size_t>> undrawn_;
    std::size_t uses_ = 0;
    int firstUseLine_ = 0;

    std::vector<Vec3f> points3_;
    std::vector<Vec2f> points2_;
    std::vector<int> indices_;
};

void readDef(Drawable& node, const char** attributes) {
    for (const char** a = attributes; *a; a += 2)
        if (is(a[0], "DEF")) readString(a[1], node.DEF);
}

void SceneFileLoader::noteUnread(Element element, const char* name, const char** attributes) {
    for (const char** a = attributes; *a; a += 2)
        if (is(a[0], "USE") && uses_++ == 0) firstUseLine_ = currentLine();
    // A node that stands in a shape in geometry's place, or a sphere, which
    // this reading keeps without drawing it.
    const bool inGeometryPlace = currentShape_ && !currentAppearance_ && !currentFaceSet_ &&
                                 element == Element::Other && std::strncmp(name, "Metadata", 8) != 0;
    if (!inGeometryPlace && element != Element::Sphere) return;
    for (auto& kind : undrawn_)
        if (kind.first == name) {
            ++kind.second;
            return;
        }
    undrawn_.emplace_back(name, 1);
}

void SceneFileLoader::reportUnread() {
    if (!undrawn_.empty()) {
        std::string kinds;
        for (const auto& kind : undrawn_)
            kinds += (kinds.empty() ? "" : ", ") + std::to_string(kind.second) + " " + kind.first;
        diagnostics_.report(DiagnosticKind::UndrawnGeometry, fileName_, 0,
                            "geometry not drawn by this reading: " + kinds +
                                "; standard=\"true\" on the Object draws X3D's primitives and triangle sets");
    }
    if (uses_ > 0)
        diagnostics_.report(DiagnosticKind::UnfollowedReference, fileName_, firstUseLine_,
                            std::to_string(uses_) + (uses_ == 1 ? " USE is" : " USE are") +
                                " not followed by this reading (the first here); standard=\"true\" on the Object "
                                "follows them");
}

void SceneFileLoader::startElement(const char* name, const char** attributes) {
    if (skipDepth_ > 0) {
        ++skipDepth_;
        return;
    }
    const Element element = kElements.find(name);
    noteUnread(element, name, attributes);
    switch (element) {
    case Element::Scene: {
        auto scene = std::make_unique<Scene>();
        readDef(*scene, attributes);
        currentScene_ = scene.get();
        currentGroup_ = scene.get();
        scenes_.push_back(std::move(scene));
        break;
    }
    case Element::Group: {
        if (!require(currentGroup_, name, kGroupParents) || !requireGroupDepth(name)) return;
        auto group = std::make_unique<Group>();
        readDef(*group, attributes);
        openGroup(std::move(group));
        break;
    }
    case Element::Transform: {
        if (!require(currentGroup_, name, kGroupParents) || !requireGroupDepth(name)) return;
        auto transform = std::make_unique<Transform>();
        readTransform(*transform, attributes);
        openGroup(std::move(transform));
        break;
    }
    case Element::Viewpoint: {
        if (!require(currentScene_, name, "a \"Scene\"")) return;
        auto viewpoint = std::make_unique<Viewpoint>();
        viewpoint->sourceLine = currentLine();
        readViewpoint(*viewpoint, attributes);
        currentScene_->addViewpoint(std::move(viewpoint));
        break;
    }
    case Element::Shape: {
        if (!require(currentGroup_, name, kGroupParents)) return;
        auto shape = std::make_unique<Shape>();
        readDef(*shape, attributes);
        currentShape_ = shape.get();
        currentGroup_->addChild(std::move(shape));
        break;
    }
    case Element::Appearance: {
        if (!require(currentShape_, name, "a \"Shape\"")) return;
        currentShape_->appearance = std::make_unique<Appearance>();
        currentAppearance_ = currentShape_->appearance.get();
        readDef(*currentAppearance_, attributes);
        break;
    }
    case Element::ImageTexture: {
        if (!require(currentAppearance_, name, "an \"Appearance\"")) return;
        currentAppearance_->texture = std::make_unique<ImageTexture>();
        readImageTexture(*currentAppearance_->texture, attributes);
        break;
    }
    case Element::Material: {
        if (!require(currentAppearance_, name, "an \"Appearance\"")) return;
        currentAppearance_->material = std::make_unique<Material>();
        readMaterial(*currentAppearance_->material, attributes);
        break;
    }
    case Element::IndexedFaceSet: {
        if (!require(currentShape_, name, "a \"Shape\"")) return;
        auto mesh = std::make_unique<IndexedFaceSet>();
        readFaceSet(*mesh, attributes);
        currentFaceSet_ = mesh.get();
        faceSetLine_ = currentLine();
        currentShape_->geometry = std::move(mesh);
        break;
    }
    case Element::Coordinate: {
        if (!require(currentFaceSet_, name, "an \"IndexedFaceSet\"")) return;
        currentFaceSet_->coord = std::make_unique<Coordinate>();
        readPoints3(name, attributes, "point", currentFaceSet_->coord->point);
        break;
    }
    case Element::Normal: {
        if (!require(currentFaceSet_, name, "an \"IndexedFaceSet\"")) return;
        currentFaceSet_->normal = std::make_unique<Normal>();
        readPoints3(name, attributes, "vector", currentFaceSet_->normal->vector);
        break;
    }
    case Element::TextureCoordinate: {
        if (!require(currentFaceSet_, name, "an \"IndexedFaceSet\"")) return;
        currentFaceSet_->texCoord = std::make_unique<TextureCoordinate>();
        for (const char** a = attributes; *a; a += 2)
            if (is(a[0], "point")) {
                const std::size_t leftOver = readPointList2(a[1], points2_);
                currentFaceSet_->texCoord->point.assign(points2_.begin(), points2_.end());
                reportLeftOver(name, "point", points2_.size(), 2, leftOver);
            }
        break;
    }
    case Element::Sphere: {
        if (!require(currentGroup_, name, kGroupParents)) return;
        auto sphere = std::make_unique<Sphere>();
        for (const char** a = attributes; *a; a += 2)
            if (is(a[0], "radius")) sphere->radius = static_cast<float>(std::strtod(a[1], nullptr));
        currentGroup_->addChild(std::move(sphere));
        break;
    }
    case Element::Other:
        break;
    }
}

void SceneFileLoader::endElement(const char* name) {
    if (skipDepth_ > 0) {
        --skipDepth_;
        return;
    }
    switch (kElements.find(name)) {
    case Element::Group:
    case Element::Transform:
        if (currentGroup_) currentGroup_ = currentGroup_->parent;
        --groupDepth_;
        break;
    case Element::Shape:
        currentShape_ = nullptr;
        break;
    case Element::Appearance:
        currentAppearance_ = nullptr;
        break;
    case Element::IndexedFaceSet:
        finishFaceSet();
        break;
    default:
        break;
    }
}

void SceneFileLoader::finishFaceSet() {
    if (!currentFaceSet_) return;
    if (currentFaceSet_->coord && scale_ != 1.0f)
        for (Vec3f& p : currentFaceSet_->coord->point) p *= scale_;
    currentFaceSet_->finish(meshUse_, &neighbourScratch_);
    if (const auto problem = findFaceSetProblem(*currentFaceSet_))
        diagnostics_.report(problem->kind, fileName_, faceSetLine_, problem->message);
    if (currentFaceSet_->castshadow)
        if (const auto polygon = findLargeShadowPolygon(currentFaceSet_->coordIndex))
            diagnostics_.report(DiagnosticKind::LargeShadowPolygon, fileName_, faceSetLine_, *polygon);
    currentFaceSet_ = nullptr;
}

void SceneFileLoader::readTransform(Transform& transform, const char** attributes) {
    for (const char** a = attributes; *a; a += 2) {
        if (is(a[0], "DEF")) readString(a[1], transform.DEF);
        else if (is(a[0], "translation")) readSceneFloat3(a[1], transform.translation);
        else if (is(a[0], "rotation")) transform.rotation = readRotation(a[1]);
        else if (is(a[0], "scale")) readSceneFloat3(a[1], transform.scale);
    }
    const bool moves = transform.translation != Vec3f{};
    const bool turns = transform.rotation.toAxisAngle().degrees != 0.0f;
    if (moves || turns)
        diagnostics_.report(DiagnosticKind::UnappliedTransform, fileName_, currentLine(),
                            std::string("\"Transform\"") +
                                (transform.DEF.empty() ? "" : " \"" + transform.DEF + "\"") + ": its " +
                                (moves && turns ? "translation and rotation are" : moves ? "translation is" : "rotation is") +
                                " not applied in this reading of the file, only its scale; standard=\"true\" on "
                                "the Object reads the file as X3D means it, every Transform applied");
}

void SceneFileLoader::readViewpoint(Viewpoint& viewpoint, const char** attributes) {
    for (const char** a = attributes; *a; a += 2) {
        if (is(a[0], "DEF")) readString(a[1], viewpoint.DEF);
        else if (is(a[0], "position")) {
            readSceneFloat3(a[1], viewpoint.position);
            viewpoint.position *= scale_;
        }
        else if (is(a[0], "orientation")) viewpoint.orientation = readRotation(a[1]);
        else if (is(a[0], "fieldOfView")) readSceneFloat(a[1], viewpoint.fieldOfView);
    }
}

void SceneFileLoader::readMaterial(Material& material, const char** attributes) {
    for (const char** a = attributes; *a; a += 2) {
        if (is(a[0], "DEF")) readString(a[1], material.DEF);
        else if (is(a[0], "diffuseColor")) readSceneFloat3(a[1], material.diffuseColor);
        else if (is(a[0], "ambientIntensity")) readSceneFloat(a[1], material.ambientIntensity);
        else if (is(a[0], "specularColor")) readSceneFloat3(a[1], material.specularColor);
        else if (is(a[0], "emissiveColor")) readSceneFloat3(a[1], material.emissiveColor);
        else if (is(a[0], "shininess")) readSceneFloat(a[1], material.shininess);
        else if (is(a[0], "transparency")) readSceneFloat(a[1], material.transparency);
    }
}

void SceneFileLoader::readImageTexture(ImageTexture& texture, const char** attributes) {
    for (const char** a = attributes; *a; a += 2) {
        if (is(a[0], "DEF")) readString(a[1], texture.DEF);
        else if (is(a[0], "url")) readString(a[1], texture.url);
        else if (is(a[0], "repeatS")) texture.repeatS = readBool(a[1]);
        else if (is(a[0], "repeatT")) texture.repeatT = readBool(a[1]);
    }
}

void SceneFileLoader::readFaceSet(IndexedFaceSet& mesh, const char** attributes) {
    const auto readIndices = [this](const char* text, std::vector<int>& out) {
        readIndexList(text, indices_);
        out.assign(indices_.begin(), indices_.end());
    };
    for (const char** a = attributes; *a; a += 2) {
        if (is(a[0], "DEF")) readString(a[1], mesh.DEF);
        else if (is(a[0], "coordIndex")) readIndices(a[1], mesh.coordIndex);
        else if (is(a[0], "normalIndex")) readIndices(a[1], mesh.normalIndex);
        else if (is(a[0], "texCoordIndex")) readIndices(a[1], mesh.texCoordIndex);
        else if (is(a[0], "castshadow")) mesh.castshadow = readBool(a[1]);
    }
}

void SceneFileLoader::readPoints3(const char* element, const char** attributes, const char* key,
                                  std::vector<Vec3f>& out) {
    for (const char** a = attributes; *a; a += 2)
        if (is(a[0], key)) {
            const std::size_t leftOver = readPointList3(a[1], points3_);
            out.assign(points3_.begin(), points3_.end());
            reportLeftOver(element, key, points3_.size(), 3, leftOver);
        }
}

// A list whose numbers do not make whole tuples: the last ones are left out.
void SceneFileLoader::reportLeftOver(const char* element, const char* key, std::size_t count, int tupleSize,
                                     std::size_t leftOver) {
    if (leftOver == 0) return;
    const std::size_t numbers = count * static_cast<std::size_t>(tupleSize) + leftOver;
    diagnostics_.report(DiagnosticKind::UnreadValue, fileName_, currentLine(),
           std::string("\"") + element + "\" " + key + ": " + std::to_string(numbers) + " numbers are not whole tuples of " +
               std::to_string(tupleSize) + "; the last " + std::to_string(leftOver) + " left out");
}

}  // namespace

std::unique_ptr<Scene> loadSceneText(const char* text, std::size_t size, const std::string& fileName,
                                     std::ostream& errors, Diagnostics& diagnostics, MeshUse use) {
    return SceneFileLoader(fileName, 1.0f, errors, diagnostics, use).parseText(std::string_view(text, size));
}

std::unique_ptr<Scene> loadSceneFile(const std::string& fileName, std::ostream& progress, std::ostream& errors,
                                     Diagnostics& diagnostics, MeshUse use, float scale) {
    try {
        return SceneFileLoader(fileName, scale, errors, diagnostics, use).parseFile();
    } catch (const LoadError& e) {
        // Only a file that cannot be read gets here: handler problems are reported, not thrown.
        progress << "Error in loading file " << fileName << "\n";
        progress.flush();
        throw;
    }
}

}  // namespace xmo
