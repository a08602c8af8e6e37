// The scene file loader: X3D-subset XML (plus the "castshadow" attribute) into
// the node tree of scene/nodes.h, and the searches an Object needs to take
// its group out of a loaded scene.
//
// A file reaches expat through the front end of base/xml_front_end.h, which
// makes every run of blanks one blank and keeps the file's own lines;
// numbers are converted in place from the parser's attribute text. The
// result is the Scene element last started. Problems an author should fix go to the errors stream (the
// player's standard error) and into Diagnostics with the file's own line:
// malformed XML keeps the scene built so far, an element outside the parent
// it needs is skipped with everything inside it. Depends on expat and the
// scene nodes only.
#pragma once

#include <cstddef>
#include <memory>
#include <ostream>
#include <string>

#include "base/diagnostics.h"
#include "scene/nodes.h"

namespace xmo {

// Loads fileName, its meshes completed for `use`. A file that cannot be read
// writes "Error in loading file " and its name to progress and throws
// LoadError. Returns null when the file holds no "Scene" element. Every mesh
// point and viewpoint position is multiplied by scale as it is read.
std::unique_ptr<Scene> loadSceneFile(const std::string& fileName, std::ostream& progress, std::ostream& errors,
                                     Diagnostics& diagnostics, MeshUse use = MeshUse::Drawing, float scale = 1.0f);

// The same for a file's contents already in memory; fileName only names it
// in messages.
std::unique_ptr<Scene> loadSceneText(const char* text, std::size_t size, const std::string& fileName,
                                     std::ostream& errors, Diagnostics& diagnostics, MeshUse use = MeshUse::Drawing);

// The node called name: depth first over the groups with an explicit stack,
// the first popped group carrying the name wins at once; otherwise the last
// child match recorded (a child node, or the geometry of a child shape) wins.
Drawable* findByName(Scene& scene, const std::string& name);

// The name of a group of the scene (a Group, Transform or the Scene) that
// differs from name only in case, for a "did you mean"; empty when none does.
std::string findGroupNameIgnoringCase(Scene& scene, const std::string& name);

// Why objectname gives no group in the subset reading, for check: what the
// name is when it names a node that is not a group, else the groups there
// are, else every DEF name of the file;
// a group whose name differs only in case comes first, as a "did you mean".
std::string explainMissingGroup(Scene& scene, const std::string& name);

// Bounding box of every mesh under root, with its coordinates as written (no
// Transform is applied). Without meshes min stays above max.
void computeBounds(Group& root, Vec3f& min, Vec3f& max);

}  // namespace xmo
