#include "app/film_check.h"

#include <algorithm>
#include <cstdio>

#include "app/gl_setup.h"
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

namespace {

// An object that a model shows yet cannot be seen: no mesh at all, or
// larger than the far clipping plane lets a camera see whole. An object no
// model names (one read for its light alone) is not looked at.
void reportUnseenObjects(const Movie& movie, Diagnostics& diagnostics) {
    std::vector<const BaseObject*> shown;
    forEachModel(movie.models, [&](const BaseModel& m) {
        const auto* model = dynamic_cast<const Model*>(&m);
        if (model && model->object) shown.push_back(model->object);
    });
    for (const auto& object : movie.objects) {
        const auto* scene = dynamic_cast<const Object*>(object.get());
        if (!scene || !scene->loaded || std::find(shown.begin(), shown.end(), scene) == shown.end()) continue;
        const std::string name = "Object " + std::to_string(scene->id) + ": ";
        if (scene->min.e[0] > scene->max.e[0]) {
            diagnostics.report(DiagnosticKind::EmptyObject, movie.fileName, scene->sourceLine,
                               name + "\"" + scene->objectname + "\" in " + scene->filename +
                                   " holds no mesh the reading draws; nothing of it shows");
            continue;
        }
        const float across = length(scene->max - scene->min);
        if (!(across > kFarPlane)) continue;
        // A power of ten that brings the object within 10 units, on top of
        // the scale it is read at already.
        float shrink = 0.1f;
        while (across * shrink > 10.0f && shrink > 1e-9f) shrink *= 0.1f;
        const float scale = scene->scale * shrink;
        char size[64], suggestion[32];
        std::snprintf(size, sizeof size, "%.0f", static_cast<double>(across));
        std::snprintf(suggestion, sizeof suggestion, "%g", static_cast<double>(scale));
        diagnostics.report(DiagnosticKind::BeyondFarPlane, movie.fileName, scene->sourceLine,
                           name + size + " units across; nothing beyond " +
                               std::to_string(static_cast<int>(kFarPlane)) +
                               " units from the eye is drawn: try scale=\"" + suggestion + "\"");
    }
}

}  // namespace

FilmProblems checkFilm(const std::string& moviePath, std::ostream& notes) {
    ToolMediaLoader media;
    QuietLoadServices tool(&media, nullptr, &notes);
    CheckedMovie checked = loadMovieToCheck(moviePath, tool.services);
    // A file that holds no movie at all has nothing more to check.
    if (checked.movie) {
        planPhysics(*checked.movie, tool.diagnostics);
        reportUnseenObjects(*checked.movie, tool.diagnostics);
        reportUnusableMusicFiles(*checked.movie, tool.diagnostics);
        reportWorldImageProblems(moviePath, notes, tool.diagnostics);
    }
    tool.diagnostics.sortByFileAndLine();
    return {tool.diagnostics.items(), std::move(checked.refusal)};
}

}  // namespace xmo
