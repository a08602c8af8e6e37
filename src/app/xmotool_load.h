// What the check, dump and save subcommands share: the windowless services a
// movie is loaded with, and the usage message of a subcommand.
#pragma once

#include <ostream>
#include <string>

#include "app/tool_media_loader.h"
#include "base/diagnostics.h"
#include "movie/movie_loader.h"
#include "physics/physics_world.h"
#include "scene/renderer_state.h"

namespace xmo {

// Object progress ("." per object) is dropped: the tools' output is their own.
// Parse-error lines of scene files go to errors, or are dropped without it.
struct ToolServices {
    explicit ToolServices(std::ostream* errors = nullptr)
        : services{media, physics, lights, discard, errors ? *errors : discard, diagnostics} {}

    ToolMediaLoader media;
    PhysicsWorld physics;
    LightCounter lights;
    Diagnostics diagnostics;
    std::ostream discard{nullptr};
    LoadServices services;
};

// Prints "usage: xmotool ARGS" on standard error; returns the usage exit code.
int usageError(const char* usage);

}  // namespace xmo
