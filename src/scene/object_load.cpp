#include <cmath>

#include "import/model_import.h"
#include "movie/movie.h"
#include "movie/value_text.h"
#include "scene/scene_loader.h"

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

}  // namespace

void Object::load(ObjectLoadContext& context) {
    const float readScale = usableScale(*this, context.diagnostics);
    root = nullptr;
    companionFiles.clear();
    if (const std::optional<ModelFormat> format = modelFormatOf(filename)) {
        ImportServices services{context.diagnostics, context.images, context.textures};
        ImportedModel model;
        try {
            model = importModelFile(*format, ImportRequest{filename, objectname, readScale}, services);
        } catch (const LoadError&) {
            context.progress << "Error in loading file " << filename << "\n";
            context.progress.flush();
            throw;
        }
        scene = std::move(model.scene);
        root = model.root;
        companionFiles = std::move(model.companionFiles);
        // The importer has said why when it gave no root.
        if (scene) scene->prepare(context.lights);
    } else {
        scene = loadSceneFile(filename, context.progress, context.errors, context.diagnostics, readScale);
        if (scene) {
            scene->prepare(context.lights);
            root = dynamic_cast<Group*>(findByName(*scene, objectname));
        }
        if (!root)
            context.diagnostics.report(DiagnosticKind::ObjectNotLoaded, filename, 0,
                                       scene ? "no group named \"" + objectname + "\" in the scene"
                                             : std::string("the file holds no \"Scene\""));
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
