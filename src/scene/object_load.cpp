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

// Reads the object's group from its scene file into object.scene and
// object.root; false, with the reason reported, when there is none.
bool loadSceneGroup(Object& object, ObjectLoadContext& context, float scale) {
    object.scene = loadSceneFile(object.filename, context.progress, context.errors, context.diagnostics,
                                 context.meshUse, scale);
    Drawable* named = nullptr;
    if (object.scene) {
        object.scene->prepare(context.lights);
        named = findByName(*object.scene, object.objectname);
        object.root = dynamic_cast<Group*>(named);
    }
    if (object.root) return true;
    context.progress << "Error in loading object" << object.objectname << "\n";
    // Reported at the film's Object, whose file the resolution pass fills in.
    std::string message = "Object " + std::to_string(object.id) + ": " + object.filename + ": ";
    if (!object.scene) {
        message += "the file holds no \"Scene\"";
    } else if (named) {
        message += "\"" + object.objectname + "\" names a shape or a mesh, not a group";
    } else {
        message += "no group named \"" + object.objectname + "\"";
        const std::string similar = findGroupNameIgnoringCase(*object.scene, object.objectname);
        if (!similar.empty()) message += "; did you mean \"" + similar + "\"?";
    }
    context.diagnostics.report(DiagnosticKind::ObjectNotLoaded, "", object.sourceLine, message);
    return false;
}

}  // namespace

void Object::load(ObjectLoadContext& context) {
    const float readScale = usableScale(*this, context.diagnostics);
    root = nullptr;
    companionFiles.clear();
    if (const std::optional<ModelFormat> format = modelFormatOf(filename)) {
        ImportServices services{context.diagnostics, context.images, context.textures, context.meshUse,
                                context.castsShadow};
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
        if (!root) {
            context.progress << "Error in loading object" << objectname << "\n";
            return;
        }
    } else if (!loadSceneGroup(*this, context, readScale)) {
        return;
    }
    context.progress << ".";
    loaded = true;
    computeBounds(*root, min, max);
}

}  // namespace xmo
