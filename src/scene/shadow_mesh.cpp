#include "scene/shadow_mesh.h"

#include <cstdint>
#include <cstring>

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
    const int b = face.vertex[face.edgeEnd(s)];
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

struct EdgeEntry {
    std::uint64_t key;
    int group;
};

// Open-addressing map from edge key to a dense group number, numbered in
// order of first appearance, so that the groups of neighbouring faces lie
// near each other. Key and number share an entry; the table doubles when it
// is half full. It lives in a table it is given, so that the meshes of one
// scene reuse one allocation.
class EdgeGroups {
public:
    EdgeGroups(std::vector<EdgeEntry>& table, std::size_t expected) : table_(table) {
        table_.assign(capacityFor(expected), EdgeEntry{0, -1});
    }

    int groupOf(std::uint64_t key) {
        EdgeEntry& entry = find(table_, key);
        if (entry.group >= 0) return entry.group;
        const int group = count_++;
        entry = EdgeEntry{key, group};
        if (static_cast<std::size_t>(count_) * 2 > table_.size()) grow();
        return group;
    }

private:
    static EdgeEntry& find(std::vector<EdgeEntry>& table, std::uint64_t key) {
        const std::size_t mask = table.size() - 1;
        for (std::size_t at = mixBits(key) & mask;; at = (at + 1) & mask)
            if (table[at].group < 0 || table[at].key == key) return table[at];
    }

    // At least twice `entries` slots, a power of two.
    static std::size_t capacityFor(std::size_t entries) {
        std::size_t capacity = 16;
        while (capacity < entries * 2) capacity *= 2;
        return capacity;
    }

    void grow() {
        std::vector<EdgeEntry> bigger(capacityFor(table_.size()), EdgeEntry{0, -1});
        for (const EdgeEntry& e : table_)
            if (e.group >= 0) find(bigger, e.key) = e;
        table_.swap(bigger);
    }

    std::vector<EdgeEntry>& table_;
    int count_ = 0;
};

// What the pairwise scan leaves in the slots of one edge group, read off
// from its members taken in slot order. The group's first face scans from
// its first slot; every further slot of a face on the same edge (an "extra")
// scans too; all other slots are paired before they are reached. A scan by
// face j writes j into the first slot of every other face and the last other
// face into its own slot. So an extra slot ends with the greatest other
// face, and a first slot with the greatest other face that scanned (when no
// other face scanned, it is the first face's own scan that counts).
struct GroupFaces {
    int lastFace = -1;
    int beforeLast = -1;     // greatest face below lastFace
    int scanner = -1;        // greatest scanning face
    int scannerBefore = -1;  // the one before it

    void add(int face) {
        if (lastFace < 0) {
            lastFace = scanner = face;
        } else if (face == lastFace) {  // an extra: its face met the edge before
            if (face != scanner) {
                scannerBefore = scanner;
                scanner = face;
            }
        } else {
            beforeLast = lastFace;
            lastFace = face;
        }
    }
    int greatestOther(int face) const { return face != lastFace ? lastFace : beforeLast; }
    int neighbourOf(int face, bool extra) const {
        if (extra) return greatestOther(face);
        if (face != scanner) return scanner;
        return scannerBefore >= 0 ? scannerBefore : greatestOther(face);
    }
};

// Open-addressing map from a position to its index in the welded list. The
// key is the three coordinates' bits, with -0 read as 0; the table doubles
// when it is half full.
class PositionIndex {
public:
    explicit PositionIndex(std::size_t expected) { resize(expected); }

    // The index of p's position, or `next` after recording it there.
    int find(const Vec3f& p, int next) {
        const Key key = keyOf(p);
        Entry& entry = slot(table_, key);
        if (entry.index >= 0) return entry.index;
        entry = Entry{key, next};
        if (++count_ * 2 > table_.size()) resize(table_.size());
        return next;
    }

private:
    struct Key {
        std::uint32_t bits[3];
        bool operator==(const Key& k) const {
            return bits[0] == k.bits[0] && bits[1] == k.bits[1] && bits[2] == k.bits[2];
        }
    };
    struct Entry {
        Key key;
        int index;
    };

    static Key keyOf(const Vec3f& p) {
        Key key{};
        for (int a = 0; a < 3; ++a) {
            const float v = p.e[a] == 0.0f ? 0.0f : p.e[a];
            std::memcpy(&key.bits[a], &v, sizeof v);
        }
        return key;
    }

    static Entry& slot(std::vector<Entry>& table, const Key& key) {
        const std::uint64_t h = mixBits((std::uint64_t{key.bits[0]} << 32 | key.bits[1]) ^ mixBits(key.bits[2]));
        const std::size_t mask = table.size() - 1;
        for (std::size_t at = h & mask;; at = (at + 1) & mask)
            if (table[at].index < 0 || table[at].key == key) return table[at];
    }

    void resize(std::size_t entries) {
        std::size_t capacity = 16;
        while (capacity < entries * 2) capacity *= 2;
        std::vector<Entry> bigger(capacity, Entry{Key{}, -1});
        for (const Entry& e : table_)
            if (e.index >= 0) slot(bigger, e.key) = e;
        table_.swap(bigger);
    }

    std::vector<Entry> table_;
    std::size_t count_ = 0;
};

}  // namespace

std::size_t countOpenEdges(const std::vector<ShadowFace>& faces) {
    std::size_t open = 0;
    for (const ShadowFace& face : faces)
        for (int s = 0; s < 4; ++s) open += edgeKey(face, s) && face.neighbour[s] < 0;
    return open;
}

WeldedPoints weldByPosition(const std::vector<Vec3f>& points, const std::vector<int>& coordIndex) {
    WeldedPoints welded;
    welded.coordIndex.reserve(coordIndex.size() + 1);
    PositionIndex index(points.size() / 2);
    std::size_t start = 0;
    while (start < coordIndex.size()) {
        std::size_t end = start;
        bool inside = true;
        for (; end < coordIndex.size() && coordIndex[end] != -1; ++end) inside = inside && isPoint(coordIndex[end], points);
        if (inside && end > start) {
            const std::size_t first = welded.coordIndex.size();
            for (std::size_t i = start; i < end; ++i) {
                const Vec3f& p = points[static_cast<std::size_t>(coordIndex[i])];
                const int at = index.find(p, static_cast<int>(welded.points.size()));
                if (static_cast<std::size_t>(at) == welded.points.size()) welded.points.push_back(p);
                if (welded.coordIndex.size() == first || welded.coordIndex.back() != at) welded.coordIndex.push_back(at);
            }
            if (welded.coordIndex.size() - first > 1 && welded.coordIndex.back() == welded.coordIndex[first])
                welded.coordIndex.pop_back();
            // A polygon that welded into a line or a point has no area and
            // would only pair with real faces across their edges.
            if (welded.coordIndex.size() - first < 3) welded.coordIndex.resize(first);
            else welded.coordIndex.push_back(-1);
        }
        start = end + 1;
    }
    return welded;
}

void buildShadowFaces(const std::vector<Vec3f>& points, const std::vector<int>& coordIndex,
                      std::vector<ShadowFace>& faces) {
    faces.clear();
    // Sized once: a large mesh must not pay for doubling growth.
    std::size_t polygons = 0;
    bool inPolygon = false;
    for (int entry : coordIndex) {
        if (entry != -1 && !inPolygon) ++polygons;
        inPolygon = entry != -1;
    }
    faces.reserve(polygons);
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

struct NeighbourScratch::Buffers {
    std::vector<EdgeEntry> table;
    std::vector<int> groupOfSlot;
    std::vector<GroupFaces> members;
};

NeighbourScratch::NeighbourScratch() : buffers_(std::make_unique<Buffers>()) {}
NeighbourScratch::~NeighbourScratch() = default;

void buildNeighbours(std::vector<ShadowFace>& faces) {
    NeighbourScratch scratch;
    buildNeighbours(faces, scratch);
}

void buildNeighbours(std::vector<ShadowFace>& faces, NeighbourScratch& scratch) {
    NeighbourScratch::Buffers& buffers = *scratch.buffers_;
    const std::size_t slots = faces.size() * 4;
    // A closed mesh has each edge twice.
    EdgeGroups groups(buffers.table, slots / 2);
    std::vector<int>& groupOfSlot = buffers.groupOfSlot;
    groupOfSlot.assign(slots, -1);
    std::vector<GroupFaces>& members = buffers.members;
    members.clear();
    for (std::size_t m = 0; m < slots; ++m) {
        const std::optional<std::uint64_t> key = edgeKey(faces[m / 4], static_cast<int>(m % 4));
        if (!key) continue;
        const int g = groups.groupOf(*key);
        if (static_cast<std::size_t>(g) == members.size()) members.emplace_back();
        members[static_cast<std::size_t>(g)].add(static_cast<int>(m / 4));
        groupOfSlot[m] = g;
    }
    for (std::size_t m = 0; m < slots; ++m) {
        const int g = groupOfSlot[m];
        int& neighbour = faces[m / 4].neighbour[m % 4];
        neighbour = -1;
        if (g < 0) continue;
        bool extra = false;
        for (std::size_t earlier = m - m % 4; earlier < m; ++earlier) extra = extra || groupOfSlot[earlier] == g;
        neighbour = members[static_cast<std::size_t>(g)].neighbourOf(static_cast<int>(m / 4), extra);
    }
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
