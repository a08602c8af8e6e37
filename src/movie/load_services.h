// What a movie load needs from the program around it, and the quiet set of
// those services that the tools, tests, benchmarks and fuzz targets load
// films with.
#pragma once

#include <ostream>

#include "base/diagnostics.h"
#include "movie/media_loader.h"
#include "physics/physics_world.h"
#include "scene/renderer_state.h"

namespace xmo {

struct LoadServices {
    MediaLoader& media;  // also decodes the imported models' textures
    PhysicsWorld& physics;
    LightCounter& lights;      // numbers the scenes' lights; nothing is switched on while loading
    ModelTextures& textures;   // the models' decoded pictures; nothing is uploaded while loading
    std::ostream& progress;  // "." per loaded object
    std::ostream& errors;    // parse-error lines of the scene files
    Diagnostics& diagnostics;
    std::ostream& notes;                 // a line for each file found beside the film only (base/film_files.h)
    MeshUse meshUse = MeshUse::Drawing;  // what the scenes' meshes are completed for
};

// Loads no fonts and no images: for loads that need the document only.
class NoMediaLoader final : public MediaLoader {
public:
    void loadFont(Text&, const char*, Diagnostics&) override {}
    void loadTile(Tiles&, const char*, Diagnostics&) override {}
};

// Services that print nothing on their own: object progress is dropped,
// scene files' parse-error lines go to errors and the notes of files found
// beside the film to notes when they are given, every problem is collected
// in diagnostics, the physics world holds no bodies, and meshes are
// completed for checking, not drawing. media defaults to loading nothing.
struct QuietLoadServices {
    explicit QuietLoadServices(MediaLoader* media = nullptr, std::ostream* errors = nullptr,
                               std::ostream* notes = nullptr)
        : services{media ? *media : noMedia,
                   physics,
                   lights,
                   textures,
                   discard,
                   errors ? *errors : discard,
                   diagnostics,
                   notes ? *notes : discard,
                   MeshUse::Checking} {}
    QuietLoadServices(const QuietLoadServices&) = delete;
    QuietLoadServices& operator=(const QuietLoadServices&) = delete;

    NoMediaLoader noMedia;
    PhysicsWorld physics;
    LightCounter lights;
    ModelTextures textures;
    Diagnostics diagnostics;
    std::ostream discard{nullptr};
    LoadServices services;
};

}  // namespace xmo
