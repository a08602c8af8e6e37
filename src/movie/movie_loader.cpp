#include "movie/movie_loader.h"

#include <exception>
#include <new>
#include <optional>
#include <vector>

#include "base/name_table.h"
#include "base/xml_front_end.h"
#include "movie/movie_resolve.h"
#include "movie/values.h"

namespace xmo {

namespace {

enum class Element {
    Animation, Animations, BrikObject, Camera, CameraElement, Contact, Contacts, Eye,
    Join, Joins, KeyFrameForce, KeyFramePosition, KeyFrameRotation, LookAt, Model,
    ModelTransform, Models, Movie, Object, Objects, Particle, Particles, Point, Sequence,
    Sound, Sounds, SpecialEffect, SpecialEffects, Text, TextChunk, Tiles, XFunction,
    XFunctions, Other,
};

// What must be current when an element starts.
enum class Need { Nothing, Root, Sequence, Camera, CameraElement, EyeOrLookAt, TextChunk, Animation };

struct ElementInfo {
    Element element;
    Need need;
};

constexpr NameEntry<ElementInfo> kElementNames[] = {
    {"Animation", {Element::Animation, Need::Sequence}},
    {"Animations", {Element::Animations, Need::Sequence}},
    {"BrikObject", {Element::BrikObject, Need::Root}},
    {"Camera", {Element::Camera, Need::Sequence}},
    {"CameraElement", {Element::CameraElement, Need::Camera}},
    {"Contact", {Element::Contact, Need::Root}},
    {"Contacts", {Element::Contacts, Need::Root}},
    {"Eye", {Element::Eye, Need::CameraElement}},
    {"Join", {Element::Join, Need::Root}},
    {"Joins", {Element::Joins, Need::Root}},
    {"KeyFrameForce", {Element::KeyFrameForce, Need::Animation}},
    {"KeyFramePosition", {Element::KeyFramePosition, Need::Animation}},
    {"KeyFrameRotation", {Element::KeyFrameRotation, Need::Animation}},
    {"LookAt", {Element::LookAt, Need::CameraElement}},
    {"Model", {Element::Model, Need::Root}},
    {"ModelTransform", {Element::ModelTransform, Need::Root}},
    {"Models", {Element::Models, Need::Root}},
    {"Movie", {Element::Movie, Need::Nothing}},
    {"Object", {Element::Object, Need::Root}},
    {"Objects", {Element::Objects, Need::Root}},
    {"Particle", {Element::Particle, Need::Sequence}},
    {"Particles", {Element::Particles, Need::Sequence}},
    {"Point", {Element::Point, Need::EyeOrLookAt}},
    {"Sequence", {Element::Sequence, Need::Root}},
    {"Sound", {Element::Sound, Need::Root}},
    {"Sounds", {Element::Sounds, Need::Root}},
    {"SpecialEffect", {Element::SpecialEffect, Need::Sequence}},
    {"SpecialEffects", {Element::SpecialEffects, Need::Sequence}},
    {"Text", {Element::Text, Need::TextChunk}},
    {"TextChunk", {Element::TextChunk, Need::Sequence}},
    {"Tiles", {Element::Tiles, Need::Sequence}},
    {"XFunction", {Element::XFunction, Need::Sequence}},
    {"XFunctions", {Element::XFunctions, Need::Sequence}},
};
constexpr NameTable kElements(kElementNames, ElementInfo{Element::Other, Need::Nothing});

// Every attribute name of the format; each element reads those it knows.
enum class Attribute {
    angularvelocity, animatephysics, boxsize, castshadow, collisiontype, color, duration, endtime,
    eyetype, fadetime, filename, frommodelid, function, id, interpolationfunction, keytime,
    linearvelocity, loadfont, loadimage, lookattype, loop, mass, modelid, modelid0, modelid1,
    modelids, objectid, objectname, physicalbased, position, relative, relativemodelid, rotation,
    size, starttime, timer1, tomodelid, type, velocity, writetext, xfunctiontype, Other,
};

constexpr NameEntry<Attribute> kAttributeNames[] = {
    {"angularvelocity", Attribute::angularvelocity}, {"animatephysics", Attribute::animatephysics},
    {"boxsize", Attribute::boxsize}, {"castshadow", Attribute::castshadow},
    {"collisiontype", Attribute::collisiontype}, {"color", Attribute::color},
    {"duration", Attribute::duration}, {"endtime", Attribute::endtime},
    {"eyetype", Attribute::eyetype}, {"fadetime", Attribute::fadetime},
    {"filename", Attribute::filename}, {"frommodelid", Attribute::frommodelid},
    {"function", Attribute::function}, {"id", Attribute::id},
    {"interpolationfunction", Attribute::interpolationfunction}, {"keytime", Attribute::keytime},
    {"linearvelocity", Attribute::linearvelocity}, {"loadfont", Attribute::loadfont},
    {"loadimage", Attribute::loadimage}, {"lookattype", Attribute::lookattype},
    {"loop", Attribute::loop}, {"mass", Attribute::mass},
    {"modelid", Attribute::modelid}, {"modelid0", Attribute::modelid0},
    {"modelid1", Attribute::modelid1}, {"modelids", Attribute::modelids},
    {"objectid", Attribute::objectid}, {"objectname", Attribute::objectname},
    {"physicalbased", Attribute::physicalbased}, {"position", Attribute::position},
    {"relative", Attribute::relative}, {"relativemodelid", Attribute::relativemodelid},
    {"rotation", Attribute::rotation}, {"size", Attribute::size},
    {"starttime", Attribute::starttime}, {"timer1", Attribute::timer1},
    {"tomodelid", Attribute::tomodelid}, {"type", Attribute::type},
    {"velocity", Attribute::velocity}, {"writetext", Attribute::writetext},
    {"xfunctiontype", Attribute::xfunctiontype},
};
constexpr NameTable kAttributes(kAttributeNames, Attribute::Other);

// Calls read(attribute, value) for each attribute of the list in document
// order; each reader ignores the attributes its element does not know.
template <typename Read>
void forEachAttribute(const char** a, Read&& read) {
    for (; *a; a += 2) read(kAttributes.find(a[0]), a[1]);
}

using A = Attribute;

void readObject(Object& o, const char** attributes) {
    forEachAttribute(attributes, [&](Attribute name, const char* v) {
        switch (name) {
        case A::id: readInt(v, o.id); break;
        case A::filename: readString(v, o.filename); break;
        case A::objectname: readString(v, o.objectname); break;
        default: break;
        }
    });
}

void readBrikObject(BrikObject& o, const char** attributes) {
    forEachAttribute(attributes, [&](Attribute name, const char* v) {
        switch (name) {
        case A::id: readInt(v, o.id); break;
        case A::size: o.size = readVec3(v); break;
        case A::color: readInt(v, o.color); break;
        default: break;
        }
    });
}

void readModel(Model& m, const char** attributes) {
    forEachAttribute(attributes, [&](Attribute name, const char* v) {
        switch (name) {
        case A::id: readInt(v, m.id); break;
        case A::objectid: readInt(v, m.objectid); break;
        case A::position: m.position = readVec3(v); break;
        case A::rotation: m.rotation = readRotation(v); break;
        case A::physicalbased: m.physicalbased = readBool(v); break;
        case A::animatephysics: m.animatephysics = readBool(v); break;
        case A::castshadow: m.castshadow = readBool(v); break;
        case A::collisiontype: readInt(v, m.collisiontype); break;
        case A::boxsize: m.boxsize = readVec3(v); break;
        case A::mass: readFloat(v, m.mass); break;
        case A::relative: m.relative = readVec3(v); break;
        case A::relativemodelid: readInt(v, m.relativemodelid); break;
        case A::function: readString(v, m.function); break;
        default: break;
        }
    });
}

void readModelTransform(ModelTransform& t, const char** attributes) {
    forEachAttribute(attributes, [&](Attribute name, const char* v) {
        switch (name) {
        case A::id: readInt(v, t.id); break;
        case A::position: t.position = readVec3(v); break;
        case A::rotation: t.rotation = readRotation(v); break;
        default: break;
        }
    });
}

void readJoin(Join& j, const char** attributes) {
    forEachAttribute(attributes, [&](Attribute name, const char* v) {
        switch (name) {
        case A::id: readInt(v, j.id); break;
        case A::modelid0: readInt(v, j.modelid0); break;
        case A::modelid1: readInt(v, j.modelid1); break;
        case A::position: j.position = readVec3(v); break;
        default: break;
        }
    });
}

void readContact(Contact& c, const char** attributes) {
    forEachAttribute(attributes, [&](Attribute name, const char* v) {
        switch (name) {
        case A::id: readInt(v, c.id); break;
        case A::modelid0: readInt(v, c.modelid0); break;
        case A::modelid1: readInt(v, c.modelid1); break;
        default: break;
        }
    });
}

void readSound(Sound& s, const char** attributes) {
    forEachAttribute(attributes, [&](Attribute name, const char* v) {
        switch (name) {
        case A::filename: readString(v, s.filename); break;
        case A::starttime: readFloat(v, s.starttime); break;
        default: break;
        }
    });
}

void readSequence(Sequence& s, const char** attributes) {
    forEachAttribute(attributes, [&](Attribute name, const char* v) {
        if (name == A::duration) readFloat(v, s.duration);
    });
}

void readCameraElement(CameraElement& e, const char** attributes) {
    forEachAttribute(attributes, [&](Attribute name, const char* v) {
        switch (name) {
        case A::duration: readFloat(v, e.duration); break;
        case A::eyetype: readString(v, e.eyetype); break;
        case A::lookattype: readString(v, e.lookattype); break;
        case A::interpolationfunction:
            readString(v, e.interpolationfunction);
            e.easing = easingOf(e.interpolationfunction.c_str());
            break;
        default: break;
        }
    });
}

void readAnimation(Animation& an, const char** attributes) {
    forEachAttribute(attributes, [&](Attribute name, const char* v) {
        switch (name) {
        case A::modelid: readInt(v, an.modelid); break;
        case A::interpolationfunction:
            readString(v, an.interpolationfunction);
            an.mode = animationModeOf(an.interpolationfunction.c_str());
            break;
        case A::loop: an.loop = readBool(v); break;
        default: break;
        }
    });
}

// Position and rotation keys share their attributes but for the value.
template <typename Key, typename ReadValue>
void readKey(Key& k, const char** attributes, Attribute valueName, ReadValue&& readValue) {
    forEachAttribute(attributes, [&](Attribute name, const char* v) {
        if (name == A::keytime) {
            readFloat(v, k.keytime);
        } else if (name == A::interpolationfunction) {
            readString(v, k.interpolationfunction);
            k.easing = easingOf(k.interpolationfunction.c_str());
        } else if (name == valueName) {
            readValue(v);
        }
    });
}

void readKeyFramePosition(KeyFramePosition& k, const char** attributes) {
    readKey(k, attributes, A::position, [&k](const char* v) { k.position = readVec3(v); });
}

void readKeyFrameRotation(KeyFrameRotation& k, const char** attributes) {
    readKey(k, attributes, A::rotation, [&k](const char* v) { k.rotation = readRotation(v); });
}

void readKeyFrameForce(KeyFrameForce& k, const char** attributes) {
    forEachAttribute(attributes, [&](Attribute name, const char* v) {
        switch (name) {
        case A::keytime: readFloat(v, k.keytime); break;
        case A::linearvelocity: k.linearvelocity = readVec3(v); break;
        case A::position: k.position = readVec3(v); break;
        case A::rotation: k.rotation = readRotation(v); break;
        case A::angularvelocity: k.angularvelocity = readVec3(v); break;
        default: break;
        }
    });
}

void readXFunction(XFunction& x, const char** attributes) {
    forEachAttribute(attributes, [&](Attribute name, const char* v) {
        switch (name) {
        case A::modelid: readInt(v, x.modelid); break;
        case A::xfunctiontype:
            readString(v, x.xfunctiontype);
            x.commandType = commandTypeOf(x.xfunctiontype.c_str());
            break;
        case A::timer1: readFloat(v, x.timer1); break;
        case A::modelids: x.modelids = readIntList(v); break;
        case A::frommodelid: readInt(v, x.frommodelid); break;
        case A::tomodelid: readInt(v, x.tomodelid); break;
        default: break;
        }
    });
}

void readSpecialEffect(SpecialEffect& e, const char** attributes) {
    forEachAttribute(attributes, [&](Attribute name, const char* v) {
        switch (name) {
        case A::type:
            readString(v, e.type);
            e.fadeType = fadeTypeOf(e.type.c_str());
            break;
        case A::starttime: readFloat(v, e.starttime); break;
        case A::endtime: readFloat(v, e.endtime); break;
        default: break;
        }
    });
}

void readParticle(Particle& p, const char** attributes) {
    forEachAttribute(attributes, [&](Attribute name, const char* v) {
        switch (name) {
        case A::type:
            readString(v, p.type);
            p.particleType = particleTypeOf(p.type.c_str());
            break;
        case A::position: p.position = readVec3(v); break;
        case A::velocity: p.velocity = readVec3(v); break;
        case A::fadetime: readFloat(v, p.fadetime); break;
        default: break;
        }
    });
}

void readTextChunk(TextChunk& c, const char** attributes) {
    forEachAttribute(attributes, [&](Attribute name, const char* v) {
        switch (name) {
        case A::starttime: readFloat(v, c.starttime); break;
        case A::endtime: readFloat(v, c.endtime); break;
        default: break;
        }
    });
}

void readText(Text& t, const char** attributes) {
    forEachAttribute(attributes, [&](Attribute name, const char* v) {
        switch (name) {
        case A::loadfont: readString(v, t.loadfont); break;
        case A::writetext: readString(v, t.writetext); break;
        case A::position: t.position = readVec2(v); break;
        case A::color: t.color = readVec3(v); break;
        case A::size: readFloat(v, t.size); break;
        default: break;
        }
    });
}

void readTiles(Tiles& t, const char** attributes) {
    forEachAttribute(attributes, [&](Attribute name, const char* v) {
        switch (name) {
        case A::loadimage: readString(v, t.loadimage); break;
        case A::starttime: readFloat(v, t.starttime); break;
        case A::endtime: readFloat(v, t.endtime); break;
        default: break;
        }
    });
}

// A Point reads "position" only, and only when it is given.
std::optional<Vec3f> readPoint(const char** attributes) {
    std::optional<Vec3f> position;
    forEachAttribute(attributes, [&](Attribute name, const char* v) {
        if (name == A::position) position = readVec3(v);
    });
    return position;
}

template <typename T>
T& append(std::vector<std::unique_ptr<T>>& list) {
    list.push_back(std::make_unique<T>());
    return *list.back();
}

// Model transforms are walked, drawn and freed recursively; deeper nesting
// than any film needs would run those out of stack.
constexpr int kMaxTransformDepth = 1000;

// The state of one load: the element handlers of the front end.
class MovieLoader final : public XmlElementHandler {
public:
    MovieLoader(const std::string& fileName, LoadServices& services)
        : fileName_(fileName), services_(services), xml_(fileName, *this) {}

    std::unique_ptr<Movie> parseFile() { return finish(xml_.parseFile("movie file")); }
    std::unique_ptr<Movie> parseText(std::string_view text) { return finish(xml_.parseText(text)); }

private:
    std::unique_ptr<Movie> finish(const std::optional<XmlSyntaxProblem>& problem) {
        if (problem) throw XmlSyntaxError(fileName_, problem->line, problem->message());
        requirePlayableStructure();
        return std::move(movieRoot_);
    }

    [[noreturn]] void refuse(const char* name, const char* where) {
        throw LoadError(fileName_, xml_.currentLine(), std::string(name) + " must be defined in " + where);
    }

    void requireNeed(Need need, const char* name) {
        switch (need) {
        case Need::Nothing: return;
        case Need::Root:
            if (!movieRoot_) refuse(name, "a Movie");
            return;
        case Need::Sequence:
            if (!currentSequence_) refuse(name, "a sequence");
            return;
        case Need::Camera:
            if (!currentCamera_) refuse(name, "a camera");
            return;
        case Need::CameraElement:
            if (!currentCameraElement_) refuse(name, "a camera element");
            return;
        case Need::EyeOrLookAt:
            if (!currentCameraElement_) refuse(name, "a camera element");
            if (!inEye_ && !inLookAt_) refuse(name, "an Eye or a LookAt");
            return;
        case Need::TextChunk:
            if (!currentTextChunk_) refuse(name, "a text chunk");
            return;
        case Need::Animation:
            if (!currentAnimation_) refuse(name, "an animation");
            return;
        }
    }

    // Models go into the innermost open transform, wherever they stand.
    std::vector<std::unique_ptr<BaseModel>>& modelList() {
        return currentTransform_ ? currentTransform_->children : movieRoot_->models;
    }

    // A rotation that could not turn anything is kept as no rotation; the
    // author likely forgot the axis.
    void reportRotationsWithoutAxis(const char** a, int line) {
        for (; *a; a += 2)
            if (kAttributes.find(a[0]) == A::rotation && !hasRotationAxis(a[1]))
                services_.diagnostics.report(DiagnosticKind::RotationWithoutAxis, fileName_, line,
                                             std::string("rotation \"") + a[1] +
                                                 "\" turns about an axis of zero length; it is read as no rotation");
    }

    template <typename T>
    T& appendModel() {
        auto& list = modelList();
        list.push_back(std::make_unique<T>());
        return static_cast<T&>(*list.back());
    }

    void startElement(const char* name, const char** a) override {
        const ElementInfo info = kElements.find(name);
        openElements_.push_back(info.element);
        if (info.element == Element::Other) return;
        requireNeed(info.need, name);
        const int line = xml_.currentLine();
        switch (info.element) {
        case Element::Movie:
            // A later "Movie" replaces the root; records of the earlier one stay
            // alive until the load ends, as current records may still point there.
            if (movieRoot_) replacedRoots_.push_back(std::move(movieRoot_));
            movieRoot_ = std::make_unique<Movie>();
            movieRoot_->fileName = fileName_;
            movieLine_ = line;
            break;
        case Element::Object: {
            auto& o = static_cast<Object&>(*movieRoot_->objects.emplace_back(std::make_unique<Object>()));
            o.sourceLine = line;
            readObject(o, a);
            break;
        }
        case Element::BrikObject: {
            auto& o = static_cast<BrikObject&>(*movieRoot_->objects.emplace_back(std::make_unique<BrikObject>()));
            o.sourceLine = line;
            readBrikObject(o, a);
            break;
        }
        case Element::Model: {
            auto& m = appendModel<Model>();
            m.sourceLine = line;
            readModel(m, a);
            reportRotationsWithoutAxis(a, line);
            break;
        }
        case Element::ModelTransform: {
            if (transformDepth_ == kMaxTransformDepth)
                throw LoadError(fileName_, line,
                                "ModelTransform nested deeper than " + std::to_string(kMaxTransformDepth) + " levels");
            ++transformDepth_;
            auto& t = appendModel<ModelTransform>();
            t.sourceLine = line;
            t.parent = currentTransform_;
            currentTransform_ = &t;
            readModelTransform(t, a);
            reportRotationsWithoutAxis(a, line);
            break;
        }
        case Element::Join: {
            auto& j = append(movieRoot_->joins);
            j.sourceLine = line;
            readJoin(j, a);
            break;
        }
        case Element::Contact: {
            auto& c = append(movieRoot_->contacts);
            c.sourceLine = line;
            readContact(c, a);
            break;
        }
        case Element::Sound: {
            auto& s = append(movieRoot_->sounds);
            s.sourceLine = line;
            readSound(s, a);
            break;
        }
        case Element::Sequence: {
            auto& s = append(movieRoot_->sequences);
            s.sourceLine = line;
            currentSequence_ = &s;
            readSequence(s, a);
            break;
        }
        case Element::Camera:
            // A second Camera replaces the first; the current camera element
            // may still belong to the old one, so it is kept until the end.
            if (currentSequence_->camera) replacedCameras_.push_back(std::move(currentSequence_->camera));
            currentSequence_->camera = std::make_unique<Camera>();
            currentCamera_ = currentSequence_->camera.get();
            currentCamera_->sourceLine = line;
            break;
        case Element::CameraElement: {
            auto& e = append(currentCamera_->elements);
            e.sourceLine = line;
            currentCameraElement_ = &e;
            readCameraElement(e, a);
            break;
        }
        case Element::Eye: inEye_ = true; break;
        case Element::LookAt: inLookAt_ = true; break;
        case Element::Point:
            if (const std::optional<Vec3f> position = readPoint(a))
                (inEye_ ? currentCameraElement_->eyePoints : currentCameraElement_->lookAtPoints).push_back(*position);
            break;
        case Element::Animation: {
            auto& an = append(currentSequence_->animations);
            an.sourceLine = line;
            currentAnimation_ = &an;
            readAnimation(an, a);
            break;
        }
        case Element::KeyFramePosition: readKeyFramePosition(append(currentAnimation_->positionKeys), a); break;
        case Element::KeyFrameRotation:
            readKeyFrameRotation(append(currentAnimation_->rotationKeys), a);
            reportRotationsWithoutAxis(a, line);
            break;
        case Element::KeyFrameForce:
            readKeyFrameForce(append(currentAnimation_->forceKeys), a);
            reportRotationsWithoutAxis(a, line);
            break;
        case Element::XFunction: {
            auto& x = append(currentSequence_->xfunctions);
            x.sourceLine = line;
            readXFunction(x, a);
            break;
        }
        case Element::SpecialEffect: {
            auto& e = append(currentSequence_->specialEffects);
            e.sourceLine = line;
            readSpecialEffect(e, a);
            break;
        }
        case Element::Particle: readParticle(append(currentSequence_->particles), a); break;
        case Element::TextChunk: {
            auto& c = append(currentSequence_->textChunks);
            currentTextChunk_ = &c;
            readTextChunk(c, a);
            break;
        }
        case Element::Text: {
            auto& t = append(currentTextChunk_->texts);
            t.sourceLine = line;
            readText(t, a);
            if (!t.loadfont.empty()) services_.media.loadFont(t, fileName_.c_str(), services_.diagnostics);
            break;
        }
        case Element::Tiles: {
            auto& t = append(currentSequence_->tiles);
            t.sourceLine = line;
            readTiles(t, a);
            services_.media.loadTile(t, fileName_.c_str(), services_.diagnostics);
            break;
        }
        case Element::Objects:
        case Element::Models:
        case Element::Joins:
        case Element::Contacts:
        case Element::Sounds:
        case Element::Animations:
        case Element::XFunctions:
        case Element::SpecialEffects:
        case Element::Particles:
        case Element::Other: break;
        }
    }

    // expat reports end tags only for elements it reported starting, in
    // nesting order, so the stack of open elements names the one that ends.
    void endElement(const char*) override {
        const Element element = openElements_.back();
        openElements_.pop_back();
        switch (element) {
        case Element::Eye: inEye_ = false; break;
        case Element::LookAt: inLookAt_ = false; break;
        case Element::Animation: currentAnimation_ = nullptr; break;
        case Element::TextChunk: currentTextChunk_ = nullptr; break;
        case Element::ModelTransform:
            currentTransform_ = currentTransform_->parent;
            --transformDepth_;
            break;
        default: break;
        }
    }

    // The player needs a root, at least one sequence and a camera in each.
    void requirePlayableStructure() const {
        if (!movieRoot_) throw LoadError(fileName_, 0, "not a movie file");
        if (movieRoot_->sequences.empty()) throw LoadError(fileName_, movieLine_, "the movie has no Sequence");
        for (size_t i = 0; i < movieRoot_->sequences.size(); ++i) {
            const Sequence& s = *movieRoot_->sequences[i];
            if (!s.camera)
                throw LoadError(fileName_, s.sourceLine, "Sequence " + std::to_string(i + 1) + " has no Camera");
        }
    }

    const std::string& fileName_;
    LoadServices& services_;
    XmlFrontEnd xml_;
    std::vector<Element> openElements_;

    std::unique_ptr<Movie> movieRoot_;
    std::vector<std::unique_ptr<Movie>> replacedRoots_;
    std::vector<std::unique_ptr<Camera>> replacedCameras_;
    int movieLine_ = 0;
    Sequence* currentSequence_ = nullptr;
    Camera* currentCamera_ = nullptr;
    CameraElement* currentCameraElement_ = nullptr;
    Animation* currentAnimation_ = nullptr;
    TextChunk* currentTextChunk_ = nullptr;
    ModelTransform* currentTransform_ = nullptr;
    int transformDepth_ = 0;
    bool inEye_ = false;
    bool inLookAt_ = false;
};

}  // namespace

namespace {

// Whatever runs out of memory while a film loads (expat, a scene, the
// records, the physics world) ends the load, never the process.
template <typename Parse>
std::unique_ptr<Movie> loadWith(const std::string& fileName, LoadServices& services, Parse&& parse) {
    try {
        MovieLoader loader(fileName, services);
        std::unique_ptr<Movie> movie = parse(loader);
        resolveMovie(*movie, services);
        return movie;
    } catch (const std::bad_alloc&) {
        throw LoadError(fileName, 0, "out of memory while loading");
    }
}

}  // namespace

std::unique_ptr<Movie> loadMovieFromText(std::string_view text, const std::string& fileName, LoadServices& services) {
    return loadWith(fileName, services, [text](MovieLoader& loader) { return loader.parseText(text); });
}

std::unique_ptr<Movie> loadMovie(const std::string& path, LoadServices& services) {
    return loadWith(path, services, [](MovieLoader& loader) { return loader.parseFile(); });
}

std::string formatLoadError(const LoadError& error) {
    // Formatted like a diagnostic; the kind plays no part in the text.
    return formatDiagnostic({DiagnosticKind::ParseError, error.file(), error.line(), error.what()});
}

std::string describeLoadError(const LoadError& error) {
    if (dynamic_cast<const XmlSyntaxError*>(&error)) return error.what();
    return formatLoadError(error);
}

}  // namespace xmo
