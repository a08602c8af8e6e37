#include "app/film_check.h"

#include <filesystem>

#include "app/tool_media_loader.h"
#include "effects/effect_names.h"
#include "effects/music_files.h"
#include "movie/load_services.h"
#include "physics/body_plan.h"
#include "terrain/world_files.h"

namespace xmo {

void planPhysics(Movie& movie, Diagnostics& diagnostics) {
    const BodyPlan plan = planBodies(movie);
    numberPlannedRecords(plan);
    for (const Diagnostic& d : plan.problems) diagnostics.report(d.kind, d.file, d.line, d.message);
}

FilmProblems checkFilm(const std::string& moviePath) {
    ToolMediaLoader media;
    QuietLoadServices tool(&media);
    FilmProblems found;
    try {
        const std::unique_ptr<Movie> movie = loadMovie(moviePath, tool.services);
        planPhysics(*movie, tool.diagnostics);
        reportUnknownEffectNames(*movie, tool.diagnostics);
        reportUnusableMusicFiles(*movie, tool.diagnostics);
        // The player reads the world from its working directory, which is the
        // film's folder when the film is played from there. A refused film
        // never gets that far.
        reportWorldImageProblems(std::filesystem::path(moviePath).parent_path().string(), tool.diagnostics);
    } catch (const LoadError& e) {
        found.refusal = e;
    }
    found.problems = tool.diagnostics.items();
    return found;
}

}  // namespace xmo
