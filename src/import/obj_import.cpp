// Wavefront OBJ into scene nodes: tinyobjloader reads the file and its
// material libraries (from memory, through CompanionFiles), this file checks
// every index, splits polygons into fans and hands the triangles to the
// builder by material.
#include <tiny_obj_loader.h>

#include <algorithm>
#include <cmath>
#include <istream>
#include <map>
#include <streambuf>

#include "import/companion_files.h"
#include "import/model_builder.h"
#include "import/model_import.h"
#include "import/model_pictures.h"

namespace xmo {

namespace {

// An input stream over bytes already in memory, so that a large file is
// not copied again into a string.
class MemoryStream : public std::istream {
public:
    explicit MemoryStream(const std::vector<std::uint8_t>& bytes) : std::istream(nullptr), buffer_(bytes) {
        rdbuf(&buffer_);
    }

private:
    struct Buffer : std::streambuf {
        explicit Buffer(const std::vector<std::uint8_t>& bytes) {
            // The stream only reads; streambuf's interface wants char*.
            char* begin = const_cast<char*>(reinterpret_cast<const char*>(bytes.data()));
            setg(begin, begin, begin + bytes.size());
        }
    } buffer_;
};

// mtllib through CompanionFiles: the model file's folder only, and the
// limits of every file a film names.
class CompanionMaterials : public tinyobj::MaterialReader {
public:
    explicit CompanionMaterials(CompanionFiles& files) : files_(files) {}

    bool operator()(const std::string& name, std::vector<tinyobj::material_t>* materials,
                    std::map<std::string, int>* names, std::string* warning, std::string* error) override {
        std::vector<std::uint8_t> bytes;
        if (!files_.read(files_.pathOf(name), bytes)) return false;
        MemoryStream stream(bytes);
        tinyobj::LoadMtl(names, materials, &stream, warning, error);
        return true;
    }

private:
    CompanionFiles& files_;
};

std::string trimmed(const std::string& s) {
    const std::size_t begin = s.find_first_not_of(" \t\r");
    if (begin == std::string::npos) return {};
    return s.substr(begin, s.find_last_not_of(" \t\r") - begin + 1);
}

bool isFinite(const Vec3f& v) { return std::isfinite(v.e[0]) && std::isfinite(v.e[1]) && std::isfinite(v.e[2]); }

// The texture maps a material may name that the player does not draw.
std::vector<const char*> undrawnMaps(const tinyobj::material_t& m) {
    const std::pair<const std::string*, const char*> maps[] = {
        {&m.ambient_texname, "ambient (map_Ka)"},
        {&m.specular_texname, "specular (map_Ks)"},
        {&m.specular_highlight_texname, "shininess (map_Ns)"},
        {&m.bump_texname, "bump"},
        {&m.displacement_texname, "displacement (disp)"},
        {&m.alpha_texname, "alpha (map_d)"},
        {&m.reflection_texname, "reflection (refl)"},
        {&m.roughness_texname, "roughness (map_Pr)"},
        {&m.metallic_texname, "metallic (map_Pm)"},
        {&m.sheen_texname, "sheen (map_Ps)"},
        {&m.emissive_texname, "emissive (map_Ke)"},
        {&m.normal_texname, "normal (norm)"},
    };
    std::vector<const char*> names;
    for (const auto& [file, name] : maps)
        if (!file->empty()) names.push_back(name);
    return names;
}

class ObjImport {
public:
    ObjImport(const ImportRequest& request, ImportServices& services)
        : request_(request),
          services_(services),
          files_(request.fileName),
          builder_(services.textures, services.meshUse, services.castsShadow),
          pictures_(services) {}

    ImportedModel run(const std::vector<std::uint8_t>& bytes) {
        ImportedModel model;
        if (parse(bytes)) {
            readVertexLists();
            if (addShapes()) model = builder_.build(request_.objectName, request_.fileName, services_.diagnostics);
        }
        reportMissingLibraries();
        for (const std::string& note : notes_) report(DiagnosticKind::UnsupportedFeature, note);
        model.companionFiles = files_.named();
        return model;
    }

private:
    void report(DiagnosticKind kind, const std::string& message) {
        services_.diagnostics.report(kind, request_.fileName, 0, message);
    }

    void note(const std::string& feature) {
        if (std::find(notes_.begin(), notes_.end(), feature) == notes_.end()) notes_.push_back(feature);
    }

    bool parse(const std::vector<std::uint8_t>& bytes) {
        MemoryStream stream(bytes);
        CompanionMaterials libraries(files_);
        std::string warning, error;
        bool ok = false;
        try {
            // Polygons are kept whole and split into fans here: the reader's
            // own triangulation takes time that grows with the cube of a
            // polygon's corners.
            ok = tinyobj::LoadObj(&attrib_, &shapes_, &materials_, &warning, &error, &stream, &libraries, false, false);
        } catch (const std::exception& e) {
            error = e.what();
        }
        if (!ok) {
            report(DiagnosticKind::ObjectNotLoaded, "not an OBJ file: " + trimmed(error.substr(0, error.find('\n'))));
            return false;
        }
        return true;
    }

    void reportMissingLibraries() {
        for (const std::string& path : files_.named()) {
            const std::string problem = files_.problemOf(path);
            if (!problem.empty() && path.size() >= 4 && path.compare(path.size() - 4, 4, ".mtl") == 0)
                report(DiagnosticKind::MissingFile,
                       "cannot read the material library \"" + path + "\": " + problem + "; its materials are grey");
        }
    }

    void readVertexLists() {
        const std::vector<float>& v = attrib_.vertices;
        lists_.positions.resize(v.size() / 3);
        for (std::size_t i = 0; i < lists_.positions.size(); ++i)
            lists_.positions[i] = Vec3f{v[i * 3], v[i * 3 + 1], v[i * 3 + 2]} * request_.scale;
        const std::vector<float>& n = attrib_.normals;
        lists_.normals.resize(n.size() / 3);
        normalUsable_.assign(lists_.normals.size(), false);
        for (std::size_t i = 0; i < lists_.normals.size(); ++i) {
            const Vec3f normal{n[i * 3], n[i * 3 + 1], n[i * 3 + 2]};
            const float len = length(normal);
            normalUsable_[i] = std::isfinite(len) && len > 0.0f;
            if (normalUsable_[i]) lists_.normals[i] = normal / len;
        }
        const std::vector<float>& t = attrib_.texcoords;
        lists_.texCoords.resize(t.size() / 2);
        // OBJ counts v up from the picture's bottom row.
        for (std::size_t i = 0; i < lists_.texCoords.size(); ++i) lists_.texCoords[i] = Vec2f{t[i * 2], 1.0f - t[i * 2 + 1]};
        if (!attrib_.colors.empty()) note("vertex colours are not drawn");
    }

    bool addShapes() {
        bool found = request_.objectName.empty();
        for (const tinyobj::shape_t& shape : shapes_) {
            if (!request_.objectName.empty() && trimmed(shape.name) != request_.objectName) continue;
            found = true;
            if (!shape.lines.indices.empty() || !shape.points.indices.empty()) note("lines and points are not drawn");
            addFaces(shape);
        }
        if (!found) {
            report(DiagnosticKind::ObjectNotLoaded, "no object or group named \"" + request_.objectName + "\" in the file");
            return false;
        }
        for (auto& [key, corners] : runs_) builder_.addTriangles(key.first, lists_, corners);
        runs_.clear();
        return true;
    }

    // Whether a corner's indices all point into their lists (a texture
    // coordinate or normal may be missing, -1).
    bool isValid(const tinyobj::index_t& corner) const {
        const auto within = [](int i, std::size_t size, bool optional) {
            return (optional && i == -1) || (i >= 0 && static_cast<std::size_t>(i) < size);
        };
        return within(corner.vertex_index, lists_.positions.size(), false) &&
               isFinite(lists_.positions[static_cast<std::size_t>(corner.vertex_index)]) &&
               within(corner.normal_index, lists_.normals.size(), true) &&
               within(corner.texcoord_index, lists_.texCoords.size(), true);
    }

    void addFaces(const tinyobj::shape_t& shape) {
        const tinyobj::mesh_t& mesh = shape.mesh;
        std::size_t offset = 0;
        std::size_t badFaces = 0;
        for (std::size_t f = 0; f < mesh.num_face_vertices.size(); ++f) {
            const std::size_t count = mesh.num_face_vertices[f];
            if (count > mesh.indices.size() - offset) break;
            const tinyobj::index_t* face = &mesh.indices[offset];
            offset += count;
            if (count < 3) continue;  // the reader drops these before
            if (!std::all_of(face, face + count, [this](const tinyobj::index_t& c) { return isValid(c); })) {
                ++badFaces;
                continue;
            }
            if (!builder_.hasRoomFor(triangleCount_ + count - 2)) {
                note("the model has more than " + std::to_string(kMaxImportedTriangles) +
                     " triangles; the ones beyond are left out");
                break;
            }
            const int material = materialFor(f < mesh.material_ids.size() ? mesh.material_ids[f] : -1);
            const bool textured = std::all_of(face, face + count, [](const tinyobj::index_t& c) { return c.texcoord_index >= 0; });
            TriangleList& corners = runs_[{material, textured}];
            corners.withTexCoords = textured;
            for (std::size_t k = 1; k + 1 < count; ++k)
                for (const tinyobj::index_t* corner : {&face[0], &face[k], &face[k + 1]}) addCorner(corners, *corner, textured);
            triangleCount_ += count - 2;
        }
        // The reader keeps a face's corner count in a byte, so a face of more
        // than 255 corners leaves the counts out of step with the corners.
        if (offset != mesh.indices.size())
            report(DiagnosticKind::UnsupportedFeature,
                   "\"" + trimmed(shape.name) + "\" has a face of more than 255 corners; its faces from there on are left out");
        if (badFaces > 0)
            report(DiagnosticKind::BadIndex, "\"" + trimmed(shape.name) + "\": " + std::to_string(badFaces) +
                                                 (badFaces == 1 ? " face names" : " faces name") +
                                                 " a vertex, normal or texture coordinate that does not exist, or a "
                                                 "position that is not finite; left out");
    }

    void addCorner(TriangleList& corners, const tinyobj::index_t& corner, bool textured) {
        corners.triangles.push_back(static_cast<std::uint32_t>(corner.vertex_index));
        const bool hasNormal = corner.normal_index >= 0 && normalUsable_[static_cast<std::size_t>(corner.normal_index)];
        corners.normalIndex.push_back(hasNormal ? static_cast<std::uint32_t>(corner.normal_index) : kNoIndex);
        if (textured) corners.texCoordIndex.push_back(static_cast<std::uint32_t>(corner.texcoord_index));
    }

    int materialFor(int index) {
        if (index < 0 || static_cast<std::size_t>(index) >= materials_.size()) return -1;
        const auto known = builtMaterials_.find(index);
        if (known != builtMaterials_.end()) return known->second;
        const int built = builder_.addMaterial(describeMaterial(materials_[static_cast<std::size_t>(index)]));
        builtMaterials_[index] = built;
        return built;
    }

    // The rule from MTL to the lit colours: Kd is the diffuse colour, Ks the
    // specular colour, Ke the emissive colour, the exponent Ns (0 to 1000)
    // is scaled to OpenGL's 0 to 128, and d (or 1 - Tr) is the opacity.
    MaterialSpec describeMaterial(const tinyobj::material_t& material) {
        MaterialSpec spec;
        spec.name = material.name;
        const auto colour = [](const float* c) { return Vec3f{c[0], c[1], c[2]}; };
        spec.diffuse = colour(material.diffuse);
        spec.specular = colour(material.specular);
        spec.emissive = colour(material.emission);
        spec.shininess = std::clamp(material.shininess * 128.0f / 1000.0f, 0.0f, 128.0f);
        spec.transparency = std::clamp(1.0f - material.dissolve, 0.0f, 1.0f);
        for (const char* map : undrawnMaps(material)) note(std::string(map) + " maps are not drawn");
        if (!material.diffuse_texname.empty()) addPicture(material, spec);
        return spec;
    }

    void addPicture(const tinyobj::material_t& material, MaterialSpec& spec) {
        const tinyobj::texture_option_t& options = material.diffuse_texopt;
        spec.url = material.diffuse_texname;
        spec.repeatS = spec.repeatT = !options.clamp;
        if (options.origin_offset[0] != 0.0f || options.origin_offset[1] != 0.0f || options.scale[0] != 1.0f ||
            options.scale[1] != 1.0f)
            note("texture offsets and scales (-o, -s) are not applied");
        const ModelPictures::Picture picture =
            pictures_.find(files_, files_.pathOf(spec.url), spec.repeatS, spec.repeatT);
        if (picture.problem)
            report(DiagnosticKind::ImageProblem, "the picture \"" + spec.url + "\" of material \"" + material.name +
                                                     "\": " + *picture.problem +
                                                     "; the surfaces using it are drawn without it");
        spec.pendingTexture = picture.pending;
    }

    const ImportRequest& request_;
    ImportServices& services_;
    CompanionFiles files_;
    ModelBuilder builder_;
    tinyobj::attrib_t attrib_;
    std::vector<tinyobj::shape_t> shapes_;
    std::vector<tinyobj::material_t> materials_;
    VertexLists lists_;
    std::vector<bool> normalUsable_;
    std::map<std::pair<int, bool>, TriangleList> runs_;  // by material and whether textured
    std::size_t triangleCount_ = 0;
    std::map<int, int> builtMaterials_;
    ModelPictures pictures_;
    std::vector<std::string> notes_;
};

}  // namespace

ImportedModel importObj(const std::vector<std::uint8_t>& bytes, const ImportRequest& request,
                        ImportServices& services) {
    return ObjImport(request, services).run(bytes);
}

}  // namespace xmo
