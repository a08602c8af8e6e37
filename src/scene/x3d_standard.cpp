#include "scene/x3d_standard.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <map>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "base/name_table.h"
#include "base/number_scan.h"
#include "import/companion_files.h"
#include "import/model_builder.h"
#include "import/model_pictures.h"
#include "scene/scene_values.h"
#include "scene/shadow_mesh.h"
#include "scene/x3d_geometry.h"
#include "scene/x3d_transform.h"
#include "scene/x3d_tree.h"

namespace xmo {

namespace {

enum class Kind {
    X3D, Scene, Group, Transform, Switch, LOD, Inline, Shape, Appearance, Material, ImageTexture,
    Box, Sphere, Cylinder, Cone, IndexedFaceSet, IndexedTriangleSet, TriangleSet, IndexedTriangleFanSet,
    IndexedTriangleStripSet, TriangleFanSet, TriangleStripSet, IndexedQuadSet, QuadSet,
    Coordinate, Normal, TextureCoordinate, Color, ColorRGBA,
    Unused,      // a node the film has no use for: named once per file
    Prototype,   // the same, and nothing inside it is read
    Other,
};

constexpr NameEntry<Kind> kKindNames[] = {
    {"X3D", Kind::X3D}, {"Scene", Kind::Scene},
    {"Group", Kind::Group}, {"StaticGroup", Kind::Group}, {"Collision", Kind::Group},
    {"Billboard", Kind::Group}, {"Anchor", Kind::Group}, {"CADAssembly", Kind::Group},
    {"CADLayer", Kind::Group}, {"CADFace", Kind::Group},
    {"Transform", Kind::Transform}, {"CADPart", Kind::Transform},
    {"Switch", Kind::Switch}, {"LOD", Kind::LOD}, {"Inline", Kind::Inline},
    {"Shape", Kind::Shape}, {"Appearance", Kind::Appearance}, {"Material", Kind::Material},
    {"ImageTexture", Kind::ImageTexture},
    {"Box", Kind::Box}, {"Sphere", Kind::Sphere}, {"Cylinder", Kind::Cylinder}, {"Cone", Kind::Cone},
    {"IndexedFaceSet", Kind::IndexedFaceSet}, {"IndexedTriangleSet", Kind::IndexedTriangleSet},
    {"TriangleSet", Kind::TriangleSet}, {"IndexedTriangleFanSet", Kind::IndexedTriangleFanSet},
    {"IndexedTriangleStripSet", Kind::IndexedTriangleStripSet}, {"TriangleFanSet", Kind::TriangleFanSet},
    {"TriangleStripSet", Kind::TriangleStripSet}, {"IndexedQuadSet", Kind::IndexedQuadSet},
    {"QuadSet", Kind::QuadSet},
    {"Coordinate", Kind::Coordinate}, {"CoordinateDouble", Kind::Coordinate}, {"Normal", Kind::Normal},
    {"TextureCoordinate", Kind::TextureCoordinate}, {"Color", Kind::Color}, {"ColorRGBA", Kind::ColorRGBA},
    {"Viewpoint", Kind::Unused}, {"OrthoViewpoint", Kind::Unused}, {"NavigationInfo", Kind::Unused},
    {"Background", Kind::Unused}, {"TextureBackground", Kind::Unused}, {"Fog", Kind::Unused},
    {"DirectionalLight", Kind::Unused}, {"PointLight", Kind::Unused}, {"SpotLight", Kind::Unused},
    {"ROUTE", Kind::Unused}, {"Sound", Kind::Unused}, {"AudioClip", Kind::Unused},
    {"BooleanFilter", Kind::Unused}, {"BooleanToggle", Kind::Unused}, {"IMPORT", Kind::Unused},
    {"EXPORT", Kind::Unused},
    {"Script", Kind::Prototype}, {"ProtoDeclare", Kind::Prototype}, {"ExternProtoDeclare", Kind::Prototype},
    {"ProtoInstance", Kind::Prototype},
};
constexpr NameTable kKinds(kKindNames, Kind::Other);

bool endsWith(const std::string& s, const char* suffix) {
    const std::size_t n = std::strlen(suffix);
    return s.size() >= n && s.compare(s.size() - n, n, suffix) == 0;
}

Kind kindOf(const X3dElement& e) {
    const Kind kind = kKinds.find(e.name.c_str());
    if (kind != Kind::Other) return kind;
    // Sensors, interpolators, sequencers and triggers drive animation and
    // interaction, which a film does with its own key frames.
    for (const char* suffix : {"Sensor", "Interpolator", "Sequencer", "Trigger"})
        if (endsWith(e.name, suffix)) return Kind::Unused;
    return Kind::Other;
}

bool isGeometry(Kind k) { return k >= Kind::Box && k <= Kind::QuadSet; }

// Children that only describe their parent, never part of what it draws.
bool isDescription(const X3dElement& e) {
    const std::string* field = e.attribute("containerField");
    return e.name.rfind("Metadata", 0) == 0 || e.name == "IS" || (field && (*field == "metadata" || *field == "proxy"));
}

bool readFlag(const std::string* text, bool fallback) {
    if (!text) return fallback;
    if (*text == "true" || *text == "TRUE") return true;
    if (*text == "false" || *text == "FALSE") return false;
    return fallback;
}

float readNumber(const std::string* text, float fallback) {
    if (!text) return fallback;
    float value = fallback;
    const char* p = text->c_str();
    return scanFloat(p, value) == NumberScan::Ok && std::isfinite(value) ? value : fallback;
}

Vec3f readTriple(const std::string* text, Vec3f fallback) {
    if (!text) return fallback;
    Vec3f value;
    const char* p = text->c_str();
    return scanFloats(p, value.e, 3) ? value : fallback;
}

// An SFRotation: axis and angle in radians.
void readRotation(const std::string* text, Vec3f& axis, float& angle) {
    if (!text) return;
    float r[4];
    const char* p = text->c_str();
    if (!scanFloats(p, r, 4)) return;
    axis = Vec3f{r[0], r[1], r[2]};
    angle = r[3];
}

// An MFString as XML writes it: quoted strings ("a.png" "b.png"), or one
// bare word from writers that leave the quotes out.
std::vector<std::string> readStrings(const std::string* text) {
    std::vector<std::string> out;
    if (!text) return out;
    const std::string& s = *text;
    if (s.find('"') == std::string::npos) {
        const std::size_t b = s.find_first_not_of(' '), e = s.find_last_not_of(' ');
        if (b != std::string::npos) out.push_back(s.substr(b, e - b + 1));
        return out;
    }
    for (std::size_t i = s.find('"'); i != std::string::npos && i < s.size(); i = s.find('"', i + 1)) {
        std::string value;
        for (++i; i < s.size() && s[i] != '"'; ++i) {
            if (s[i] == '\\' && i + 1 < s.size()) ++i;
            value += s[i];
        }
        out.push_back(value);
    }
    return out;
}

// "3 TimeSensor, 2 ROUTE", in the order the names were first met.
struct NameCounts {
    std::vector<std::pair<std::string, std::size_t>> counts;
    void add(const std::string& name) {
        for (auto& c : counts)
            if (c.first == name) {
                ++c.second;
                return;
            }
        counts.emplace_back(name, 1);
    }
    std::string text() const {
        std::string out;
        for (const auto& c : counts) out += (out.empty() ? "" : ", ") + std::to_string(c.second) + " " + c.first;
        return out;
    }
};

// One file named two ways is read once and known inside itself.
std::string canonicalKey(const std::string& path) {
    std::error_code error;
    const std::filesystem::path canonical = std::filesystem::weakly_canonical(path, error);
    return error ? path : canonical.string();
}

// One file of the reading, the main one or an inlined one: its elements,
// what each USE names and its DEF names (each file has its own).
struct FileScope {
    std::string fileName;
    std::filesystem::path folder;
    X3dTree tree;
    const X3dElement* scene = nullptr;
    std::unordered_map<const X3dElement*, const X3dElement*> useTargets;
    std::unordered_map<std::string, const X3dElement*> firstDef;
    std::vector<const X3dElement*> defOrder;  // each name's first DEF, in file order
    CompanionFiles files{std::string()};       // the pictures it names, beside it
};

struct MaterialFields {
    Vec3f diffuse{0.8f, 0.8f, 0.8f}, specular, emissive;
    float ambientIntensity = 0.2f, shininess = 0.2f, transparency = 0.0f;
    std::string url;  // the picture, when the appearance has one
    bool repeatS = true, repeatT = true;
    int pendingTexture = -1;  // its entry in the pending textures; -1: no pixels
};

class StandardReader {
public:
    StandardReader(std::ostream& errors, ImportServices& services)
        : errors_(errors), services_(services), diagnostics_(services.diagnostics), use_(services.meshUse),
          pictures_(services) {}

    ImportedModel read(X3dTree tree, const ImportRequest& request);

private:
    FileScope& addScope(X3dTree tree, const std::string& fileName);
    void index(FileScope& scope, const X3dElement& e, const X3dElement* parent, NameCounts& unused,
               NameCounts& undrawn, std::unordered_map<std::string, const X3dElement*>& defs,
               std::vector<const X3dElement*>& unfollowed);
    const X3dElement* resolve(const FileScope& scope, const X3dElement& e) const;

    void evaluate(FileScope& scope, const X3dElement& e, const Affine3& placement, int depth);
    void evaluateChildren(FileScope& scope, const X3dElement& e, const Affine3& placement, int depth);
    void evaluateInline(FileScope& scope, const X3dElement& e, const Affine3& placement, int depth);
    void evaluateShape(FileScope& scope, const X3dElement* appearance, const X3dElement* geometry,
                       const Affine3& placement);
    MaterialFields readAppearance(FileScope& scope, const X3dElement* appearance);
    bool buildGeometry(FileScope& scope, const X3dElement& geometry, bool textured, CornerMesh& mesh);
    void readGeometryChildren(FileScope& scope, const X3dElement& geometry, FaceSetFields& fields);
    void addShape(CornerMesh& mesh, const Affine3& placement, const MaterialFields& material);
    void addToHull(const IndexedFaceSet& mesh);

    bool withinLimits(const FileScope& scope, const X3dElement& e, int depth);
    void report(DiagnosticKind kind, const std::string& file, int line, std::string message) {
        diagnostics_.report(kind, file, line, std::move(message));
    }

    std::ostream& errors_;
    ImportServices& services_;
    Diagnostics& diagnostics_;
    const MeshUse use_;
    ModelPictures pictures_;
    // Every drawn triangle, for the shadow hull the model casts through.
    std::vector<Vec3f> hullPoints_;
    std::vector<int> hullIndex_;
    NeighbourScratch neighbourScratch_;
    std::vector<std::unique_ptr<FileScope>> scopes_;
    std::map<std::string, FileScope*> scopeByPath_;
    std::vector<const FileScope*> openFiles_;       // the Inline chain being read
    std::vector<const X3dElement*> active_;          // the nodes being read, for USE inside itself
    std::unordered_set<const X3dElement*> reported_;  // elements whose fault was named once
    std::vector<std::string> companionFiles_;
    Group* out_ = nullptr;
    std::size_t corners_ = 0;
    std::size_t visits_ = 0;
    bool full_ = false;
};

// Nesting of the reading, through USE and Inline too, and the number of
// nodes it may visit: beyond them a file is hostile or broken.
constexpr int kMaxReadDepth = kMaxX3dDepth;
constexpr std::size_t kMaxVisits = std::size_t{1} << 20;
constexpr int kMaxInlineDepth = 16;

FileScope& StandardReader::addScope(X3dTree tree, const std::string& fileName) {
    auto scope = std::make_unique<FileScope>();
    scope->fileName = fileName;
    scope->files = CompanionFiles(fileName);
    scope->folder = std::filesystem::path(fileName).parent_path();
    scope->tree = std::move(tree);
    if (scope->tree.syntaxError) errors_ << *scope->tree.syntaxError << "\n";
    if (const X3dElement* root = scope->tree.root.get()) {
        if (root->name == "Scene") scope->scene = root;
        else
            for (const auto& child : root->children)
                if (child->name == "Scene") {
                    scope->scene = child.get();
                    break;
                }
        NameCounts unused, undrawn;
        std::unordered_map<std::string, const X3dElement*> defs;
        std::vector<const X3dElement*> unfollowed;
        index(*scope, *root, nullptr, unused, undrawn, defs, unfollowed);
        if (!unused.counts.empty())
            report(DiagnosticKind::UnusedNodes, fileName, 0, "not used by the film: " + unused.text());
        if (!undrawn.counts.empty())
            report(DiagnosticKind::UndrawnGeometry, fileName, 0,
                   "geometry not drawn by the standard reading: " + undrawn.text());
        if (!unfollowed.empty()) {
            const X3dElement& first = *unfollowed.front();
            report(DiagnosticKind::UnfollowedReference, fileName, first.line,
                   "USE \"" + *first.attribute("USE") + "\" names no node DEF'd before it; not followed" +
                       (unfollowed.size() > 1 ? " (nor " + std::to_string(unfollowed.size() - 1) + " more USE)" : ""));
        }
    }
    scopes_.push_back(std::move(scope));
    return *scopes_.back();
}

void StandardReader::index(FileScope& scope, const X3dElement& e, const X3dElement* parent, NameCounts& unused, NameCounts& undrawn,
                           std::unordered_map<std::string, const X3dElement*>& defs,
                           std::vector<const X3dElement*>& unfollowed) {
    const Kind kind = kindOf(e);
    if (kind == Kind::Unused || kind == Kind::Prototype) unused.add(e.name);
    if (kind == Kind::Prototype) return;  // its body is a template, not a scene
    if (parent && kindOf(*parent) == Kind::Shape && kind != Kind::Appearance && !isGeometry(kind) &&
        !isDescription(e))
        undrawn.add(e.name);
    if (const std::string* use = e.attribute("USE")) {
        const auto found = defs.find(*use);
        if (found != defs.end()) scope.useTargets[&e] = found->second;
        else unfollowed.push_back(&e);
    }
    if (const std::string* def = e.attribute("DEF")) {
        defs[*def] = &e;
        if (scope.firstDef.emplace(*def, &e).second) scope.defOrder.push_back(&e);
    }
    for (const auto& child : e.children) index(scope, *child, &e, unused, undrawn, defs, unfollowed);
}

const X3dElement* StandardReader::resolve(const FileScope& scope, const X3dElement& e) const {
    if (!e.attribute("USE")) return &e;
    const auto found = scope.useTargets.find(&e);
    return found == scope.useTargets.end() ? nullptr : found->second;
}

bool StandardReader::withinLimits(const FileScope& scope, const X3dElement& e, int depth) {
    if (full_) return false;
    if (++visits_ > kMaxVisits || corners_ > kMaxStandardCorners) {
        report(DiagnosticKind::UndrawnGeometry, scope.fileName, e.line,
               "the scene places more than " +
                   (visits_ > kMaxVisits ? std::to_string(kMaxVisits) + " nodes" : std::to_string(kMaxStandardCorners) + " corners") +
                   "; the rest is left out");
        full_ = true;
        return false;
    }
    if (depth > kMaxReadDepth) {
        if (reported_.insert(&e).second)
            report(DiagnosticKind::MisplacedElement, scope.fileName, e.line,
                   "\"" + e.name + "\" nested deeper than " + std::to_string(kMaxReadDepth) + " nodes; left out");
        return false;
    }
    return true;
}

void StandardReader::evaluate(FileScope& scope, const X3dElement& written, const Affine3& placement, int depth) {
    const X3dElement* node = resolve(scope, written);
    if (!node || !withinLimits(scope, written, depth)) return;
    if (std::find(active_.begin(), active_.end(), node) != active_.end()) {
        if (reported_.insert(&written).second)
            report(DiagnosticKind::UnfollowedReference, scope.fileName, written.line,
                   "USE \"" + *written.attribute("USE") + "\" inside the node it names; not followed");
        return;
    }
    active_.push_back(node);
    const Kind kind = kindOf(*node);
    switch (kind) {
    case Kind::Scene:
    case Kind::Group:
        evaluateChildren(scope, *node, placement, depth);
        break;
    case Kind::Transform: {
        X3dTransformFields f;
        f.translation = readTriple(node->attribute("translation"), f.translation);
        readRotation(node->attribute("rotation"), f.rotationAxis, f.rotationAngle);
        f.scale = readTriple(node->attribute("scale"), f.scale);
        readRotation(node->attribute("scaleOrientation"), f.scaleOrientationAxis, f.scaleOrientationAngle);
        f.center = readTriple(node->attribute("center"), f.center);
        evaluateChildren(scope, *node, placement * x3dTransformMatrix(f), depth);
        break;
    }
    case Kind::Switch:
    case Kind::LOD: {
        // Switch draws child number whichChoice (none for -1), LOD its first level.
        int choice = 0;
        if (kind == Kind::Switch) {
            choice = -1;
            if (const std::string* which = node->attribute("whichChoice")) {
                const char* p = which->c_str();
                if (scanInt(p, choice) != NumberScan::Ok) choice = -1;
            }
        }
        for (const auto& child : node->children) {
            if (isDescription(*child)) continue;
            if (choice-- == 0) {
                evaluate(scope, *child, placement, depth + 1);
                break;
            }
        }
        break;
    }
    case Kind::Inline:
        evaluateInline(scope, *node, placement, depth);
        break;
    case Kind::Shape: {
        const X3dElement *appearance = nullptr, *geometry = nullptr;
        for (const auto& child : node->children) {
            if (isDescription(*child)) continue;
            const X3dElement* c = resolve(scope, *child);
            if (!c) continue;
            if (kindOf(*c) == Kind::Appearance) appearance = c;
            else if (!geometry && isGeometry(kindOf(*c))) geometry = c;
        }
        if (geometry) evaluateShape(scope, appearance, geometry, placement);
        break;
    }
    default:
        // A geometry node named by objectname draws as a shape of its own.
        if (isGeometry(kind) && depth == 0) evaluateShape(scope, nullptr, node, placement);
        break;
    }
    active_.pop_back();
}

void StandardReader::evaluateChildren(FileScope& scope, const X3dElement& e, const Affine3& placement, int depth) {
    for (const auto& child : e.children)
        if (!isDescription(*child)) evaluate(scope, *child, placement, depth + 1);
}

void StandardReader::evaluateInline(FileScope& scope, const X3dElement& e, const Affine3& placement, int depth) {
    if (!readFlag(e.attribute("load"), true)) return;
    const std::vector<std::string> urls = readStrings(e.attribute("url"));
    std::string path;
    for (const std::string& url : urls) {
        if (url.find("://") != std::string::npos || url.rfind("urn:", 0) == 0 || url.empty()) continue;
        const std::string candidate = (scope.folder / url.substr(0, url.find('#'))).string();
        std::error_code error;
        if (std::filesystem::is_regular_file(candidate, error)) {
            path = candidate;
            break;
        }
    }
    const auto refuse = [&](const std::string& why) {
        if (reported_.insert(&e).second)
            report(DiagnosticKind::UnfollowedReference, scope.fileName, e.line, "Inline " + why + "; not read");
    };
    if (path.empty()) return refuse("names no local file that exists");
    for (const char* other : {".wrl", ".x3dv", ".x3db", ".gz", ".x3dz", ".wrz"})
        if (endsWith(path, other)) return refuse("of \"" + path + "\", which is not an X3D file in XML");
    FileScope* inlined = nullptr;
    const std::string key = canonicalKey(path);
    if (const auto found = scopeByPath_.find(key); found != scopeByPath_.end()) {
        inlined = found->second;
    } else {
        try {
            inlined = &addScope(readX3dTree(path, diagnostics_), path);
        } catch (const LoadError& error) {
            return refuse("of \"" + path + "\": " + error.what());
        }
        scopeByPath_[key] = inlined;
        companionFiles_.push_back(path);
    }
    if (std::find(openFiles_.begin(), openFiles_.end(), inlined) != openFiles_.end())
        return refuse("of \"" + path + "\" inside itself");
    if (static_cast<int>(openFiles_.size()) > kMaxInlineDepth)
        return refuse("nested deeper than " + std::to_string(kMaxInlineDepth) + " files");
    if (!inlined->scene) return;
    openFiles_.push_back(inlined);
    evaluateChildren(*inlined, *inlined->scene, placement, depth);
    openFiles_.pop_back();
}

MaterialFields StandardReader::readAppearance(FileScope& scope, const X3dElement* appearance) {
    MaterialFields m;
    if (!appearance) return m;
    for (const auto& written : appearance->children) {
        const X3dElement* c = resolve(scope, *written);
        if (!c) continue;
        if (c->name == "Material") {
            m.diffuse = readTriple(c->attribute("diffuseColor"), m.diffuse);
            m.specular = readTriple(c->attribute("specularColor"), m.specular);
            m.emissive = readTriple(c->attribute("emissiveColor"), m.emissive);
            m.ambientIntensity = readNumber(c->attribute("ambientIntensity"), m.ambientIntensity);
            m.shininess = readNumber(c->attribute("shininess"), m.shininess);
            m.transparency = readNumber(c->attribute("transparency"), m.transparency);
        } else if (c->name == "ImageTexture") {
            const std::vector<std::string> urls = readStrings(c->attribute("url"));
            for (const std::string& url : urls)
                if (url.find("://") == std::string::npos && !url.empty()) {
                    m.url = url;
                    break;
                }
            m.repeatS = readFlag(c->attribute("repeatS"), true);
            m.repeatT = readFlag(c->attribute("repeatT"), true);
            if (m.url.empty()) continue;
            const ModelPictures::Picture picture =
                pictures_.find(scope.files, scope.files.pathOf(m.url), m.repeatS, m.repeatT);
            m.pendingTexture = picture.pending;
            if (picture.problem)
                report(DiagnosticKind::ImageProblem, scope.fileName, c->line,
                       "ImageTexture \"" + m.url + "\": " + *picture.problem +
                           "; the surfaces using it are drawn without it");
        }
    }
    return m;
}

void StandardReader::readGeometryChildren(FileScope& scope, const X3dElement& geometry, FaceSetFields& f) {
    std::vector<Vec4f> rgba;
    for (const auto& written : geometry.children) {
        const X3dElement* c = resolve(scope, *written);
        if (!c) continue;
        std::size_t leftOver = 0;
        int tuple = 3;
        const char* key = nullptr;
        switch (kindOf(*c)) {
        case Kind::Coordinate:
            if (const std::string* v = c->attribute(key = "point")) leftOver = readPointList3(v->c_str(), f.points);
            break;
        case Kind::Normal:
            if (const std::string* v = c->attribute(key = "vector")) leftOver = readPointList3(v->c_str(), f.normals);
            break;
        case Kind::TextureCoordinate:
            tuple = 2;
            if (const std::string* v = c->attribute(key = "point")) leftOver = readPointList2(v->c_str(), f.texCoords);
            break;
        case Kind::Color:
            if (const std::string* v = c->attribute(key = "color")) leftOver = readPointList3(v->c_str(), f.colors);
            break;
        case Kind::ColorRGBA:
            tuple = 4;
            if (const std::string* v = c->attribute(key = "color")) {
                leftOver = readPointList4(v->c_str(), rgba);
                f.colors.clear();
                for (const Vec4f& k : rgba) f.colors.push_back(Vec3f{k.e[0], k.e[1], k.e[2]});
            }
            break;
        default:
            break;
        }
        if (leftOver > 0 && reported_.insert(c).second)
            report(DiagnosticKind::UnreadValue, scope.fileName, c->line,
                   "\"" + c->name + "\" " + key + ": numbers are not whole tuples of " + std::to_string(tuple) +
                       "; the last " + std::to_string(leftOver) + " left out");
    }
}

bool StandardReader::buildGeometry(FileScope& scope, const X3dElement& g, bool textured, CornerMesh& mesh) {
    const Kind kind = kindOf(g);
    switch (kind) {
    case Kind::Box:
        mesh = buildBox(readTriple(g.attribute("size"), Vec3f{2, 2, 2}));
        return true;
    case Kind::Sphere:
        mesh = buildSphere(readNumber(g.attribute("radius"), 1.0f));
        return true;
    case Kind::Cylinder:
        mesh = buildCylinder(readNumber(g.attribute("radius"), 1.0f), readNumber(g.attribute("height"), 2.0f),
                             readFlag(g.attribute("side"), true), readFlag(g.attribute("top"), true),
                             readFlag(g.attribute("bottom"), true));
        return true;
    case Kind::Cone:
        mesh = buildCone(readNumber(g.attribute("bottomRadius"), 1.0f), readNumber(g.attribute("height"), 2.0f),
                         readFlag(g.attribute("side"), true), readFlag(g.attribute("bottom"), true));
        return true;
    default:
        break;
    }
    FaceSetFields f;
    readGeometryChildren(scope, g, f);
    const auto indices = [&](const char* key, std::vector<int>& out) {
        if (const std::string* v = g.attribute(key)) readIndexList(v->c_str(), out);
    };
    f.ccw = readFlag(g.attribute("ccw"), true);
    f.colorPerVertex = readFlag(g.attribute("colorPerVertex"), true);
    f.normalPerVertex = readFlag(g.attribute("normalPerVertex"), true);
    std::vector<int> index;
    switch (kind) {
    case Kind::IndexedFaceSet:
        indices("coordIndex", f.coordIndex);
        indices("normalIndex", f.normalIndex);
        indices("texCoordIndex", f.texCoordIndex);
        indices("colorIndex", f.colorIndex);
        f.convex = readFlag(g.attribute("convex"), true);
        f.creaseAngle = readNumber(g.attribute("creaseAngle"), 0.0f);
        break;
    case Kind::IndexedTriangleSet:
    case Kind::IndexedQuadSet:
    case Kind::IndexedTriangleFanSet:
    case Kind::IndexedTriangleStripSet: {
        indices("index", index);
        const TriangleLayout layout = kind == Kind::IndexedTriangleSet ? TriangleLayout::Triangles
                                      : kind == Kind::IndexedQuadSet   ? TriangleLayout::Quads
                                      : kind == Kind::IndexedTriangleFanSet ? TriangleLayout::Fans
                                                                            : TriangleLayout::Strips;
        triangleSetIndex(layout, index, f.coordIndex);
        break;
    }
    default: {
        const char* countsKey = kind == Kind::TriangleFanSet ? "fanCount" : "stripCount";
        indices(countsKey, index);
        const TriangleLayout layout = kind == Kind::TriangleSet   ? TriangleLayout::Triangles
                                      : kind == Kind::QuadSet      ? TriangleLayout::Quads
                                      : kind == Kind::TriangleFanSet ? TriangleLayout::Fans
                                                                     : TriangleLayout::Strips;
        triangleSetCounts(layout, index, f.points.size(), f.coordIndex);
        break;
    }
    }
    // The triangle sets smooth the corners they share unless told otherwise.
    if (kind != Kind::IndexedFaceSet && f.normalPerVertex) f.creaseAngle = 3.2f;
    FaceSetFaults faults;
    mesh = buildFaceSet(f, textured, faults);
    if (faults.badPolygons > 0 && reported_.insert(&g).second)
        report(DiagnosticKind::BadIndex, scope.fileName, g.line,
               "\"" + g.name + "\": " + std::to_string(faults.badPolygons) +
                   (faults.badPolygons == 1 ? " polygon names" : " polygons name") +
                   " a point, normal, colour or texture coordinate outside its list, or has fewer than three "
                   "corners; left out");
    return true;
}

void StandardReader::evaluateShape(FileScope& scope, const X3dElement* appearance, const X3dElement* geometry,
                                   const Affine3& placement) {
    const MaterialFields material = readAppearance(scope, appearance);
    CornerMesh mesh;
    if (!buildGeometry(scope, *geometry, !material.url.empty(), mesh) || mesh.coordIndex.empty()) return;
    if (corners_ + mesh.coordIndex.size() > kMaxStandardCorners) {
        corners_ = kMaxStandardCorners + 1;
        withinLimits(scope, *geometry, 0);
        return;
    }
    corners_ += mesh.coordIndex.size();
    addShape(mesh, placement, material);
}

void StandardReader::addShape(CornerMesh& m, const Affine3& placement, const MaterialFields& fields) {
    // A mirroring placement turns every polygon inside out: its corners are
    // put back in counter-clockwise order.
    const bool mirrored = placement.determinant() < 0.0;
    auto mesh = std::make_unique<IndexedFaceSet>();
    mesh->coord = std::make_unique<Coordinate>();
    mesh->coord->point.reserve(m.points.size());
    for (const Vec3f& p : m.points) mesh->coord->point.push_back(placement.applyToPoint(p));
    mesh->normal = std::make_unique<Normal>();
    if (!m.texCoords.empty()) mesh->texCoord = std::make_unique<TextureCoordinate>();
    if (!m.colors.empty()) mesh->color = std::make_unique<Color>();
    const std::size_t n = m.coordIndex.size();
    mesh->coordIndex.reserve(n);
    mesh->normalIndex.reserve(n);
    std::size_t start = 0;
    for (std::size_t r = 0; r < n; ++r) {
        if (m.coordIndex[r] != -1) continue;
        for (std::size_t k = start; k < r; ++k) {
            const std::size_t c = mirrored ? r - 1 - (k - start) : k;
            const int next = static_cast<int>(mesh->normal->vector.size());
            mesh->coordIndex.push_back(m.coordIndex[c]);
            mesh->normal->vector.push_back(placement.applyToNormal(m.normals[c]));
            mesh->normalIndex.push_back(next);
            if (mesh->texCoord) {
                // The player's pictures have their top row at t = 0, X3D's at t = 1.
                mesh->texCoord->point.push_back(Vec2f{m.texCoords[c].e[0], 1.0f - m.texCoords[c].e[1]});
                mesh->texCoordIndex.push_back(next);
            }
            if (mesh->color) {
                mesh->color->color.push_back(m.colors[c]);
                mesh->colorIndex.push_back(next);
            }
        }
        mesh->coordIndex.push_back(-1);
        mesh->normalIndex.push_back(-1);
        if (mesh->texCoord) mesh->texCoordIndex.push_back(-1);
        if (mesh->color) mesh->colorIndex.push_back(-1);
        start = r + 1;
    }
    // The model casts through its welded hull instead.
    mesh->castshadow = false;
    mesh->finish(use_, &neighbourScratch_);
    if (services_.castsShadow) addToHull(*mesh);

    auto shape = std::make_unique<Shape>();
    shape->appearance = std::make_unique<Appearance>();
    auto material = std::make_unique<Material>();
    material->diffuseColor = fields.diffuse;
    material->specularColor = fields.specular;
    material->emissiveColor = fields.emissive;
    material->ambientIntensity = fields.ambientIntensity;
    // X3D's shininess runs from 0 to 1 over OpenGL's exponents 0 to 128.
    material->shininess = std::min(std::max(fields.shininess, 0.0f), 1.0f) * 128.0f;
    material->transparency = fields.transparency;
    shape->appearance->material = std::move(material);
    if (!fields.url.empty()) {
        auto texture = std::make_unique<ImageTexture>();
        texture->url = fields.url;
        texture->repeatS = fields.repeatS;
        texture->repeatT = fields.repeatT;
        if (fields.pendingTexture >= 0)
            services_.textures.pending[static_cast<std::size_t>(fields.pendingTexture)].users.push_back(texture.get());
        shape->appearance->texture = std::move(texture);
    }
    shape->geometry = std::move(mesh);
    out_->addChild(std::move(shape));
}

void StandardReader::addToHull(const IndexedFaceSet& mesh) {
    const int base = static_cast<int>(hullPoints_.size());
    hullPoints_.insert(hullPoints_.end(), mesh.coord->point.begin(), mesh.coord->point.end());
    // Each polygon as a fan of triangles, whose inner edges meet in pairs.
    const std::vector<int>& corners = mesh.coordIndex;
    std::size_t start = 0;
    for (std::size_t r = 0; r < corners.size(); ++r) {
        if (corners[r] != -1) continue;
        for (std::size_t k = start + 1; k + 1 < r; ++k)
            hullIndex_.insert(hullIndex_.end(), {base + corners[start], base + corners[k], base + corners[k + 1], -1});
        start = r + 1;
    }
}

ImportedModel StandardReader::read(X3dTree tree, const ImportRequest& request) {
    const std::string& fileName = request.fileName;
    const std::string& objectName = request.objectName;
    ImportedModel result;
    FileScope& scope = addScope(std::move(tree), fileName);
    scopeByPath_[canonicalKey(fileName)] = &scope;
    openFiles_.push_back(&scope);
    if (!scope.scene) {
        result.whyNoRoot = "the file holds no \"Scene\"";
        return result;
    }
    result.scene = std::make_unique<Scene>();
    if (const std::string* def = scope.scene->attribute("DEF")) result.scene->DEF = *def;
    const X3dElement* target = scope.scene;
    if (!objectName.empty()) {
        const auto found = scope.firstDef.find(objectName);
        if (found == scope.firstDef.end()) {
            std::string names;
            std::size_t listed = 0;
            for (const X3dElement* e : scope.defOrder) {
                if (++listed > 12) {
                    names += ", ...";
                    break;
                }
                names += (names.empty() ? "" : ", ") + *e->attribute("DEF") + " (" + e->name + ")";
            }
            result.whyNoRoot = "no node named \"" + objectName + "\" in the scene; " +
                               (names.empty() ? "the file names no node with DEF: leave objectname out for the "
                                                "whole scene"
                                              : "its DEF names are " + names);
            return result;
        }
        target = found->second;
        auto group = std::make_unique<Group>();
        group->DEF = objectName;
        group->parent = result.scene.get();
        result.root = group.get();
        result.scene->addChild(std::move(group));
    } else {
        result.root = result.scene.get();
    }
    out_ = result.root;
    evaluate(scope, *target, Affine3::scaling(Vec3f{request.scale, request.scale, request.scale}), 0);
    if (!hullIndex_.empty()) {
        out_->addChild(buildShadowHull(hullPoints_, hullIndex_, fileName, objectName, diagnostics_));
        hullPoints_ = {};
        hullIndex_ = {};
    }
    result.companionFiles = std::move(companionFiles_);
    for (const auto& inlined : scopes_)
        for (const std::string& picture : inlined->files.named())
            if (std::find(result.companionFiles.begin(), result.companionFiles.end(), picture) ==
                result.companionFiles.end())
                result.companionFiles.push_back(picture);
    return result;
}

}  // namespace

ImportedModel readStandardX3dText(std::string_view text, const ImportRequest& request, ImportServices& services,
                                  std::ostream& errors) {
    X3dTree tree = readX3dText(text, request.fileName, services.diagnostics);
    return StandardReader(errors, services).read(std::move(tree), request);
}

ImportedModel readStandardX3dFile(const ImportRequest& request, ImportServices& services, std::ostream& errors) {
    X3dTree tree = readX3dTree(request.fileName, services.diagnostics);
    return StandardReader(errors, services).read(std::move(tree), request);
}

}  // namespace xmo
