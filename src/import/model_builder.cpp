#include "import/model_builder.h"

#include "base/check.h"
#include "scene/mesh_geometry.h"
#include "scene/shadow_mesh.h"

namespace xmo {

namespace {

int toIndex(std::size_t i) { return static_cast<int>(i); }

std::string describeOpenEdges(std::size_t open) {
    return std::to_string(open) + (open == 1 ? " open edge" : " open edges") + "; its shadow may leak";
}

}  // namespace

void ModelBuilder::Remap::prepare(std::size_t size) {
    if (at.size() < size) at.resize(size, -1);
}

void ModelBuilder::Remap::reset() {
    for (std::uint32_t i : used) at[i] = -1;
    used.clear();
}

int ModelBuilder::addMaterial(MaterialSpec material) {
    materials_.push_back(std::move(material));
    return toIndex(materials_.size() - 1);
}

void ModelBuilder::addTriangles(int material, const VertexLists& lists, const TriangleList& corners) {
    if (material < 0 || static_cast<std::size_t>(material) >= materials_.size()) material = -1;
    const bool textured = material >= 0 && !materials_[static_cast<std::size_t>(material)].url.empty() &&
                          corners.withTexCoords && !lists.texCoords.empty();
    const bool withNormals = use_ == MeshUse::Drawing;
    const bool smooth = !lists.normals.empty();
    Mesh& mesh = meshes_[{material, textured}];

    // The entry for source index i of a list, appended to `to` on first use.
    const auto place = [](Remap& remap, std::uint32_t i, auto& to, const auto& from) {
        XMO_CHECK(i < from.size(), "modelbuilder");
        int& at = remap.at[i];
        if (at < 0) {
            at = toIndex(to.size());
            to.push_back(from[i]);
            remap.used.push_back(i);
        }
        return at;
    };
    positions_.prepare(lists.positions.size());
    if (withHull_) hullPositions_.prepare(lists.positions.size());
    normals_.prepare(lists.normals.size());
    texCoords_.prepare(lists.texCoords.size());

    const std::size_t triangles = corners.triangles.size() / 3;
    triangleCount_ += triangles;
    mesh.coordIndex.reserve(mesh.coordIndex.size() + triangles * 4);
    if (withNormals) mesh.normalIndex.reserve(mesh.normalIndex.size() + triangles * 4);
    if (textured) mesh.texCoordIndex.reserve(mesh.texCoordIndex.size() + triangles * 3);
    if (withHull_) hullIndex_.reserve(hullIndex_.size() + triangles * 4);
    for (std::size_t t = 0; t < triangles; ++t) {
        const std::uint32_t* corner = &corners.triangles[t * 3];
        const std::uint32_t* normal = corners.normalIndex.empty() ? corner : &corners.normalIndex[t * 3];
        const std::uint32_t* texCoord = corners.texCoordIndex.empty() ? corner : &corners.texCoordIndex[t * 3];
        const bool flat = !smooth || normal[0] == kNoIndex || normal[1] == kNoIndex || normal[2] == kNoIndex;
        if (flat && withNormals) {
            for (int c = 0; c < 3; ++c) XMO_CHECK(corner[c] < lists.positions.size(), "modelbuilder");
            mesh.normals.push_back(faceNormal(lists.positions[corner[0]], lists.positions[corner[1]],
                                              lists.positions[corner[2]]));
        }
        const int flatNormal = toIndex(mesh.normals.size()) - 1;
        for (int c = 0; c < 3; ++c) {
            mesh.coordIndex.push_back(place(positions_, corner[c], mesh.points, lists.positions));
            if (withNormals)
                mesh.normalIndex.push_back(flat ? flatNormal : place(normals_, normal[c], mesh.normals, lists.normals));
            if (textured)
                mesh.texCoordIndex.push_back(place(texCoords_, texCoord[c], mesh.texCoords, lists.texCoords));
            if (withHull_) hullIndex_.push_back(place(hullPositions_, corner[c], hullPoints_, lists.positions));
        }
        mesh.coordIndex.push_back(-1);
        if (withNormals) mesh.normalIndex.push_back(-1);
        if (withHull_) hullIndex_.push_back(-1);
    }
    for (Remap* remap : {&positions_, &hullPositions_, &normals_, &texCoords_}) remap->reset();
}

std::unique_ptr<Shape> ModelBuilder::buildShape(int material, bool textured, Mesh& mesh) {
    auto shape = std::make_unique<Shape>();
    shape->appearance = std::make_unique<Appearance>();
    auto node = std::make_unique<Material>();
    if (material >= 0) {
        const MaterialSpec& spec = materials_[static_cast<std::size_t>(material)];
        shape->DEF = spec.name;
        node->diffuseColor = spec.diffuse;
        node->specularColor = spec.specular;
        node->emissiveColor = spec.emissive;
        node->shininess = spec.shininess;
        node->transparency = spec.transparency;
        if (textured) {
            auto texture = std::make_unique<ImageTexture>();
            texture->url = spec.url;
            texture->repeatS = spec.repeatS;
            texture->repeatT = spec.repeatT;
            if (spec.pendingTexture >= 0)
                textures_.pending[static_cast<std::size_t>(spec.pendingTexture)].users.push_back(texture.get());
            shape->appearance->texture = std::move(texture);
        }
    }
    shape->appearance->material = std::move(node);

    auto faces = std::make_unique<IndexedFaceSet>();
    faces->coord = std::make_unique<Coordinate>();
    faces->coord->point = std::move(mesh.points);
    faces->coordIndex = std::move(mesh.coordIndex);
    if (use_ == MeshUse::Drawing) {
        faces->normal = std::make_unique<Normal>();
        faces->normal->vector = std::move(mesh.normals);
        faces->normalIndex = std::move(mesh.normalIndex);
    }
    if (textured) {
        faces->texCoord = std::make_unique<TextureCoordinate>();
        faces->texCoord->point = std::move(mesh.texCoords);
        faces->texCoordIndex = std::move(mesh.texCoordIndex);
    }
    faces->finish(use_);
    shape->geometry = std::move(faces);
    return shape;
}

std::unique_ptr<Shape> buildShadowHull(const std::vector<Vec3f>& points, const std::vector<int>& coordIndex,
                                       const std::string& fileName, const std::string& rootName,
                                       Diagnostics& diagnostics) {
    WeldedPoints welded = weldByPosition(points, coordIndex);
    auto hull = std::make_unique<ShadowOnlyMesh>();
    hull->castshadow = true;
    hull->coord = std::make_unique<Coordinate>();
    hull->coord->point = std::move(welded.points);
    hull->coordIndex = std::move(welded.coordIndex);
    // Never drawn, so it is finished as for checking (no normals), and its
    // shadow faces are built whatever the use: check reports its open edges.
    hull->finish(MeshUse::Checking);
    buildShadowFaces(hull->coord->point, hull->coordIndex, hull->shadowFaces);
    buildNeighbours(hull->shadowFaces);
    if (const std::size_t open = countOpenEdges(hull->shadowFaces))
        diagnostics.report(DiagnosticKind::OpenShadowEdges, fileName, 0,
                           (rootName.empty() ? "" : "\"" + rootName + "\": ") + describeOpenEdges(open));
    auto shape = std::make_unique<Shape>();
    shape->geometry = std::move(hull);
    return shape;
}

ImportedModel ModelBuilder::build(const std::string& rootName, const std::string& fileName,
                                  Diagnostics& diagnostics) {
    ImportedModel model;
    model.scene = std::make_unique<Scene>();
    Group* root = model.scene.get();
    if (!rootName.empty()) {
        auto group = std::make_unique<Group>();
        group->DEF = rootName;
        group->parent = model.scene.get();
        root = group.get();
        model.scene->addChild(std::move(group));
    }
    for (auto& [key, mesh] : meshes_) root->addChild(buildShape(key.first, key.second, mesh));
    meshes_.clear();
    if (!hullIndex_.empty()) {
        root->addChild(buildShadowHull(hullPoints_, hullIndex_, fileName, rootName, diagnostics));
        hullPoints_ = {};
        hullIndex_ = {};
    }
    model.root = root;
    return model;
}

}  // namespace xmo
