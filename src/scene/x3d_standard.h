// The standard reading of X3D files (an Object with standard="true"): the
// file read by X3D's own rules rather than as the player's subset, for
// models that other programs wrote.
//
// Every Transform is applied in full (translation, rotation, scale, center,
// scaleOrientation), DEF and USE name any node, the primitives (Box,
// Sphere, Cylinder, Cone) are tessellated, the face and triangle sets are
// read with their normals, colours, texture coordinates, ccw, convex and
// creaseAngle, Switch draws its chosen child, LOD its first level, Inline
// reads a local file, and the other grouping nodes are groups. The result
// is the node tree the subset reading makes: a root group of shapes, each
// with its material and one face set whose points already stand where the
// file places them, so bounds, drawing, shadows and physics treat it as any
// scene object. Viewpoints, lights, sensors, interpolators, routes, scripts
// and prototypes are not used; each file names them once in Diagnostics, as
// it names the geometry it does not draw and the USE it cannot follow.
// Depends on scene/ (nodes, shadow meshes), import/ (pictures, shadow hull)
// and base/.
#pragma once

#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "import/model_import.h"

namespace xmo {

// No file read this way places more corners than this in all (USE and
// Inline included), so that no small file can ask for more memory than a
// film player has.
inline constexpr std::size_t kMaxStandardCorners = std::size_t{1} << 23;

// Reads request.fileName, its coordinates multiplied by request.scale, as
// a glTF or OBJ model is imported (import/model_import.h): the root is the
// scene itself for an empty objectName, else a Group of that name holding
// what the DEF'd node draws, null (with whyNoRoot) when the file holds no
// Scene or no node of that name. The pictures of ImageTexture nodes are
// decoded into services.textures, and the model casts through one welded
// shadow hull. A file that cannot be read throws LoadError; malformed XML
// keeps what was read before the error, its line on errors as the subset
// reading writes it.
ImportedModel readStandardX3dFile(const ImportRequest& request, ImportServices& services, std::ostream& errors);

// The same for a file's contents already in memory; request.fileName names
// it in messages, and its folder holds the files it names.
ImportedModel readStandardX3dText(std::string_view text, const ImportRequest& request, ImportServices& services,
                                  std::ostream& errors);

}  // namespace xmo
