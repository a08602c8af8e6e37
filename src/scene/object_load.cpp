#include "movie/movie.h"
#include "scene/scene_loader.h"
#include "scene/x3d_standard.h"

namespace xmo {

namespace {

// Reported at the film's Object, whose file the resolution pass fills in.
void reportNotLoaded(const Object& object, ObjectLoadContext& context, const std::string& why) {
    context.diagnostics.report(DiagnosticKind::ObjectNotLoaded, "", object.sourceLine,
                               "Object " + std::to_string(object.id) + ": " + object.filename + ": " + why);
}

// Whether the subset reading finds the object's group, and says why not.
Group* findSubsetRoot(Object& object, ObjectLoadContext& context) {
    Scene& scene = *object.scene;
    Group* root = dynamic_cast<Group*>(findByName(scene, object.objectname));
    if (!root) {
        reportNotLoaded(object, context, explainMissingGroup(scene, object.objectname));
        return nullptr;
    }
    if (root == &scene && !scene.viewpoints.empty())
        context.diagnostics.report(
            DiagnosticKind::ViewpointMovesObject, object.filename, scene.viewpoints.front()->sourceLine,
            "this Viewpoint moves the whole object as a camera at its position would see it, since objectname "
            "names the Scene: name a group inside it, or read the file with standard=\"true\", which uses no "
            "viewpoint");
    return root;
}

}  // namespace

void Object::load(ObjectLoadContext& context) {
    root = nullptr;
    companionFiles.clear();
    if (standard) {
        StandardReading reading = readStandardX3dFile(filename, objectname, context.progress, context.errors,
                                                      context.diagnostics, context.meshUse);
        scene = std::move(reading.scene);
        root = reading.root;
        companionFiles = std::move(reading.companionFiles);
        if (scene) scene->prepare(context.lights);
        if (!root) reportNotLoaded(*this, context, reading.whyNoRoot);
    } else {
        scene = loadSceneFile(filename, context.progress, context.errors, context.diagnostics, context.meshUse);
        if (scene) {
            scene->prepare(context.lights);
            root = findSubsetRoot(*this, context);
        } else {
            reportNotLoaded(*this, context, "the file holds no \"Scene\"");
        }
    }
    if (!root) {
        context.progress << "Error in loading object" << objectname << "\n";
        return;
    }
    context.progress << ".";
    loaded = true;
    computeBounds(*root, min, max);
}

}  // namespace xmo
