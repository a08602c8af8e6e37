// The geometry of the standard X3D reading (scene/x3d_standard.h) as plain
// data: the primitives tessellated, and the face and triangle sets turned
// into one form, polygons with a normal, a texture coordinate and a colour
// for each corner. No file is read here and no OpenGL is called; the reader
// fills these from a file's attributes and places the result in the scene.
//
// All of it follows X3D's rules: the primitives' default sizes and texture
// layouts, per-vertex or per-face colours and normals with or without their
// index lists, ccw, convex and creaseAngle. Every index from a file is
// checked: a corner whose index points nowhere leaves its polygon out.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "math/vec.h"

namespace xmo {

// Polygons over points, each ended by -1 in coordIndex, counter-clockwise
// seen from their front. normals, texCoords and colors are empty or hold
// one entry per entry of coordIndex (the entries at the -1s are unused).
struct CornerMesh {
    std::vector<Vec3f> points;
    std::vector<int> coordIndex;
    std::vector<Vec3f> normals;
    std::vector<Vec2f> texCoords;  // X3D's: t = 0 is the picture's bottom row
    std::vector<Vec3f> colors;

    std::size_t polygonCount() const;
};

// The tessellation of the round primitives: slices around the axis, stacks
// of a sphere from pole to pole.
inline constexpr int kRoundSlices = 24;
inline constexpr int kSphereStacks = 12;

// Box: six quadrilaterals. Sphere: quadrilaterals with triangles at the
// poles. Cylinder and Cone: quadrilaterals (triangles for a cone's side)
// round the side and caps as fans of triangles, each part only when its
// field is true. All with normals and X3D's texture coordinates.
CornerMesh buildBox(const Vec3f& size);
CornerMesh buildSphere(float radius);
CornerMesh buildCylinder(float radius, float height, bool side, bool top, bool bottom);
CornerMesh buildCone(float bottomRadius, float height, bool side, bool bottom);

// A face set's fields as X3D states them. An empty index list means the
// field was not written.
struct FaceSetFields {
    std::vector<Vec3f> points;
    std::vector<int> coordIndex;
    std::vector<Vec3f> normals;  // empty: generated
    std::vector<int> normalIndex;
    bool normalPerVertex = true;
    std::vector<Vec2f> texCoords;  // empty: generated when the shape is textured
    std::vector<int> texCoordIndex;
    std::vector<Vec3f> colors;  // empty: none
    std::vector<int> colorIndex;
    bool colorPerVertex = true;
    bool ccw = true;
    bool convex = true;
    float creaseAngle = 0.0f;  // radians; faces meeting at a smaller angle share a smooth normal
};

// Bad indices and polygons that could not be used, counted for one message.
struct FaceSetFaults {
    std::size_t badPolygons = 0;  // a corner index outside its list, or fewer than three corners
};

// The polygons of an IndexedFaceSet, counter-clockwise, each with at most
// four corners or split into triangles (convex ones as a fan, others by ear
// clipping), with normals and, when withTexCoords, texture coordinates
// (X3D's default mapping across the bounding box when the file gives none).
CornerMesh buildFaceSet(const FaceSetFields& fields, bool withTexCoords, FaceSetFaults& faults);

// The triangle sets as face sets: IndexedTriangleSet's index, or
// TriangleSet's points three at a time. Without normals, shared corners
// are smooth when normalPerVertex is true and flat otherwise. The fan and
// strip sets and the quad sets go through the same door: fans and strips
// as counts (TriangleFanSet's fanCount) or as -1-separated index lists.
enum class TriangleLayout { Triangles, Fans, Strips, Quads };
void triangleSetIndex(TriangleLayout layout, const std::vector<int>& index, std::vector<int>& coordIndex);
void triangleSetCounts(TriangleLayout layout, const std::vector<int>& counts, std::size_t pointCount,
                       std::vector<int>& coordIndex);

}  // namespace xmo
