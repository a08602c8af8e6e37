// Imports for the loader tests: a model read from text or from a file of
// tests/data/import, with what it reported and the pictures it decoded, and
// the questions the tests ask of the nodes it made.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "image/image_file.h"
#include "import/model_import.h"
#include "math/vec.h"

namespace xmo::test {

// A model file's contents written in a test.
struct Text {
    std::string bytes;
};

struct Import {
    // fileName names the text in messages; its folder (under the test data)
    // holds the files the text names.
    Import(ModelFormat format, const Text& text, const std::string& fileName, const std::string& objectName = "",
           float scale = 1.0f, const ImageDecoder* images = nullptr);
    // The file itself, its meshes completed for `use`.
    Import(ModelFormat format, const std::string& fileName, const std::string& objectName = "", float scale = 1.0f,
           const ImageDecoder* images = nullptr, MeshUse use = MeshUse::Drawing);

    // "kind: message" of every report, in order.
    std::vector<std::string> reports() const;
    // The shapes under the root, the shadow hull last.
    std::vector<Shape*> shapes() const;
    Shape* shape(const std::string& name) const;
    IndexedFaceSet& mesh(const std::string& name) const;
    IndexedFaceSet* hull() const;
    // The box of the root's points (computeBounds).
    std::pair<Vec3f, Vec3f> bounds() const;

    ImageFileDecoder decoder;
    Diagnostics diagnostics;
    ModelTextures textures;
    ImportedModel model;
};

// text with every `from` replaced by `to`.
std::string replaced(std::string text, const std::string& from, const std::string& to);

// The three points of each triangle of a face set, in drawing order.
std::vector<std::array<Vec3f, 3>> trianglesOf(const IndexedFaceSet& mesh);

// The normal listed for a face set's vertex entry r of coordIndex.
Vec3f normalAt(const IndexedFaceSet& mesh, std::size_t r);

}  // namespace xmo::test
