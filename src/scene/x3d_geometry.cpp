#include "scene/x3d_geometry.h"

#include <algorithm>
#include <cmath>

namespace xmo {

namespace {

constexpr float kPi = 3.14159265358979f;

struct Corner {
    int point;
    Vec3f normal;
    Vec2f texCoord;
    Vec3f color;
};

// Appends one polygon with its corners' attributes.
void addPolygon(CornerMesh& mesh, const Corner* corners, std::size_t count, bool normals, bool texCoords,
                bool colors) {
    for (std::size_t i = 0; i <= count; ++i) {
        const bool end = i == count;
        mesh.coordIndex.push_back(end ? -1 : corners[i].point);
        if (normals) mesh.normals.push_back(end ? Vec3f{} : corners[i].normal);
        if (texCoords) mesh.texCoords.push_back(end ? Vec2f{} : corners[i].texCoord);
        if (colors) mesh.colors.push_back(end ? Vec3f{} : corners[i].color);
    }
}

// A primitive's corner: a new point with its normal and texture coordinate.
struct PrimitiveBuilder {
    CornerMesh mesh;

    Corner corner(const Vec3f& p, const Vec3f& n, float s, float t) {
        mesh.points.push_back(p);
        return Corner{static_cast<int>(mesh.points.size() - 1), n, Vec2f{s, t}, Vec3f{}};
    }
    void polygon(std::initializer_list<Corner> corners) {
        addPolygon(mesh, corners.begin(), corners.size(), true, true, false);
    }
};

// The direction round the y axis at s of a round primitive's texture: s = 0
// at the back (-z), going counter-clockwise seen from above.
Vec3f around(float s) {
    const float a = 2.0f * kPi * s;
    // Exact at the quarters, so that the bounds are the radius itself.
    const int quarter = static_cast<int>(std::lround(s * 4.0f));
    if (std::fabs(s * 4.0f - static_cast<float>(quarter)) < 1e-6f) {
        static const Vec3f kQuarters[] = {{0, 0, -1}, {-1, 0, 0}, {0, 0, 1}, {1, 0, 0}};
        return kQuarters[quarter % 4];
    }
    return Vec3f{-std::sin(a), 0.0f, -std::cos(a)};
}

// A cap of radius r at height y as a fan of triangles round its centre,
// facing up (top) or down, textured as a disc cut from the picture.
void addCap(PrimitiveBuilder& b, float r, float y, bool top) {
    const Vec3f n{0.0f, top ? 1.0f : -1.0f, 0.0f};
    const auto tex = [&](const Vec3f& d) {
        return Vec2f{0.5f + d.e[0] * 0.5f, top ? 0.5f - d.e[2] * 0.5f : 0.5f + d.e[2] * 0.5f};
    };
    for (int i = 0; i < kRoundSlices; ++i) {
        const Vec3f d0 = around(static_cast<float>(i) / kRoundSlices);
        const Vec3f d1 = around(static_cast<float>(i + 1) / kRoundSlices);
        const Vec2f t0 = tex(d0), t1 = tex(d1);
        const Corner c = b.corner(Vec3f{0.0f, y, 0.0f}, n, 0.5f, 0.5f);
        const Corner a0 = b.corner(d0 * r + Vec3f{0.0f, y, 0.0f}, n, t0.e[0], t0.e[1]);
        const Corner a1 = b.corner(d1 * r + Vec3f{0.0f, y, 0.0f}, n, t1.e[0], t1.e[1]);
        // s runs counter-clockwise seen from above.
        if (top) b.polygon({c, a0, a1});
        else b.polygon({c, a1, a0});
    }
}

}  // namespace

std::size_t CornerMesh::polygonCount() const {
    return static_cast<std::size_t>(std::count(coordIndex.begin(), coordIndex.end(), -1));
}

CornerMesh buildBox(const Vec3f& size) {
    struct Face {
        Vec3f normal, u, v;  // the picture's s runs along u, t along v
    };
    static const Face kFaces[] = {
        {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}},   {{0, 0, -1}, {-1, 0, 0}, {0, 1, 0}},
        {{1, 0, 0}, {0, 0, -1}, {0, 1, 0}},  {{-1, 0, 0}, {0, 0, 1}, {0, 1, 0}},
        {{0, 1, 0}, {1, 0, 0}, {0, 0, -1}},  {{0, -1, 0}, {1, 0, 0}, {0, 0, 1}},
    };
    const Vec3f half = size * 0.5f;
    const auto scaled = [&](const Vec3f& d) {
        return Vec3f{d.e[0] * half.e[0], d.e[1] * half.e[1], d.e[2] * half.e[2]};
    };
    PrimitiveBuilder b;
    for (const Face& f : kFaces) {
        const Vec3f centre = scaled(f.normal), u = scaled(f.u), v = scaled(f.v);
        b.polygon({b.corner(centre - u - v, f.normal, 0, 0), b.corner(centre + u - v, f.normal, 1, 0),
                   b.corner(centre + u + v, f.normal, 1, 1), b.corner(centre - u + v, f.normal, 0, 1)});
    }
    return std::move(b.mesh);
}

CornerMesh buildSphere(float radius) {
    PrimitiveBuilder b;
    const auto at = [&](int slice, int stack) {
        const float s = static_cast<float>(slice) / kRoundSlices;
        const float t = static_cast<float>(stack) / kSphereStacks;
        // Exact poles and equator, for the bounds.
        const float angle = kPi * t;
        const float ring = stack == 0 || stack == kSphereStacks ? 0.0f : 2 * stack == kSphereStacks ? 1.0f : std::sin(angle);
        const float y = stack == 0 ? -1.0f : stack == kSphereStacks ? 1.0f : 2 * stack == kSphereStacks ? 0.0f : -std::cos(angle);
        const Vec3f n = around(s) * ring + Vec3f{0.0f, y, 0.0f};
        return b.corner(n * radius, n, s, t);
    };
    for (int j = 0; j < kSphereStacks; ++j)
        for (int i = 0; i < kRoundSlices; ++i) {
            if (j == 0) b.polygon({at(i, 0), at(i + 1, 1), at(i, 1)});
            else if (j == kSphereStacks - 1) b.polygon({at(i, j), at(i + 1, j), at(i, j + 1)});
            else b.polygon({at(i, j), at(i + 1, j), at(i + 1, j + 1), at(i, j + 1)});
        }
    return std::move(b.mesh);
}

CornerMesh buildCylinder(float radius, float height, bool side, bool top, bool bottom) {
    PrimitiveBuilder b;
    const float h = height * 0.5f;
    if (side)
        for (int i = 0; i < kRoundSlices; ++i) {
            const float s0 = static_cast<float>(i) / kRoundSlices, s1 = static_cast<float>(i + 1) / kRoundSlices;
            const Vec3f d0 = around(s0), d1 = around(s1);
            const Vec3f down{0.0f, -h, 0.0f}, up{0.0f, h, 0.0f};
            b.polygon({b.corner(d0 * radius + down, d0, s0, 0), b.corner(d1 * radius + down, d1, s1, 0),
                       b.corner(d1 * radius + up, d1, s1, 1), b.corner(d0 * radius + up, d0, s0, 1)});
        }
    if (top) addCap(b, radius, h, true);
    if (bottom) addCap(b, radius, -h, false);
    return std::move(b.mesh);
}

CornerMesh buildCone(float bottomRadius, float height, bool side, bool bottom) {
    PrimitiveBuilder b;
    const float h = height * 0.5f;
    // The side's normal leans up by the slope: (height, radius) across the direction.
    const auto slanted = [&](const Vec3f& d) {
        const Vec3f n = d * height + Vec3f{0.0f, bottomRadius, 0.0f};
        const float l = length(n);
        return l > 0.0f ? n / l : Vec3f{0.0f, 1.0f, 0.0f};
    };
    if (side)
        for (int i = 0; i < kRoundSlices; ++i) {
            const float s0 = static_cast<float>(i) / kRoundSlices, s1 = static_cast<float>(i + 1) / kRoundSlices;
            const Vec3f d0 = around(s0), d1 = around(s1);
            const Vec3f down{0.0f, -h, 0.0f};
            b.polygon({b.corner(d0 * bottomRadius + down, slanted(d0), s0, 0),
                       b.corner(d1 * bottomRadius + down, slanted(d1), s1, 0),
                       b.corner(Vec3f{0.0f, h, 0.0f}, slanted(around((s0 + s1) * 0.5f)), (s0 + s1) * 0.5f, 1)});
        }
    if (bottom) addCap(b, bottomRadius, -h, false);
    return std::move(b.mesh);
}

namespace {

bool inside(int index, std::size_t size) { return index >= 0 && static_cast<std::size_t>(index) < size; }

// Newell's normal of a polygon: its direction is the polygon's front, its
// length twice its area; robust for polygons that are not quite flat.
Vec3f newellNormal(const std::vector<Vec3f>& points, const Corner* corners, std::size_t count) {
    Vec3f n;
    for (std::size_t i = 0; i < count; ++i) {
        const Vec3f& a = points[static_cast<std::size_t>(corners[i].point)];
        const Vec3f& b = points[static_cast<std::size_t>(corners[(i + 1) % count].point)];
        n += Vec3f{(a.e[1] - b.e[1]) * (a.e[2] + b.e[2]), (a.e[2] - b.e[2]) * (a.e[0] + b.e[0]),
                   (a.e[0] - b.e[0]) * (a.e[1] + b.e[1])};
    }
    return n;
}

Vec3f unit(const Vec3f& v) {
    const float l = length(v);
    return l > 0.0f && std::isfinite(l) ? v / l : Vec3f{};
}

// Ear clipping in the polygon's plane (dropping the normal's largest axis);
// appends triangles as corner positions of the polygon. Falls back to a fan
// for what is left when no ear is found (a self-crossing polygon), and for
// polygons too large for the quadratic search.
void clipEars(const std::vector<Vec3f>& points, const Corner* corners, std::size_t count, const Vec3f& normal,
              std::vector<std::size_t>& triangles) {
    int drop = 0;
    for (int a = 1; a < 3; ++a)
        if (std::fabs(normal.e[a]) > std::fabs(normal.e[drop])) drop = a;
    const int x = (drop + 1) % 3, y = (drop + 2) % 3;
    const float facing = normal.e[drop] >= 0.0f ? 1.0f : -1.0f;
    const auto flat = [&](std::size_t i) {
        const Vec3f& p = points[static_cast<std::size_t>(corners[i].point)];
        return Vec2f{p.e[x], p.e[y]};
    };
    const auto area = [&](const Vec2f& a, const Vec2f& b, const Vec2f& c) {
        return facing * ((b.e[0] - a.e[0]) * (c.e[1] - a.e[1]) - (b.e[1] - a.e[1]) * (c.e[0] - a.e[0]));
    };
    std::vector<std::size_t> left(count);
    for (std::size_t i = 0; i < count; ++i) left[i] = i;
    constexpr std::size_t kLargestClipped = 1000;
    while (left.size() > 3 && count <= kLargestClipped) {
        bool clipped = false;
        for (std::size_t i = 0; i < left.size() && !clipped; ++i) {
            const std::size_t ia = left[(i + left.size() - 1) % left.size()], ib = left[i],
                              ic = left[(i + 1) % left.size()];
            const Vec2f a = flat(ia), b = flat(ib), c = flat(ic);
            if (area(a, b, c) <= 0.0f) continue;
            bool empty = true;
            for (std::size_t k : left) {
                if (k == ia || k == ib || k == ic) continue;
                const Vec2f p = flat(k);
                if (area(a, b, p) >= 0.0f && area(b, c, p) >= 0.0f && area(c, a, p) >= 0.0f) {
                    empty = false;
                    break;
                }
            }
            if (!empty) continue;
            triangles.insert(triangles.end(), {ia, ib, ic});
            left.erase(left.begin() + static_cast<std::ptrdiff_t>(i));
            clipped = true;
        }
        if (!clipped) break;
    }
    for (std::size_t i = 1; i + 1 < left.size(); ++i) triangles.insert(triangles.end(), {left[0], left[i], left[i + 1]});
}

// The attribute index of a corner: per vertex through its own index list or
// coordIndex, per face through its own list or the face's number.
int attributeIndex(const std::vector<int>& index, bool perVertex, std::size_t entry, int point, std::size_t face) {
    if (perVertex) return index.empty() ? point : entry < index.size() ? index[entry] : -1;
    if (index.empty()) return static_cast<int>(face);
    return face < index.size() ? index[face] : -1;
}

// X3D's texture coordinates for a face set that gives none: s along the
// bounding box's longest side, t along the second, both over the longest
// side's length.
Vec2f defaultTexCoord(const Vec3f& p, const Vec3f& min, const Vec3f& size) {
    int sAxis = 0;
    for (int a = 1; a < 3; ++a)
        if (size.e[a] > size.e[sAxis]) sAxis = a;
    int tAxis = sAxis == 0 ? 1 : 0;
    for (int a = 0; a < 3; ++a)
        if (a != sAxis && size.e[a] > size.e[tAxis]) tAxis = a;
    const float span = size.e[sAxis] > 0.0f ? size.e[sAxis] : 1.0f;
    return Vec2f{(p.e[sAxis] - min.e[sAxis]) / span, (p.e[tAxis] - min.e[tAxis]) / span};
}

}  // namespace

CornerMesh buildFaceSet(const FaceSetFields& f, bool withTexCoords, FaceSetFaults& faults) {
    const bool hasNormals = !f.normals.empty(), hasColors = !f.colors.empty();
    const bool hasTexCoords = withTexCoords && !f.texCoords.empty();
    std::vector<Corner> corners;  // every usable polygon's, one after another
    std::vector<std::size_t> polygonEnds;
    std::size_t face = 0, start = 0;
    while (start < f.coordIndex.size()) {
        std::size_t end = start;
        while (end < f.coordIndex.size() && f.coordIndex[end] != -1) ++end;
        if (end == start) {
            ++start;
            continue;
        }
        const std::size_t first = corners.size();
        bool usable = end - start >= 3;
        for (std::size_t r = start; r < end && usable; ++r) {
            Corner c{f.coordIndex[r], {}, {}, {}};
            usable = inside(c.point, f.points.size());
            if (hasNormals) {
                const int n = attributeIndex(f.normalIndex, f.normalPerVertex, r, c.point, face);
                usable = usable && inside(n, f.normals.size());
                if (usable) c.normal = unit(f.normals[static_cast<std::size_t>(n)]);
            }
            if (hasColors) {
                const int k = attributeIndex(f.colorIndex, f.colorPerVertex, r, c.point, face);
                usable = usable && inside(k, f.colors.size());
                if (usable) c.color = f.colors[static_cast<std::size_t>(k)];
            }
            if (hasTexCoords) {
                const int t = attributeIndex(f.texCoordIndex, true, r, c.point, face);
                usable = usable && inside(t, f.texCoords.size());
                if (usable) c.texCoord = f.texCoords[static_cast<std::size_t>(t)];
            }
            corners.push_back(c);
        }
        if (usable) {
            if (!f.ccw) std::reverse(corners.begin() + static_cast<std::ptrdiff_t>(first), corners.end());
            polygonEnds.push_back(corners.size());
        } else {
            corners.resize(first);
            ++faults.badPolygons;
        }
        ++face;
        start = end + 1;
    }

    // Face normals, for generated normals and for clipping ears.
    std::vector<Vec3f> faceNormals(polygonEnds.size());
    for (std::size_t p = 0, begin = 0; p < polygonEnds.size(); begin = polygonEnds[p++])
        faceNormals[p] = newellNormal(f.points, &corners[begin], polygonEnds[p] - begin);

    if (!hasNormals) {
        const float cosCrease = std::cos(std::min(std::max(f.creaseAngle, 0.0f), kPi));
        const bool flat = f.creaseAngle <= 0.0f;
        // The faces round each point, as offsets into one list.
        std::vector<std::size_t> firstFace(flat ? 0 : f.points.size() + 1, 0);
        std::vector<std::size_t> faces;
        if (!flat) {
            for (const Corner& c : corners) ++firstFace[static_cast<std::size_t>(c.point) + 1];
            for (std::size_t i = 1; i < firstFace.size(); ++i) firstFace[i] += firstFace[i - 1];
            faces.resize(corners.size());
            std::vector<std::size_t> fill(firstFace.begin(), firstFace.end() - 1);
            for (std::size_t p = 0, begin = 0; p < polygonEnds.size(); begin = polygonEnds[p++])
                for (std::size_t i = begin; i < polygonEnds[p]; ++i) faces[fill[static_cast<std::size_t>(corners[i].point)]++] = p;
        }
        std::vector<Vec3f> unitFaces(faceNormals.size());
        for (std::size_t p = 0; p < faceNormals.size(); ++p) unitFaces[p] = unit(faceNormals[p]);
        for (std::size_t p = 0, begin = 0; p < polygonEnds.size(); begin = polygonEnds[p++])
            for (std::size_t i = begin; i < polygonEnds[p]; ++i) {
                if (flat) {
                    corners[i].normal = unitFaces[p];
                    continue;
                }
                Vec3f sum;
                const std::size_t point = static_cast<std::size_t>(corners[i].point);
                for (std::size_t k = firstFace[point]; k < firstFace[point + 1]; ++k)
                    if (faces[k] == p || dot(unitFaces[faces[k]], unitFaces[p]) >= cosCrease) sum += unitFaces[faces[k]];
                corners[i].normal = unit(sum);
            }
    }

    if (withTexCoords && !hasTexCoords && !f.points.empty()) {
        Vec3f min = f.points.front(), max = f.points.front();
        for (const Vec3f& p : f.points)
            for (int a = 0; a < 3; ++a) {
                min.e[a] = std::min(min.e[a], p.e[a]);
                max.e[a] = std::max(max.e[a], p.e[a]);
            }
        for (Corner& c : corners) c.texCoord = defaultTexCoord(f.points[static_cast<std::size_t>(c.point)], min, max - min);
    }

    CornerMesh mesh;
    mesh.points = f.points;
    std::vector<std::size_t> triangles;
    for (std::size_t p = 0, begin = 0; p < polygonEnds.size(); begin = polygonEnds[p++]) {
        const std::size_t count = polygonEnds[p] - begin;
        const Corner* polygon = &corners[begin];
        if (count <= 3 || (count == 4 && f.convex)) {
            addPolygon(mesh, polygon, count, true, withTexCoords, hasColors);
            continue;
        }
        triangles.clear();
        if (f.convex)
            for (std::size_t i = 1; i + 1 < count; ++i) triangles.insert(triangles.end(), {0, i, i + 1});
        else
            clipEars(f.points, polygon, count, faceNormals[p], triangles);
        for (std::size_t t = 0; t + 2 < triangles.size(); t += 3) {
            const Corner triangle[3] = {polygon[triangles[t]], polygon[triangles[t + 1]], polygon[triangles[t + 2]]};
            addPolygon(mesh, triangle, 3, true, withTexCoords, hasColors);
        }
    }
    return mesh;
}

void triangleSetIndex(TriangleLayout layout, const std::vector<int>& index, std::vector<int>& coordIndex) {
    coordIndex.clear();
    const auto triangle = [&](int a, int b, int c) { coordIndex.insert(coordIndex.end(), {a, b, c, -1}); };
    if (layout == TriangleLayout::Triangles || layout == TriangleLayout::Quads) {
        const std::size_t n = layout == TriangleLayout::Triangles ? 3 : 4;
        for (std::size_t i = 0; i + n <= index.size(); i += n) {
            coordIndex.insert(coordIndex.end(), index.begin() + static_cast<std::ptrdiff_t>(i),
                              index.begin() + static_cast<std::ptrdiff_t>(i + n));
            coordIndex.push_back(-1);
        }
        return;
    }
    // Fans and strips, each ended by -1 (or the list's end).
    std::size_t start = 0;
    while (start < index.size()) {
        std::size_t end = start;
        while (end < index.size() && index[end] != -1) ++end;
        for (std::size_t i = start; i + 2 < end; ++i) {
            if (layout == TriangleLayout::Fans) triangle(index[start], index[i + 1], index[i + 2]);
            else if ((i - start) % 2 == 0) triangle(index[i], index[i + 1], index[i + 2]);
            else triangle(index[i + 1], index[i], index[i + 2]);
        }
        start = end + 1;
    }
}

void triangleSetCounts(TriangleLayout layout, const std::vector<int>& counts, std::size_t pointCount,
                       std::vector<int>& coordIndex) {
    std::vector<int> index;
    if (layout == TriangleLayout::Triangles || layout == TriangleLayout::Quads) {
        for (std::size_t i = 0; i < pointCount; ++i) index.push_back(static_cast<int>(i));
    } else {
        std::size_t next = 0;
        for (int count : counts) {
            if (count < 0 || static_cast<std::size_t>(count) > pointCount - next) break;
            for (int i = 0; i < count; ++i) index.push_back(static_cast<int>(next++));
            index.push_back(-1);
        }
    }
    triangleSetIndex(layout, index, coordIndex);
}

}  // namespace xmo
