#include "scene/brick_geometry.h"

#include <cmath>

#include "scene/mesh_geometry.h"

namespace xmo {

namespace {

constexpr float kPi = 3.14159265358979f;
constexpr float kStudHeight = 0.5f * kPlateHeight;
constexpr float kStudRadius = kStudWidth * 0.3f;

constexpr unsigned char kDiffuse255[kBrickColourCount][3] = {
    {51, 51, 51},   {102, 102, 88},  {0, 51, 178},    {0, 128, 255}, {0, 127, 51},   {51, 255, 102},
    {0, 181, 166},  {171, 253, 249}, {204, 0, 0},     {255, 0, 0},   {255, 51, 153}, {255, 176, 204},
    {102, 51, 0},   {255, 229, 0},   {153, 153, 153}, {255, 255, 255},
};

// Corners as signed axis codes (1 x, 2 y, 3 z), each standing for its sign
// times the half extent of that axis; -100 ends the table.
constexpr int kCornerCodes[] = {-1, 2, 3,  1, 2, 3,  1, -2, 3,  -1, -2, 3,
                                -1, 2, -3, 1, 2, -3, 1, -2, -3, -1, -2, -3, -100};
constexpr int kBoxIndex[] = {3, 2, 1, 0, -1, 4, 5, 6, 7, -1, 1, 2, 6, 5, -1,
                             0, 1, 5, 4, -1, 3, 0, 4, 7, -1, 2, 3, 7, 6, -1};

int studRows(float size) {
    int rows = 0;
    while (rows < kMaxStudsPerAxis && static_cast<float>(rows) < size) ++rows;
    return rows;
}

Stud buildStud(const Vec3f& half, float cx, float cz) {
    const Vec3f base{cx, half.e[1], cz};
    const Vec3f top{cx, half.e[1] + kStudHeight, cz};
    Stud stud;
    for (int k = 0; k < 6; ++k) {
        const float a = static_cast<float>(k - 5) / 5.0f * 2.0f * kPi;
        const Vec3f o{std::cos(a) * kStudRadius, 0.0f, std::sin(a) * kStudRadius};
        const Vec3f inward = -normalize(o);
        stud.side[2 * k] = top + o;
        stud.side[2 * k + 1] = base + o;
        stud.sideNormal[2 * k] = stud.sideNormal[2 * k + 1] = inward;
        stud.cap[k] = top + o;
    }
    return stud;
}

}  // namespace

Vec3f brickHalfExtents(const Vec3f& size) {
    return {size.e[0] / 2.0f * kStudWidth, size.e[1] / 2.0f * kPlateHeight, size.e[2] / 2.0f * kStudWidth};
}

void brickBounds(const Vec3f& size, Vec3f& min, Vec3f& max) {
    const Vec3f h = brickHalfExtents(size);
    min = -h;
    max = Vec3f{h.e[0], h.e[1] + kStudHeight / 6.0f, h.e[2]};
}

bool brickColourInTable(int color) { return color >= 0 && color < kBrickColourCount; }

BrickColour brickColour(int color) {
    const int i = color < 0 ? 0 : (color >= kBrickColourCount ? kBrickColourCount - 1 : color);
    BrickColour c;
    for (int a = 0; a < 3; ++a) {
        const double d = kDiffuse255[i][a] / 255.0;
        c.diffuse.e[a] = static_cast<float>(d);
        c.specular.e[a] = static_cast<float>(0.8 * d);
    }
    return c;
}

bool brickSizeInRange(const Vec3f& size) {
    return !(size.e[0] > kMaxStudsPerAxis) && !(size.e[2] > kMaxStudsPerAxis);
}

BrickGeometry buildBrickGeometry(const Vec3f& size) {
    BrickGeometry g;
    g.half = brickHalfExtents(size);
    const int rowsX = studRows(size.e[0]);
    const int rowsZ = studRows(size.e[2]);
    g.studs.reserve(static_cast<std::size_t>(rowsX) * static_cast<std::size_t>(rowsZ));
    for (int i = 0; i < rowsX; ++i)
        for (int j = 0; j < rowsZ; ++j)
            g.studs.push_back(buildStud(g.half, (static_cast<float>(i) - (size.e[0] - 1.0f) / 2.0f) * kStudWidth,
                                        (static_cast<float>(j) - (size.e[2] - 1.0f) / 2.0f) * kStudWidth));

    for (int c = 0, k = 0; kCornerCodes[k] != -100; ++c)
        for (int a = 0; a < 3; ++a, ++k) {
            const int code = kCornerCodes[k];
            const int axis = (code < 0 ? -code : code) - 1;
            g.boxCorners[static_cast<std::size_t>(c)].e[axis] = code < 0 ? -g.half.e[axis] : g.half.e[axis];
        }

    g.boxIndex.assign(std::begin(kBoxIndex), std::end(kBoxIndex));
    std::size_t quad = 0;
    for (std::size_t k = 4; k < g.boxIndex.size(); k += 5) {
        BrickQuad& q = g.boxQuads[quad++];
        for (std::size_t v = 0; v < 4; ++v)
            q.corner[v] = g.boxCorners[static_cast<std::size_t>(g.boxIndex[k - 4 + v])];
        q.normal = faceNormal(q.corner[0], q.corner[1], q.corner[2]);
    }
    return g;
}

}  // namespace xmo
