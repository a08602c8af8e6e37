#include "app/film_check.h"

#include "app/tool_media_loader.h"
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

FilmProblems checkFilm(const std::string& moviePath, std::ostream& notes) {
    ToolMediaLoader media;
    QuietLoadServices tool(&media, nullptr, &notes);
    CheckedMovie checked = loadMovieToCheck(moviePath, tool.services);
    // A file that holds no movie at all has nothing more to check.
    if (checked.movie) {
        planPhysics(*checked.movie, tool.diagnostics);
        reportUnusableMusicFiles(*checked.movie, tool.diagnostics);
        reportWorldImageProblems(moviePath, notes, tool.diagnostics);
    }
    tool.diagnostics.sortByFileAndLine();
    return {tool.diagnostics.items(), std::move(checked.refusal)};
}

}  // namespace xmo
