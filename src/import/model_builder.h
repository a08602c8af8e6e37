// The part both importers share: triangles with their material, gathered
// into one drawn mesh per material and one welded shadow hull, then made
// the scene nodes of an imported model (see model_import.h).
//
// The importers read their format, apply its transforms and the object's
// scale, check every index, and hand over runs of triangles;
// the builder never sees the file. Depends on scene/ and math/.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/diagnostics.h"
#include "import/model_import.h"
#include "math/vec.h"

namespace xmo {

// A material of the file in the player's terms (the format's own rule for
// getting there is the importer's), and its picture when it has one.
struct MaterialSpec {
    std::string name;
    Vec3f diffuse{0.8f, 0.8f, 0.8f};
    Vec3f specular;
    Vec3f emissive;
    float shininess = 0.2f;
    float transparency = 0.0f;
    // The picture: its entry in ModelTextures::pending, or -1 for none (also
    // when it gave no pixels); url names it in the scene nodes either way.
    int pendingTexture = -1;
    std::string url;
    bool repeatS = true;
    bool repeatT = true;
};

// A corner index that names nothing: a corner of normalIndex without a
// normal gives its triangle a flat normal.
inline constexpr std::uint32_t kNoIndex = 0xFFFFFFFFu;

// The vertex lists a file's triangles index, all in the object's
// coordinates.
struct VertexLists {
    std::vector<Vec3f> positions;
    std::vector<Vec3f> normals;    // unit length; empty: every triangle is flat
    std::vector<Vec2f> texCoords;  // t = 0 is the picture's top row
};

// Triangles over VertexLists, counter-clockwise, every index inside its list
// (the importer checks them); only the entries they use are kept.
// normalIndex and texCoordIndex run in step with triangles when the lists
// are indexed apart (OBJ), and are empty when the positions' indices serve
// for all three (glTF). A normal index kNoIndex makes its triangle flat.
struct TriangleList {
    std::vector<std::uint32_t> triangles;
    std::vector<std::uint32_t> normalIndex;
    std::vector<std::uint32_t> texCoordIndex;
    bool withTexCoords = false;  // the triangles carry texture coordinates
};

// The shape a model casts its shadow through, never drawn: every triangle
// of its drawn meshes in one mesh, the points welded by position, since the
// meshes are open where materials meet and exporters repeat points along
// every seam. Open edges left are reported against fileName, and rootName
// when it is not empty.
std::unique_ptr<Shape> buildShadowHull(const std::vector<Vec3f>& points, const std::vector<int>& coordIndex,
                                       const std::string& fileName, const std::string& rootName,
                                       Diagnostics& diagnostics);

class ModelBuilder {
public:
    // Without withHull no shadow hull is gathered or built.
    ModelBuilder(ModelTextures& textures, MeshUse use, bool withHull)
        : textures_(textures), use_(use), withHull_(withHull) {}

    // The material's index for addPart.
    int addMaterial(MaterialSpec material);

    // Whether `triangles` more fit under kMaxImportedTriangles.
    bool hasRoomFor(std::size_t triangles) const { return triangles <= kMaxImportedTriangles - triangleCount_; }

    // Adds the triangles to the mesh of their material (-1: the default
    // material, X3D's grey). A material's picture is drawn only on
    // triangles with texture coordinates; the others draw its colours alone.
    // Meshes built for checking take no normals.
    void addTriangles(int material, const VertexLists& lists, const TriangleList& corners);

    std::size_t triangleCount() const { return triangleCount_; }

    // The scene: the root (the scene itself when rootName is empty, else a
    // Group of that name in it) with a Shape per mesh and the shadow hull,
    // every mesh finished. A hull with open edges is reported against
    // fileName. The builder is spent afterwards.
    ImportedModel build(const std::string& rootName, const std::string& fileName, Diagnostics& diagnostics);

private:
    struct Mesh {
        std::vector<Vec3f> points, normals;
        std::vector<Vec2f> texCoords;
        std::vector<int> coordIndex, normalIndex, texCoordIndex;
    };

    std::unique_ptr<Shape> buildShape(int material, bool textured, Mesh& mesh);

    ModelTextures& textures_;
    const MeshUse use_;
    const bool withHull_;
    std::vector<MaterialSpec> materials_;
    // Keyed by material and whether the mesh carries texture coordinates,
    // so that the shapes come out in a fixed order.
    std::map<std::pair<int, bool>, Mesh> meshes_;
    std::vector<Vec3f> hullPoints_;
    std::vector<int> hullIndex_;
    std::size_t triangleCount_ = 0;

    // Where a part's list entries went in the mesh (and the hull): -1 until
    // first used. Sized to the largest part and reset after each.
    struct Remap {
        std::vector<int> at;
        std::vector<std::uint32_t> used;
        void prepare(std::size_t size);
        void reset();
    };
    Remap positions_, hullPositions_, normals_, texCoords_;
};

}  // namespace xmo
