#include "movie/movie.h"
#include "scene/scene_loader.h"

namespace xmo {

void Object::load(ObjectLoadContext& context) {
    scene = loadSceneFile(filename, context.progress, context.errors, context.diagnostics, context.meshUse);
    root = nullptr;
    if (scene) {
        scene->prepare(context.lights);
        root = dynamic_cast<Group*>(findByName(*scene, objectname));
    }
    if (!root) {
        context.progress << "Error in loading object" << objectname << "\n";
        context.diagnostics.report(DiagnosticKind::ObjectNotLoaded, filename, 0,
                                   scene ? "no group named \"" + objectname + "\" in the scene"
                                         : std::string("the file holds no \"Scene\""));
        return;
    }
    context.progress << ".";
    loaded = true;
    computeBounds(*root, min, max);
}

}  // namespace xmo
