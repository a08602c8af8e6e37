#include <cmath>

#include "import/model_import.h"
#include "movie/movie.h"
#include "movie/value_text.h"
#include "scene/scene_loader.h"
#include "scene/x3d_standard.h"

namespace xmo {

namespace {

// The scale an object is read at: its own when it is a positive number.
float usableScale(const Object& object, Diagnostics& diagnostics) {
    if (std::isfinite(object.scale) && object.scale > 0.0f) return object.scale;
    // The movie's file name is filled in by the resolver.
    diagnostics.report(DiagnosticKind::BadScale, "", object.sourceLine,
                       "Object " + std::to_string(object.id) + ": scale " + floatText(object.scale) +
                           " is not a positive number; the object keeps the size of its file");
    return 1.0f;
}

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

// A glTF or OBJ model, or a scene file read the standard way: either says
// why it has no root.
void importModel(Object& object, ObjectLoadContext& context, const std::optional<ModelFormat>& format,
                 float scale) {
    ImportServices services{context.diagnostics, context.images, context.textures, context.meshUse,
                            context.castsShadow};
    const ImportRequest request{object.filename, object.objectname, scale};
    ImportedModel model;
    try {
        model = format ? importModelFile(*format, request, services)
                       : readStandardX3dFile(request, services, context.errors);
    } catch (const LoadError&) {
        context.progress << "Error in loading file " << object.filename << "\n";
        context.progress.flush();
        throw;
    }
    object.scene = std::move(model.scene);
    object.root = model.root;
    object.companionFiles = std::move(model.companionFiles);
    if (object.scene) object.scene->prepare(context.lights);
    if (!object.root && !model.whyNoRoot.empty()) reportNotLoaded(object, context, model.whyNoRoot);
}

}  // namespace

void Object::load(ObjectLoadContext& context) {
    const float readScale = usableScale(*this, context.diagnostics);
    root = nullptr;
    companionFiles.clear();
    const std::optional<ModelFormat> format = modelFormatOf(filename);
    if (format || standard) {
        importModel(*this, context, format, readScale);
    } else {
        scene = loadSceneFile(filename, context.progress, context.errors, context.diagnostics, context.meshUse,
                              readScale);
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
