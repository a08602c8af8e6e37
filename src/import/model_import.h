// Models from the files authors' tools write: glTF 2.0 (.gltf, .glb) and
// Wavefront OBJ (.obj with its .mtl material libraries), read into the scene
// nodes a scene file gives, so that drawing, bounds, physics sizes,
// placement and shadows treat them as any scene object.
//
// An import yields a Scene whose root group (the scene itself for a whole
// file, else a Group named after the node or group asked for) holds one
// Shape per material: a Material, an ImageTexture when the material has a
// picture, and an IndexedFaceSet of triangles with a normal per corner (and
// texture coordinates for a picture). Transforms of the file are applied to
// the points as they are read, as is the object's scale, because the
// player's Transform applies only a scale and bounds take coordinates as
// written. Beside the shapes, one ShadowOnlyMesh holds every triangle with
// its points welded by position: that is what the model casts.
//
// Whatever the player does not draw is named in Diagnostics against the
// model file, never silently dropped; a file that is not well-formed
// leaves the object unloaded with the reader's reason. Pictures go through
// the given ImageDecoder into ModelTextures; nothing here calls OpenGL.
// Depends on scene/ (nodes, shadow meshes, textures), image/, base/, and on
// tinygltf and tinyobjloader, compiled in from their Debian headers.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/diagnostics.h"
#include "image/image_decoder.h"
#include "scene/model_textures.h"
#include "scene/nodes.h"

namespace xmo {

enum class ModelFormat { Gltf, Obj };

// The format of a file by its extension, in any case (.gltf and .glb,
// .obj); nothing for any other file, which is a scene file.
std::optional<ModelFormat> modelFormatOf(const std::string& fileName);

// No model file, and no file it names, is read beyond this size.
inline constexpr std::uint64_t kMaxModelFileBytes = std::uint64_t{1} << 30;

// An import stops adding triangles past this many, so that no file (or a
// small file that places one mesh many times) can ask for more memory than a
// film player has.
inline constexpr std::size_t kMaxImportedTriangles = std::size_t{1} << 24;

struct ImportRequest {
    std::string fileName;    // names the file in messages; its folder holds the files it names
    std::string objectName;  // a glTF node or OBJ group; empty for the whole file
    float scale = 1.0f;      // multiplies every coordinate
};

struct ImportServices {
    Diagnostics& diagnostics;
    const ImageDecoder& images;
    ModelTextures& textures;
    // For checking, the drawn meshes get no normals; every index is checked
    // and the shadow hull is built either way, since check reports its open
    // edges.
    MeshUse meshUse = MeshUse::Drawing;
    // Without a model that casts, no hull is built (nor its open edges
    // reported): it would only cost time and memory.
    bool castsShadow = true;
};

struct ImportedModel {
    std::unique_ptr<Scene> scene;
    Group* root = nullptr;  // null when the file or the named node could not be used
    std::vector<std::string> companionFiles;  // the files it named that were read
    // Why root is null when the film's Object is to say so (the standard
    // reading of a scene file); empty when the reader reported it itself.
    std::string whyNoRoot;
};

// Reads the file's contents already in memory.
ImportedModel importGltf(const std::vector<std::uint8_t>& bytes, const ImportRequest& request,
                         ImportServices& services);
ImportedModel importObj(const std::vector<std::uint8_t>& bytes, const ImportRequest& request,
                        ImportServices& services);

// Reads request.fileName, as a scene file is read: a file that does not
// open, is no regular file or is larger than kMaxModelFileBytes throws
// LoadError; anything else about it is reported and leaves root null.
ImportedModel importModelFile(ModelFormat format, const ImportRequest& request, ImportServices& services);

}  // namespace xmo
