#include "movie/movie.h"
#include "scene/scene_loader.h"

namespace xmo {

void Object::load(ObjectLoadContext& context) {
    scene = loadSceneFile(filename, context.progress, context.errors, context.diagnostics, context.meshUse);
    root = nullptr;
    Drawable* named = nullptr;
    if (scene) {
        scene->prepare(context.lights);
        named = findByName(*scene, objectname);
        root = dynamic_cast<Group*>(named);
    }
    if (!root) {
        context.progress << "Error in loading object" << objectname << "\n";
        // Reported at the film's Object, whose file the resolution pass fills in.
        std::string message = "Object " + std::to_string(id) + ": " + filename + ": ";
        if (!scene) {
            message += "the file holds no \"Scene\"";
        } else if (named) {
            message += "\"" + objectname + "\" names a shape or a mesh, not a group";
        } else {
            message += "no group named \"" + objectname + "\"";
            const std::string similar = findGroupNameIgnoringCase(*scene, objectname);
            if (!similar.empty()) message += "; did you mean \"" + similar + "\"?";
        }
        context.diagnostics.report(DiagnosticKind::ObjectNotLoaded, "", sourceLine, message);
        return;
    }
    context.progress << ".";
    loaded = true;
    computeBounds(*root, min, max);
}

}  // namespace xmo
