#include "scene/shadow_mesh.h"

#include <cstdint>

namespace xmo {

namespace {

bool isPoint(int index, const std::vector<Vec3f>& points) {
    return index >= 0 && static_cast<std::size_t>(index) < points.size();
}

void computePlane(ShadowFace& face, const std::vector<Vec3f>& points) {
    if (!isPoint(face.vertex[0], points) || !isPoint(face.vertex[1], points) || !isPoint(face.vertex[2], points))
        return;
    const Vec3f& p0 = points[static_cast<std::size_t>(face.vertex[0])];
    const Vec3f& p1 = points[static_cast<std::size_t>(face.vertex[1])];
    const Vec3f& p2 = points[static_cast<std::size_t>(face.vertex[2])];
    face.plane = -cross(p0 - p1, p2 - p1);
    face.d = -dot(face.plane, p1);
}

// The undirected edge of slot s as one key (smaller index first), or nothing
// when a slot of the edge is empty.
std::optional<std::uint64_t> edgeKey(const ShadowFace& face, int s) {
    const int a = face.vertex[s];
    const int b = face.vertex[(s + 1) % 4];
    if (a < 0 || b < 0) return std::nullopt;
    const auto lo = static_cast<std::uint32_t>(a < b ? a : b);
    const auto hi = static_cast<std::uint32_t>(a < b ? b : a);
    return std::uint64_t{lo} << 32 | hi;
}

std::uint64_t mixBits(std::uint64_t x) {
    x ^= x >> 33;
    x *= 0xff51afd7ed558ccdULL;
    x ^= x >> 33;
    x *= 0xc4ceb9fe1a85ec53ULL;
    return x ^ (x >> 33);
}

// Open-addressing map from edge key to a dense group number.
class EdgeGroups {
public:
    explicit EdgeGroups(std::size_t edges) {
        std::size_t capacity = 16;
        while (capacity < edges * 2) capacity *= 2;
        table_.assign(capacity, -1);
        keys_.reserve(edges);
    }

    int groupOf(std::uint64_t key) {
        const std::size_t mask = table_.size() - 1;
        for (std::size_t at = mixBits(key) & mask;; at = (at + 1) & mask) {
            const int group = table_[at];
            if (group < 0) {
                table_[at] = static_cast<int>(keys_.size());
                keys_.push_back(key);
                return table_[at];
            }
            if (keys_[static_cast<std::size_t>(group)] == key) return group;
        }
    }
    std::size_t size() const { return keys_.size(); }

private:
    std::vector<int> table_;
    std::vector<std::uint64_t> keys_;
};

constexpr int faceOf(int member) { return member / 4; }
constexpr int slotOf(int member) { return member % 4; }

// The neighbours of one edge group, members given as face x 4 + slot in
// increasing order. Reading the pairwise scan group by group: the group's
// first face scans from its first slot, every later slot of a face on the
// same edge (an "extra") scans too, and all other slots are paired before
// they are reached. A scan by face j writes j into the first slot of every
// other face and the last other face into its own slot. So an extra slot ends
// with the greatest other face, and a first slot with the greatest other face
// that scanned (the first face scans its own first slot too, then counts
// itself only when nobody else scans).
void pairGroup(std::vector<ShadowFace>& faces, const int* members, std::size_t count) {
    const int firstFace = faceOf(members[0]);
    const int lastFace = faceOf(members[count - 1]);
    int beforeLast = -1;      // greatest face below lastFace
    int scanner = firstFace;  // greatest and second greatest scanning face
    int scannerBefore = -1;
    for (std::size_t i = 0; i < count; ++i) {
        const int f = faceOf(members[i]);
        if (f != lastFace) beforeLast = f;
        const bool extra = i > 0 && faceOf(members[i - 1]) == f;
        if (extra && f != scanner) {
            scannerBefore = scanner;
            scanner = f;
        }
    }
    const auto greatestOther = [&](int f) { return f != lastFace ? lastFace : beforeLast; };
    for (std::size_t i = 0; i < count; ++i) {
        const int f = faceOf(members[i]);
        const bool extra = i > 0 && faceOf(members[i - 1]) == f;
        int neighbour;
        if (extra) neighbour = greatestOther(f);
        else if (f != scanner) neighbour = scanner;
        else if (scannerBefore >= 0) neighbour = scannerBefore;
        else neighbour = greatestOther(f);  // f is the first face, the only one that scanned
        faces[static_cast<std::size_t>(f)].neighbour[slotOf(members[i])] = neighbour;
    }
}

}  // namespace

void buildShadowFaces(const std::vector<Vec3f>& points, const std::vector<int>& coordIndex,
                      std::vector<ShadowFace>& faces) {
    faces.clear();
    bool open = false;
    int slot = 0;
    for (int entry : coordIndex) {
        if (entry == -1) {
            if (open) computePlane(faces.back(), points);
            open = false;
            slot = 0;
            continue;
        }
        if (!open) {
            faces.emplace_back();
            open = true;
        }
        if (slot < 4) faces.back().vertex[slot] = entry;
        ++slot;
    }
    if (open && slot >= 4) computePlane(faces.back(), points);
}

void buildNeighbours(std::vector<ShadowFace>& faces) {
    const std::size_t slots = faces.size() * 4;
    std::vector<int> groupOfSlot(slots, -1);
    EdgeGroups groups(slots);
    for (std::size_t m = 0; m < slots; ++m) {
        ShadowFace& face = faces[m / 4];
        face.neighbour[m % 4] = -1;
        if (const auto key = edgeKey(face, static_cast<int>(m % 4))) groupOfSlot[m] = groups.groupOf(*key);
    }

    // Members of each group, contiguous and in slot order (a counting sort).
    std::vector<std::size_t> start(groups.size() + 1, 0);
    for (int g : groupOfSlot)
        if (g >= 0) ++start[static_cast<std::size_t>(g) + 1];
    for (std::size_t g = 0; g < groups.size(); ++g) start[g + 1] += start[g];
    std::vector<int> members(start.back());
    std::vector<std::size_t> fill(start.begin(), start.end() - 1);
    for (std::size_t m = 0; m < slots; ++m)
        if (groupOfSlot[m] >= 0) members[fill[static_cast<std::size_t>(groupOfSlot[m])]++] = static_cast<int>(m);

    for (std::size_t g = 0; g < groups.size(); ++g)
        pairGroup(faces, &members[start[g]], start[g + 1] - start[g]);
}

std::optional<std::string> findLargeShadowPolygon(const std::vector<int>& coordIndex) {
    std::size_t first = 0;
    int vertices = 0;
    const auto check = [&]() -> std::optional<std::string> {
        if (vertices <= 4) return std::nullopt;
        return "coordIndex entry " + std::to_string(first) + " starts a polygon of " + std::to_string(vertices) +
               " vertices; its shadow keeps the first four";
    };
    for (std::size_t i = 0; i < coordIndex.size(); ++i) {
        if (coordIndex[i] == -1) {
            if (auto problem = check()) return problem;
            vertices = 0;
            continue;
        }
        if (vertices++ == 0) first = i;
    }
    return check();
}

}  // namespace xmo
