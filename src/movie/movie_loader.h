#pragma once
#include <memory>
#include <ostream>
#include <string>
#include "movie/media_loader.h"
#include "movie/movie.h"
#include "physics/physics_world.h"
namespace xmo {
struct LoadServices { MediaLoader& media; PhysicsWorld& physics; std::ostream& progress; std::ostream& errors; Diagnostics& diagnostics; };
std::unique_ptr<Movie> loadMovie(const std::string& path, LoadServices& services);
}
