// Geometry of a toy brick, computed without OpenGL: the half extents and
// bounds of its body, its studs (five-sided cylinders on top) and its box of
// six quadrilaterals, plus its colour from the 16-entry table. BrikObject's
// drawing code emits exactly these values into its display list.
//
// Units: a stud is 0.2 wide (x and z), a plate 0.08 high (y); the body is
// centred on the object origin.
#pragma once

#include <array>
#include <vector>

#include "math/vec.h"

namespace xmo {

inline constexpr float kStudWidth = 0.2f;
inline constexpr float kPlateHeight = 0.08f;
inline constexpr int kBrickColourCount = 16;
// Studs a brick carries per axis at most; larger sizes are reported and
// cut down, so a size from a file cannot make the build loop run away.
inline constexpr int kMaxStudsPerAxis = 64;

Vec3f brickHalfExtents(const Vec3f& size);

// min = -h; max = h raised by one sixth of a stud height (not the stud tops).
void brickBounds(const Vec3f& size, Vec3f& min, Vec3f& max);

struct BrickColour {
    Vec3f diffuse;
    Vec3f specular;  // 0.8 x diffuse
};
// The colour of table entry color, clamped into 0..15.
BrickColour brickColour(int color);
bool brickColourInTable(int color);

// One stud: a quad strip of twelve side vertices (top, bottom, top, ...),
// each with its inward normal, and a cap polygon of six vertices (the first
// and last coincide: five sides) drawn with the normal (0, -1, 0).
struct Stud {
    std::array<Vec3f, 12> side;
    std::array<Vec3f, 12> sideNormal;
    std::array<Vec3f, 6> cap;
};

struct BrickQuad {
    Vec3f normal;
    std::array<Vec3f, 4> corner;
};

struct BrickGeometry {
    Vec3f half;
    std::vector<Stud> studs;              // x outer, z inner, in build order
    std::array<Vec3f, 8> boxCorners;      // the mesh's Coordinate points
    std::vector<int> boxIndex;            // front, back, right, top, left, bottom, each closed by -1
    std::array<BrickQuad, 6> boxQuads;    // the same faces as drawn, with their normals
};

// Stud counts per axis follow the float comparison i < size, so a fractional
// size gives one more row; each is capped at kMaxStudsPerAxis.
BrickGeometry buildBrickGeometry(const Vec3f& size);
bool brickSizeInRange(const Vec3f& size);

}  // namespace xmo
