// Reading a glTF file's accessors: the typed views into its binary buffers
// that hold a mesh's positions, normals, texture coordinates and indices,
// and the bytes of a picture stored in a buffer view.
//
// tinygltf parses the file but checks nothing about where an accessor
// points, so every index, offset, stride and count is checked here before
// a byte is read; an accessor that does not fit yields a reason and no
// data. Depends on tinygltf's header and math/.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "math/vec.h"

namespace tinygltf {
class Model;
}

namespace xmo {

// Each returns why the accessor cannot be read, or nothing with `out`
// holding one value per element (count elements).

// VEC3 of FLOAT (positions, normals).
std::optional<std::string> readVec3Accessor(const tinygltf::Model& model, int accessor, std::vector<Vec3f>& out);

// VEC2 of FLOAT, or of UNSIGNED_BYTE or UNSIGNED_SHORT normalised to 0..1
// (texture coordinates).
std::optional<std::string> readVec2Accessor(const tinygltf::Model& model, int accessor, std::vector<Vec2f>& out);

// SCALAR of UNSIGNED_BYTE, UNSIGNED_SHORT or UNSIGNED_INT (indices).
std::optional<std::string> readIndexAccessor(const tinygltf::Model& model, int accessor,
                                             std::vector<std::uint32_t>& out);

// Where a buffer view's bytes lie: its buffer's data and the view's range,
// checked to lie inside it.
struct ByteRange {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
};
std::optional<std::string> findBufferView(const tinygltf::Model& model, int view, ByteRange& out);

}  // namespace xmo
