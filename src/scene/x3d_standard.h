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
// Depends on scene/ (nodes, shadow meshes) and base/.
#pragma once

#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "base/diagnostics.h"
#include "scene/nodes.h"

namespace xmo {

struct StandardReading {
    std::unique_ptr<Scene> scene;
    // The scene itself for an empty objectName, else a Group of that name in
    // it holding what the DEF'd node draws; null when the file holds no
    // Scene or no node of that name.
    Group* root = nullptr;
    // Why root is null, for the film's Object to report.
    std::string whyNoRoot;
    // Files that the file names and that were read with it (Inline), as
    // opened: relative to the working directory.
    std::vector<std::string> companionFiles;
};

// No file read this way places more corners than this in all (USE and
// Inline included), so that no small file can ask for more memory than a
// film player has.
inline constexpr std::size_t kMaxStandardCorners = std::size_t{1} << 23;

// Reads fileName. A file that cannot be read throws LoadError (after
// "Error in loading file " and its name on progress); malformed XML keeps
// what was read before the error, its line on errors as the subset reading
// writes it.
StandardReading readStandardX3dFile(const std::string& fileName, const std::string& objectName,
                                    std::ostream& progress, std::ostream& errors, Diagnostics& diagnostics,
                                    MeshUse use = MeshUse::Drawing);

// The same for a file's contents already in memory; fileName names it in
// messages, and its folder holds the files an Inline names.
StandardReading readStandardX3dText(std::string_view text, const std::string& fileName,
                                    const std::string& objectName, std::ostream& errors, Diagnostics& diagnostics,
                                    MeshUse use = MeshUse::Drawing);

}  // namespace xmo
