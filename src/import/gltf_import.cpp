// glTF 2.0 into scene nodes: tinygltf parses the JSON (and the binary
// container, once checked here), this file walks the node tree, reads the
// accessors through gltf_accessors.h and hands triangles to the builder.
#include "import/tinygltf_config.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <map>
#include <tuple>

#include "import/companion_files.h"
#include "import/gltf_accessors.h"
#include "import/model_builder.h"
#include "import/model_import.h"

namespace xmo {

namespace {

// An affine transform, rows of a 3 x 4 matrix, in double precision so that
// deep node trees do not drift.
struct Affine {
    double m[3][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}};

    static Affine scaling(double s) {
        Affine a;
        for (int i = 0; i < 3; ++i) a.m[i][i] = s;
        return a;
    }

    // This after b: b applies first.
    Affine operator*(const Affine& b) const {
        Affine r;
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 4; ++j) {
                double v = j == 3 ? m[i][3] : 0.0;
                for (int k = 0; k < 3; ++k) v += m[i][k] * b.m[k][j];
                r.m[i][j] = v;
            }
        return r;
    }

    Vec3f point(const Vec3f& p) const {
        Vec3f r;
        for (int i = 0; i < 3; ++i)
            r.e[i] = static_cast<float>(m[i][0] * p.e[0] + m[i][1] * p.e[1] + m[i][2] * p.e[2] + m[i][3]);
        return r;
    }

    double determinant() const {
        return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) - m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
               m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
    }

    // A normal turned with the surface: the inverse transpose of the linear
    // part is its cofactor matrix over the determinant, whose sign alone
    // matters once the result is normalised.
    Vec3f normal(const Vec3f& n, double sign) const {
        const auto cof = [this](int r, int c) {
            const int r1 = (r + 1) % 3, r2 = (r + 2) % 3, c1 = (c + 1) % 3, c2 = (c + 2) % 3;
            return m[r1][c1] * m[r2][c2] - m[r1][c2] * m[r2][c1];
        };
        Vec3f r;
        for (int i = 0; i < 3; ++i)
            r.e[i] = static_cast<float>(sign * (cof(i, 0) * n.e[0] + cof(i, 1) * n.e[1] + cof(i, 2) * n.e[2]));
        const float len = length(r);
        return len > 0.0f ? r / len : Vec3f{};
    }

    bool isFinite() const {
        for (const auto& row : m)
            for (double v : row)
                if (!std::isfinite(v)) return false;
        return true;
    }
};

// The node's own transform: its matrix (column by column) when it has one,
// else translation x rotation x scale.
Affine localTransform(const tinygltf::Node& node) {
    Affine a;
    if (node.matrix.size() == 16) {
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 4; ++c) a.m[r][c] = node.matrix[static_cast<std::size_t>(c * 4 + r)];
        return a;
    }
    double q[4] = {0, 0, 0, 1};
    if (node.rotation.size() == 4) {
        const double len = std::sqrt(node.rotation[0] * node.rotation[0] + node.rotation[1] * node.rotation[1] +
                                     node.rotation[2] * node.rotation[2] + node.rotation[3] * node.rotation[3]);
        if (len > 0)
            for (int i = 0; i < 4; ++i) q[i] = node.rotation[static_cast<std::size_t>(i)] / len;
    }
    const double x = q[0], y = q[1], z = q[2], w = q[3];
    const double rotation[3][3] = {{1 - 2 * (y * y + z * z), 2 * (x * y - z * w), 2 * (x * z + y * w)},
                                   {2 * (x * y + z * w), 1 - 2 * (x * x + z * z), 2 * (y * z - x * w)},
                                   {2 * (x * z - y * w), 2 * (y * z + x * w), 1 - 2 * (x * x + y * y)}};
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c)
            a.m[r][c] = rotation[r][c] * (node.scale.size() == 3 ? node.scale[static_cast<std::size_t>(c)] : 1.0);
        a.m[r][3] = node.translation.size() == 3 ? node.translation[static_cast<std::size_t>(r)] : 0.0;
    }
    return a;
}

float clamp01(double v) { return static_cast<float>(v < 0.0 ? 0.0 : v > 1.0 ? 1.0 : v); }

std::uint32_t littleEndian32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
}

// Why a binary glTF's container does not hold together, or nothing. The
// reader trusts the chunk lengths further than it should (its binary chunk
// may run past the end of the data), so they are all checked first; *length
// is the container's own length.
std::optional<std::string> findBrokenContainer(const std::vector<std::uint8_t>& bytes, std::size_t* length) {
    if (bytes.size() < 20) return std::string("the binary glTF header is cut short");
    const std::uint32_t version = littleEndian32(&bytes[4]);
    if (version != 2) return "binary glTF version " + std::to_string(version) + ", not 2";
    const std::uint64_t total = littleEndian32(&bytes[8]);
    if (total > bytes.size()) return "the file is shorter than the " + std::to_string(total) + " bytes its header gives";
    const std::uint64_t jsonEnd = 20 + std::uint64_t{littleEndian32(&bytes[12])};
    if (littleEndian32(&bytes[16]) != 0x4E4F534A || jsonEnd > total)
        return std::string("the first chunk is not JSON inside the file");
    if (jsonEnd < total) {
        if (total - jsonEnd < 8) return std::string("the binary chunk header is cut short");
        const std::uint64_t binEnd = jsonEnd + 8 + std::uint64_t{littleEndian32(&bytes[jsonEnd])};
        if (binEnd > total) return std::string("the binary chunk runs past the end of the file");
    }
    *length = static_cast<std::size_t>(total);
    return std::nullopt;
}

// A URI's file name with its %XX escapes decoded, as the reader decodes it
// before it opens the file.
std::string decodedUri(const std::string& uri) {
    std::string name;
    for (std::size_t i = 0; i < uri.size(); ++i) {
        if (uri[i] == '%' && i + 2 < uri.size() && std::isxdigit(static_cast<unsigned char>(uri[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(uri[i + 2]))) {
            name += static_cast<char>(std::stoi(uri.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            name += uri[i];
        }
    }
    return name;
}

bool startsWithGlbMagic(const std::vector<std::uint8_t>& bytes) {
    return bytes.size() >= 4 && std::memcmp(bytes.data(), "glTF", 4) == 0;
}

// tinygltf's file access, through CompanionFiles.
bool fileExists(const std::string& path, void* files) {
    auto& companions = *static_cast<CompanionFiles*>(files);
    // tinygltf also tries the working folder; a model's files lie beside it.
    return companions.isInFolder(path) && companions.exists(path);
}

std::string expandFilePath(const std::string& path, void*) { return path; }

bool readWholeFile(std::vector<unsigned char>* out, std::string* err, const std::string& path, void* files) {
    auto& companions = *static_cast<CompanionFiles*>(files);
    if (companions.read(path, *out)) return true;
    if (err) *err = companions.problemOf(path);
    return false;
}

bool writeWholeFile(std::string*, const std::string&, const std::vector<unsigned char>&, void*) { return false; }

// Pictures are not decoded by tinygltf: their bytes are kept for the
// player's own image front end. A picture in a buffer view is read later,
// once the view is checked (the pointer tinygltf passes for it is not).
bool keepImageBytes(tinygltf::Image* image, const int, std::string*, std::string*, int, int,
                    const unsigned char* bytes, int size, void*) {
    if (image->bufferView < 0 && size > 0) image->image.assign(bytes, bytes + size);
    return true;
}

std::string extensionNote(const std::string& name) {
    if (name == "KHR_lights_punctual") return "lights (KHR_lights_punctual) are not used";
    if (name == "KHR_texture_transform") return "texture transforms (KHR_texture_transform) are not applied";
    if (name == "KHR_materials_unlit") return "unlit materials (KHR_materials_unlit) are lit like any other";
    if (name == "KHR_draco_mesh_compression" || name == "EXT_meshopt_compression")
        return "compressed meshes (" + name + ") are read from their uncompressed copies";
    return "the extension " + name + " is not supported; the model is drawn without it";
}

std::string plural(std::size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

class GltfImport {
public:
    GltfImport(const ImportRequest& request, ImportServices& services)
        : request_(request), services_(services), files_(request.fileName), builder_(services.textures, services.meshUse, services.castsShadow) {}

    ImportedModel run(const std::vector<std::uint8_t>& bytes) {
        ImportedModel model;
        if (parse(bytes) && checkRequiredExtensions()) {
            noteFileFeatures();
            if (walkNodes()) model = builder_.build(request_.objectName, request_.fileName, services_.diagnostics);
        }
        for (const std::string& note : notes_) report(DiagnosticKind::UnsupportedFeature, note);
        model.companionFiles = files_.named();
        return model;
    }

private:
    void report(DiagnosticKind kind, const std::string& message) {
        services_.diagnostics.report(kind, request_.fileName, 0, message);
    }

    void notLoaded(const std::string& why) { report(DiagnosticKind::ObjectNotLoaded, why); }

    // Each feature the player leaves out is named once, after the rest.
    void note(const std::string& feature) {
        if (std::find(notes_.begin(), notes_.end(), feature) == notes_.end()) notes_.push_back(feature);
    }

    bool parse(const std::vector<std::uint8_t>& bytes) {
        tinygltf::TinyGLTF reader;
        reader.SetFsCallbacks({&fileExists, &expandFilePath, &readWholeFile, &writeWholeFile, &files_});
        reader.SetImageLoader(&keepImageBytes, nullptr);
        std::string error, warning;
        bool ok = false;
        try {
            if (startsWithGlbMagic(bytes)) {
                std::size_t length = 0;
                if (const std::optional<std::string> broken = findBrokenContainer(bytes, &length)) {
                    notLoaded("not a binary glTF file: " + *broken);
                    return false;
                }
                ok = reader.LoadBinaryFromMemory(&model_, &error, &warning, bytes.data(),
                                                 static_cast<unsigned int>(length), files_.folder());
            } else {
                ok = reader.LoadASCIIFromString(&model_, &error, &warning, reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<unsigned int>(bytes.size()), files_.folder());
            }
        } catch (const std::exception& e) {
            error = e.what();
        }
        if (ok) return true;
        const std::string missing = files_.firstMissing();
        if (!missing.empty())
            notLoaded("cannot read \"" + missing + "\": " + files_.problemOf(missing) + "; the object is not loaded");
        else
            notLoaded("not a glTF 2.0 file: " + error.substr(0, error.find('\n')));
        return false;
    }

    bool checkRequiredExtensions() {
        if (model_.extensionsRequired.empty()) return true;
        std::string names;
        for (const std::string& name : model_.extensionsRequired) names += (names.empty() ? "" : ", ") + name;
        notLoaded("needs the glTF extension" + std::string(model_.extensionsRequired.size() == 1 ? " " : "s ") + names +
                  ", which the player cannot read; the object is not loaded");
        return false;
    }

    void noteFileFeatures() {
        for (const std::string& name : model_.extensionsUsed) note(extensionNote(name));
        if (!model_.animations.empty())
            note(plural(model_.animations.size(), "animation is", "animations are") + " not played");
        if (!model_.cameras.empty()) note(plural(model_.cameras.size(), "camera is", "cameras are") + " not used");
        if (!model_.skins.empty()) note("skins are not supported: skinned meshes are drawn in their rest pose");
    }

    int findNode(const std::string& name) const {
        for (std::size_t i = 0; i < model_.nodes.size(); ++i)
            if (model_.nodes[i].name == name) return static_cast<int>(i);
        return -1;
    }

    // The nodes that start the walk: the named node, or the default scene's
    // roots (the first scene's when none is the default; every node that is
    // nobody's child when the file has no scene).
    std::vector<int> findRoots() const {
        if (!request_.objectName.empty()) return {findNode(request_.objectName)};
        std::size_t scene = model_.defaultScene >= 0 ? static_cast<std::size_t>(model_.defaultScene) : 0;
        if (scene < model_.scenes.size()) return model_.scenes[scene].nodes;
        std::vector<bool> isChild(model_.nodes.size());
        for (const tinygltf::Node& node : model_.nodes)
            for (int child : node.children)
                if (child >= 0 && static_cast<std::size_t>(child) < isChild.size()) isChild[static_cast<std::size_t>(child)] = true;
        std::vector<int> roots;
        for (std::size_t i = 0; i < isChild.size(); ++i)
            if (!isChild[i]) roots.push_back(static_cast<int>(i));
        return roots;
    }

    bool walkNodes() {
        const std::vector<int> roots = findRoots();
        if (!request_.objectName.empty() && roots.front() < 0) {
            notLoaded("no node named \"" + request_.objectName + "\" in the file");
            return false;
        }
        // The object's scale goes first; a named node's own transform is
        // left out, so that node's origin is the object's origin.
        const Affine scale = Affine::scaling(request_.scale);
        const bool named = !request_.objectName.empty();
        struct Step {
            int node;
            Affine parent;
            bool own;  // apply the node's own transform
        };
        std::vector<Step> stack;
        for (auto it = roots.rbegin(); it != roots.rend(); ++it) stack.push_back({*it, scale, !named});
        std::vector<bool> visited(model_.nodes.size());
        while (!stack.empty()) {
            const Step step = stack.back();
            stack.pop_back();
            if (step.node < 0 || static_cast<std::size_t>(step.node) >= model_.nodes.size()) {
                report(DiagnosticKind::BadIndex, "node " + std::to_string(step.node) + " does not exist; it is skipped");
                continue;
            }
            const auto index = static_cast<std::size_t>(step.node);
            if (visited[index]) {
                report(DiagnosticKind::BadIndex, "node " + std::to_string(step.node) +
                                                     " is reached twice (a node has one parent); it is drawn once");
                continue;
            }
            visited[index] = true;
            const tinygltf::Node& node = model_.nodes[index];
            const Affine world = step.own ? step.parent * localTransform(node) : step.parent;
            if (!world.isFinite()) {
                report(DiagnosticKind::BadIndex,
                       "node " + std::to_string(step.node) + " has a transform that is not finite; it is skipped");
                continue;
            }
            if (node.mesh >= 0) addMesh(node.mesh, world);
            for (auto it = node.children.rbegin(); it != node.children.rend(); ++it) stack.push_back({*it, world, true});
        }
        return true;
    }

    void addMesh(int index, const Affine& world) {
        if (static_cast<std::size_t>(index) >= model_.meshes.size()) {
            report(DiagnosticKind::BadIndex, "mesh " + std::to_string(index) + " does not exist; it is skipped");
            return;
        }
        const tinygltf::Mesh& mesh = model_.meshes[static_cast<std::size_t>(index)];
        for (std::size_t p = 0; p < mesh.primitives.size(); ++p) {
            const std::string name = "mesh " + std::to_string(index) + " primitive " + std::to_string(p);
            if (const std::optional<std::string> problem = addPrimitive(mesh.primitives[p], world))
                report(DiagnosticKind::BadIndex, name + ": " + *problem + "; it is left out");
        }
    }

    // Triangle corners from the primitive's indices (or its vertices in
    // order) by its mode; nothing for points and lines.
    std::optional<std::string> findTriangles(const tinygltf::Primitive& primitive, std::size_t vertices,
                                             std::vector<std::uint32_t>& triangles) {
        std::vector<std::uint32_t> order;
        if (primitive.indices >= 0) {
            if (std::optional<std::string> problem = readIndexAccessor(model_, primitive.indices, order)) return problem;
            for (std::uint32_t i : order)
                if (i >= vertices)
                    return "index " + std::to_string(i) + " lies outside its " + std::to_string(vertices) + " vertices";
        } else {
            order.resize(vertices);
            for (std::size_t i = 0; i < vertices; ++i) order[i] = static_cast<std::uint32_t>(i);
        }
        triangles.clear();
        const auto add = [&](std::uint32_t a, std::uint32_t b, std::uint32_t c) {
            triangles.insert(triangles.end(), {a, b, c});
        };
        switch (primitive.mode) {
        case TINYGLTF_MODE_TRIANGLES:
            triangles.assign(order.begin(), order.end() - static_cast<std::ptrdiff_t>(order.size() % 3));
            break;
        case TINYGLTF_MODE_TRIANGLE_STRIP:
            for (std::size_t i = 2; i < order.size(); ++i)
                if (i % 2 == 0) add(order[i - 2], order[i - 1], order[i]);
                else add(order[i - 1], order[i - 2], order[i]);
            break;
        case TINYGLTF_MODE_TRIANGLE_FAN:
            for (std::size_t i = 2; i < order.size(); ++i) add(order[0], order[i - 1], order[i]);
            break;
        default:
            note("points and lines are not drawn");
            break;
        }
        return std::nullopt;
    }

    std::optional<std::string> addPrimitive(const tinygltf::Primitive& primitive, const Affine& world) {
        if (!primitive.targets.empty()) note("morph targets are not supported: meshes are drawn in their base shape");
        if (primitive.attributes.count("COLOR_0")) note("vertex colours are not drawn");
        const auto position = primitive.attributes.find("POSITION");
        if (position == primitive.attributes.end()) return std::string("it has no POSITION");

        VertexLists lists;
        TriangleList corners;
        if (std::optional<std::string> problem = readVec3Accessor(model_, position->second, lists.positions))
            return problem;
        for (const Vec3f& p : lists.positions)
            if (!std::isfinite(p.e[0]) || !std::isfinite(p.e[1]) || !std::isfinite(p.e[2]))
                return std::string("a position is not a finite number");
        if (std::optional<std::string> problem = findTriangles(primitive, lists.positions.size(), corners.triangles))
            return problem;
        if (corners.triangles.empty()) return std::nullopt;
        if (!builder_.hasRoomFor(corners.triangles.size() / 3)) {
            note("the model has more than " + std::to_string(kMaxImportedTriangles) +
                 " triangles; the ones beyond are left out");
            return std::nullopt;
        }

        const auto normal = primitive.attributes.find("NORMAL");
        if (normal != primitive.attributes.end()) {
            std::optional<std::string> problem = readVec3Accessor(model_, normal->second, lists.normals);
            if (!problem && lists.normals.size() != lists.positions.size()) problem = "its count differs from POSITION's";
            if (problem) {
                report(DiagnosticKind::BadIndex, "NORMAL: " + *problem + "; flat normals are used");
                lists.normals.clear();
            }
        }
        const int material = materialFor(primitive.material);
        const int texCoordSet = texCoordSetOf(primitive.material);
        const auto texCoords = primitive.attributes.find("TEXCOORD_" + std::to_string(texCoordSet));
        if (texCoordSet >= 0 && texCoords != primitive.attributes.end()) {
            std::optional<std::string> problem = readVec2Accessor(model_, texCoords->second, lists.texCoords);
            if (!problem && lists.texCoords.size() != lists.positions.size())
                problem = "its count differs from POSITION's";
            if (problem) {
                report(DiagnosticKind::BadIndex, texCoords->first + ": " + *problem + "; the picture is not drawn");
                lists.texCoords.clear();
            }
        }
        corners.withTexCoords = !lists.texCoords.empty();

        for (Vec3f& p : lists.positions) p = world.point(p);
        const double det = world.determinant();
        const double sign = det < 0 ? -1.0 : 1.0;
        // Checking reads the normals only to check them.
        if (services_.meshUse == MeshUse::Drawing)
            for (Vec3f& n : lists.normals) n = world.normal(n, sign);
        // A mirroring transform turns the faces inside out unless their
        // corners are turned round too.
        if (det < 0)
            for (std::size_t t = 0; t + 2 < corners.triangles.size(); t += 3)
                std::swap(corners.triangles[t + 1], corners.triangles[t + 2]);
        builder_.addTriangles(material, lists, corners);
        return std::nullopt;
    }

    const tinygltf::Material* findMaterial(int index) const {
        if (index < 0 || static_cast<std::size_t>(index) >= model_.materials.size()) return nullptr;
        return &model_.materials[static_cast<std::size_t>(index)];
    }

    // The TEXCOORD set of the material's picture, or -1 without one.
    int texCoordSetOf(int material) const {
        const tinygltf::Material* m = findMaterial(material);
        if (!m || m->pbrMetallicRoughness.baseColorTexture.index < 0) return -1;
        return m->pbrMetallicRoughness.baseColorTexture.texCoord;
    }

    int materialFor(int index) {
        const auto known = materials_.find(index);
        if (known != materials_.end()) return known->second;
        const tinygltf::Material* material = findMaterial(index);
        if (!material && index >= 0)
            report(DiagnosticKind::BadIndex,
                   "material " + std::to_string(index) + " does not exist; glTF's default material is used");
        const int built = builder_.addMaterial(material ? describeMaterial(*material) : describeDefaultMaterial());
        materials_[index] = built;
        return built;
    }

    // glTF's default material: white, fully metallic and rough.
    static MaterialSpec describeDefaultMaterial() {
        tinygltf::Material material;
        material.pbrMetallicRoughness.baseColorFactor = {1, 1, 1, 1};
        material.pbrMetallicRoughness.metallicFactor = 1;
        material.pbrMetallicRoughness.roughnessFactor = 1;
        material.emissiveFactor = {0, 0, 0};
        return describeColours(material);
    }

    // The rule from metallic-roughness to the lit colours: the base colour
    // is the diffuse colour; the highlight is as sharp as the surface is
    // smooth (shininess 128 (1 - roughness)^2) and tinted from a dielectric's
    // faint grey (0.04) towards the base colour as the surface is metallic,
    // then dimmed by the roughness: (1 - roughness) x mix(0.04, base,
    // metallic). A rough surface shows no highlight at all.
    static MaterialSpec describeColours(const tinygltf::Material& material) {
        const tinygltf::PbrMetallicRoughness& pbr = material.pbrMetallicRoughness;
        MaterialSpec spec;
        spec.name = material.name;
        const std::vector<double>& base = pbr.baseColorFactor;
        const float metallic = clamp01(pbr.metallicFactor);
        const float smooth = 1.0f - clamp01(pbr.roughnessFactor);
        for (int c = 0; c < 3; ++c) {
            const float colour = base.size() == 4 ? clamp01(base[static_cast<std::size_t>(c)]) : 1.0f;
            spec.diffuse.e[c] = colour;
            spec.specular.e[c] = smooth * (0.04f * (1.0f - metallic) + colour * metallic);
            spec.emissive.e[c] =
                material.emissiveFactor.size() == 3 ? clamp01(material.emissiveFactor[static_cast<std::size_t>(c)]) : 0.0f;
        }
        spec.shininess = 128.0f * smooth * smooth;
        spec.transparency = base.size() == 4 ? 1.0f - clamp01(base[3]) : 0.0f;
        return spec;
    }

    MaterialSpec describeMaterial(const tinygltf::Material& material) {
        MaterialSpec spec = describeColours(material);
        std::vector<std::string> maps;
        if (material.normalTexture.index >= 0) maps.push_back("normal");
        if (material.occlusionTexture.index >= 0) maps.push_back("occlusion");
        if (material.emissiveTexture.index >= 0) maps.push_back("emissive");
        if (material.pbrMetallicRoughness.metallicRoughnessTexture.index >= 0) maps.push_back("metallic-roughness");
        for (const std::string& map : maps) note(map + " maps are not drawn");
        if (material.alphaMode == "BLEND" || material.alphaMode == "MASK")
            note("alphaMode " + material.alphaMode + " is not drawn: every surface is opaque");
        const int texture = material.pbrMetallicRoughness.baseColorTexture.index;
        if (texture >= 0) addPicture(texture, spec);
        return spec;
    }

    void addPicture(int textureIndex, MaterialSpec& spec) {
        if (static_cast<std::size_t>(textureIndex) >= model_.textures.size()) {
            report(DiagnosticKind::BadIndex,
                   "texture " + std::to_string(textureIndex) + " does not exist; the material has no picture");
            return;
        }
        const tinygltf::Texture& texture = model_.textures[static_cast<std::size_t>(textureIndex)];
        if (texture.source < 0 || static_cast<std::size_t>(texture.source) >= model_.images.size()) {
            report(DiagnosticKind::BadIndex, "texture " + std::to_string(textureIndex) +
                                                 " names no image; the material has no picture");
            return;
        }
        if (texture.sampler >= 0 && static_cast<std::size_t>(texture.sampler) < model_.samplers.size()) {
            const tinygltf::Sampler& sampler = model_.samplers[static_cast<std::size_t>(texture.sampler)];
            spec.repeatS = sampler.wrapS != TINYGLTF_TEXTURE_WRAP_CLAMP_TO_EDGE;
            spec.repeatT = sampler.wrapT != TINYGLTF_TEXTURE_WRAP_CLAMP_TO_EDGE;
            if (sampler.wrapS == TINYGLTF_TEXTURE_WRAP_MIRRORED_REPEAT ||
                sampler.wrapT == TINYGLTF_TEXTURE_WRAP_MIRRORED_REPEAT)
                note("mirrored texture repeat is drawn as plain repeat");
        }
        const tinygltf::Image& image = model_.images[static_cast<std::size_t>(texture.source)];
        spec.url = image.uri.empty() ? "image " + std::to_string(texture.source) : image.uri;
        // One texture per picture and wrap: the wrap belongs to the texture.
        const std::tuple<int, bool, bool> key{texture.source, spec.repeatS, spec.repeatT};
        const auto known = pictures_.find(key);
        spec.pendingTexture = known != pictures_.end() ? known->second : decodePicture(texture.source, spec.url);
        pictures_[key] = spec.pendingTexture;
    }

    // The picture's entry in the pending textures, or -1 when it gives no
    // pixels (reported, unless the decoder only checks).
    int decodePicture(int index, const std::string& url) {
        const tinygltf::Image& image = model_.images[static_cast<std::size_t>(index)];
        ByteRange bytes{image.image.data(), image.image.size()};
        std::optional<std::string> problem;
        if (image.bufferView >= 0) {
            problem = findBufferView(model_, image.bufferView, bytes);
        } else if (image.image.empty()) {
            const std::string path = files_.pathOf(decodedUri(image.uri));
            const std::string why = files_.problemOf(path);
            problem = why.empty() ? "no picture data" : "cannot read \"" + path + "\": " + why;
        }
        Image picture;
        if (!problem) problem = services_.images.decodeImage(bytes.data, bytes.size, picture);
        if (problem) {
            report(DiagnosticKind::ImageProblem, "image " + std::to_string(index) + " (\"" + url + "\"): " + *problem +
                                                     "; the surfaces using it are drawn without it");
            return -1;
        }
        if (picture.empty()) return -1;
        services_.textures.pending.push_back(PendingTexture{std::move(picture), {}});
        return static_cast<int>(services_.textures.pending.size() - 1);
    }

    const ImportRequest& request_;
    ImportServices& services_;
    CompanionFiles files_;
    ModelBuilder builder_;
    tinygltf::Model model_;
    std::vector<std::string> notes_;
    std::map<int, int> materials_;  // glTF material -> builder material
    std::map<std::tuple<int, bool, bool>, int> pictures_;  // image and wrap -> pending texture or -1
};

}  // namespace

ImportedModel importGltf(const std::vector<std::uint8_t>& bytes, const ImportRequest& request,
                         ImportServices& services) {
    return GltfImport(request, services).run(bytes);
}

}  // namespace xmo
