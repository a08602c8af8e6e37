#include "movie/movie_loader.h"

#include <expat.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <exception>
#include <iterator>

#include "movie/movie_resolve.h"
#include "movie/values.h"

namespace xmo {

namespace {

enum class Element {
    Animation, Animations, BrikObject, Camera, CameraElement, Contact, Contacts, Eye,
    Join, Joins, KeyFrameForce, KeyFramePosition, KeyFrameRotation, LookAt, Model,
    ModelTransform, Models, Movie, Object, Objects, Particle, Particles, Point, Sequence,
    Sound, Sounds, SpecialEffect, SpecialEffects, Text, TextChunk, Tiles, XFunction,
    XFunctions,
};

// What must be current when an element starts.
enum class Need { Nothing, Root, Sequence, Camera, CameraElement, EyeOrLookAt, TextChunk, Animation };

struct ElementInfo {
    const char* name;
    Element element;
    Need need;
};

// Sorted by name for the binary search in findElement.
constexpr ElementInfo kElements[] = {
    {"Animation", Element::Animation, Need::Sequence},
    {"Animations", Element::Animations, Need::Sequence},
    {"BrikObject", Element::BrikObject, Need::Root},
    {"Camera", Element::Camera, Need::Sequence},
    {"CameraElement", Element::CameraElement, Need::Camera},
    {"Contact", Element::Contact, Need::Root},
    {"Contacts", Element::Contacts, Need::Root},
    {"Eye", Element::Eye, Need::CameraElement},
    {"Join", Element::Join, Need::Root},
    {"Joins", Element::Joins, Need::Root},
    {"KeyFrameForce", Element::KeyFrameForce, Need::Animation},
    {"KeyFramePosition", Element::KeyFramePosition, Need::Animation},
    {"KeyFrameRotation", Element::KeyFrameRotation, Need::Animation},
    {"LookAt", Element::LookAt, Need::CameraElement},
    {"Model", Element::Model, Need::Root},
    {"ModelTransform", Element::ModelTransform, Need::Root},
    {"Models", Element::Models, Need::Root},
    {"Movie", Element::Movie, Need::Nothing},
    {"Object", Element::Object, Need::Root},
    {"Objects", Element::Objects, Need::Root},
    {"Particle", Element::Particle, Need::Sequence},
    {"Particles", Element::Particles, Need::Sequence},
    {"Point", Element::Point, Need::EyeOrLookAt},
    {"Sequence", Element::Sequence, Need::Root},
    {"Sound", Element::Sound, Need::Root},
    {"Sounds", Element::Sounds, Need::Root},
    {"SpecialEffect", Element::SpecialEffect, Need::Sequence},
    {"SpecialEffects", Element::SpecialEffects, Need::Sequence},
    {"Text", Element::Text, Need::TextChunk},
    {"TextChunk", Element::TextChunk, Need::Sequence},
    {"Tiles", Element::Tiles, Need::Sequence},
    {"XFunction", Element::XFunction, Need::Sequence},
    {"XFunctions", Element::XFunctions, Need::Sequence},
};

const ElementInfo* findElement(const char* name) {
    const auto* it = std::lower_bound(std::begin(kElements), std::end(kElements), name,
                                      [](const ElementInfo& e, const char* n) { return std::strcmp(e.name, n) < 0; });
    if (it == std::end(kElements) || std::strcmp(it->name, name) != 0) return nullptr;
    return it;
}

bool is(const char* a, const char* b) { return std::strcmp(a, b) == 0; }

// Attribute readers: each knows the attributes of its element and skips the
// rest, name and value together.
void readObject(Object& o, const char** a) {
    for (; *a; a += 2) {
        if (is(a[0], "id")) readInt(a[1], o.id);
        else if (is(a[0], "filename")) o.filename = a[1];
        else if (is(a[0], "objectname")) o.objectname = a[1];
    }
}

void readBrikObject(BrikObject& o, const char** a) {
    for (; *a; a += 2) {
        if (is(a[0], "id")) readInt(a[1], o.id);
        else if (is(a[0], "size")) o.size = readVec3(a[1]);
        else if (is(a[0], "color")) readInt(a[1], o.color);
    }
}

void readModel(Model& m, const char** a) {
    for (; *a; a += 2) {
        const char* n = a[0];
        const char* v = a[1];
        if (is(n, "id")) readInt(v, m.id);
        else if (is(n, "objectid")) readInt(v, m.objectid);
        else if (is(n, "position")) m.position = readVec3(v);
        else if (is(n, "rotation")) m.rotation = readRotation(v);
        else if (is(n, "physicalbased")) m.physicalbased = readBool(v);
        else if (is(n, "animatephysics")) m.animatephysics = readBool(v);
        else if (is(n, "castshadow")) m.castshadow = readBool(v);
        else if (is(n, "collisiontype")) readInt(v, m.collisiontype);
        else if (is(n, "boxsize")) m.boxsize = readVec3(v);
        else if (is(n, "mass")) readFloat(v, m.mass);
        else if (is(n, "relative")) m.relative = readVec3(v);
        else if (is(n, "relativemodelid")) readInt(v, m.relativemodelid);
        else if (is(n, "function")) m.function = v;
    }
}

void readModelTransform(ModelTransform& t, const char** a) {
    for (; *a; a += 2) {
        if (is(a[0], "id")) readInt(a[1], t.id);
        else if (is(a[0], "position")) t.position = readVec3(a[1]);
        else if (is(a[0], "rotation")) t.rotation = readRotation(a[1]);
    }
}

void readJoin(Join& j, const char** a) {
    for (; *a; a += 2) {
        if (is(a[0], "id")) readInt(a[1], j.id);
        else if (is(a[0], "modelid0")) readInt(a[1], j.modelid0);
        else if (is(a[0], "modelid1")) readInt(a[1], j.modelid1);
        else if (is(a[0], "position")) j.position = readVec3(a[1]);
    }
}

void readContact(Contact& c, const char** a) {
    for (; *a; a += 2) {
        if (is(a[0], "id")) readInt(a[1], c.id);
        else if (is(a[0], "modelid0")) readInt(a[1], c.modelid0);
        else if (is(a[0], "modelid1")) readInt(a[1], c.modelid1);
    }
}

void readSound(Sound& s, const char** a) {
    for (; *a; a += 2) {
        if (is(a[0], "filename")) s.filename = a[1];
        else if (is(a[0], "starttime")) readFloat(a[1], s.starttime);
    }
}

void readSequence(Sequence& s, const char** a) {
    for (; *a; a += 2)
        if (is(a[0], "duration")) readFloat(a[1], s.duration);
}

void readCameraElement(CameraElement& e, const char** a) {
    for (; *a; a += 2) {
        if (is(a[0], "duration")) readFloat(a[1], e.duration);
        else if (is(a[0], "eyetype")) e.eyetype = a[1];
        else if (is(a[0], "lookattype")) e.lookattype = a[1];
        else if (is(a[0], "interpolationfunction")) e.interpolationfunction = a[1];
    }
}

void readAnimation(Animation& an, const char** a) {
    for (; *a; a += 2) {
        if (is(a[0], "modelid")) readInt(a[1], an.modelid);
        else if (is(a[0], "interpolationfunction")) an.interpolationfunction = a[1];
        else if (is(a[0], "loop")) an.loop = readBool(a[1]);
    }
}

void readKeyFramePosition(KeyFramePosition& k, const char** a) {
    for (; *a; a += 2) {
        if (is(a[0], "keytime")) readFloat(a[1], k.keytime);
        else if (is(a[0], "position")) k.position = readVec3(a[1]);
        else if (is(a[0], "interpolationfunction")) k.interpolationfunction = a[1];
    }
}

void readKeyFrameRotation(KeyFrameRotation& k, const char** a) {
    for (; *a; a += 2) {
        if (is(a[0], "keytime")) readFloat(a[1], k.keytime);
        else if (is(a[0], "rotation")) k.rotation = readRotation(a[1]);
        else if (is(a[0], "interpolationfunction")) k.interpolationfunction = a[1];
    }
}

void readKeyFrameForce(KeyFrameForce& k, const char** a) {
    for (; *a; a += 2) {
        const char* n = a[0];
        const char* v = a[1];
        if (is(n, "keytime")) readFloat(v, k.keytime);
        else if (is(n, "linearvelocity")) k.linearvelocity = readVec3(v);
        else if (is(n, "position")) k.position = readVec3(v);
        else if (is(n, "rotation")) k.rotation = readRotation(v);
        else if (is(n, "angularvelocity")) k.angularvelocity = readVec3(v);
    }
}

void readXFunction(XFunction& x, const char** a) {
    for (; *a; a += 2) {
        const char* n = a[0];
        const char* v = a[1];
        if (is(n, "modelid")) readInt(v, x.modelid);
        else if (is(n, "xfunctiontype")) x.xfunctiontype = v;
        else if (is(n, "timer1")) readFloat(v, x.timer1);
        else if (is(n, "modelids")) x.modelids = readIntList(v);
        else if (is(n, "frommodelid")) readInt(v, x.frommodelid);
        else if (is(n, "tomodelid")) readInt(v, x.tomodelid);
    }
}

void readSpecialEffect(SpecialEffect& e, const char** a) {
    for (; *a; a += 2) {
        if (is(a[0], "type")) e.type = a[1];
        else if (is(a[0], "starttime")) readFloat(a[1], e.starttime);
        else if (is(a[0], "endtime")) readFloat(a[1], e.endtime);
    }
}

void readParticle(Particle& p, const char** a) {
    for (; *a; a += 2) {
        if (is(a[0], "type")) p.type = a[1];
        else if (is(a[0], "position")) p.position = readVec3(a[1]);
        else if (is(a[0], "velocity")) p.velocity = readVec3(a[1]);
        else if (is(a[0], "fadetime")) readFloat(a[1], p.fadetime);
    }
}

void readTextChunk(TextChunk& c, const char** a) {
    for (; *a; a += 2) {
        if (is(a[0], "starttime")) readFloat(a[1], c.starttime);
        else if (is(a[0], "endtime")) readFloat(a[1], c.endtime);
    }
}

void readText(Text& t, const char** a) {
    for (; *a; a += 2) {
        const char* n = a[0];
        const char* v = a[1];
        if (is(n, "loadfont")) t.loadfont = v;
        else if (is(n, "writetext")) t.writetext = v;
        else if (is(n, "position")) t.position = readVec2(v);
        else if (is(n, "color")) t.color = readVec3(v);
        else if (is(n, "size")) readFloat(v, t.size);
    }
}

void readTiles(Tiles& t, const char** a) {
    for (; *a; a += 2) {
        if (is(a[0], "loadimage")) t.loadimage = a[1];
        else if (is(a[0], "starttime")) readFloat(a[1], t.starttime);
        else if (is(a[0], "endtime")) readFloat(a[1], t.endtime);
    }
}

const char* findAttribute(const char** a, const char* name) {
    for (; *a; a += 2)
        if (is(a[0], name)) return a[1];
    return nullptr;
}

template <typename T>
T& append(std::vector<std::unique_ptr<T>>& list) {
    list.push_back(std::make_unique<T>());
    return *list.back();
}

// Model transforms are walked, drawn and freed recursively; deeper nesting
// than any film needs would run those out of stack.
constexpr int kMaxTransformDepth = 1000;

using ParserPtr = std::unique_ptr<XML_ParserStruct, decltype(&XML_ParserFree)>;

// The state of one load, handed to expat as user data. Handlers never let an
// exception cross expat: they keep it, stop the parser and parse() rethrows.
class MovieLoader {
public:
    MovieLoader(const CollapsedText& text, const std::string& fileName, LoadServices& services)
        : text_(text), fileName_(fileName), services_(services), parser_(XML_ParserCreate(nullptr), XML_ParserFree) {
        if (!parser_) throw std::bad_alloc();
        XML_SetUserData(parser_.get(), this);
        XML_SetElementHandler(parser_.get(), onStart, onEnd);
    }

    std::unique_ptr<Movie> parse() {
        if (text_.text.size() > static_cast<size_t>(INT_MAX))
            throw LoadError(fileName_, 0, "the file is too large to be a movie");
        const auto status = XML_Parse(parser_.get(), text_.text.data(), static_cast<int>(text_.text.size()), XML_TRUE);
        if (pending_) std::rethrow_exception(pending_);
        if (status != XML_STATUS_OK) {
            const int line = currentLine();
            throw XmlSyntaxError(fileName_, line,
                                 std::string(XML_ErrorString(XML_GetErrorCode(parser_.get()))) + " at line " +
                                     std::to_string(line));
        }
        requirePlayableStructure();
        return std::move(movieRoot_);
    }

private:
    static void XMLCALL onStart(void* self, const XML_Char* name, const XML_Char** attributes) {
        static_cast<MovieLoader*>(self)->guarded([&](MovieLoader& l) { l.start(name, attributes); });
    }
    static void XMLCALL onEnd(void* self, const XML_Char* name) {
        static_cast<MovieLoader*>(self)->guarded([&](MovieLoader& l) { l.end(name); });
    }

    template <typename F>
    void guarded(F&& f) {
        if (pending_) return;
        try {
            f(*this);
        } catch (...) {
            pending_ = std::current_exception();
            XML_StopParser(parser_.get(), XML_FALSE);
        }
    }

    int currentLine() const {
        const XML_Index offset = XML_GetCurrentByteIndex(parser_.get());
        return text_.lineOf(offset < 0 ? text_.text.size() : static_cast<size_t>(offset));
    }

    [[noreturn]] void refuse(const char* name, const char* where) const {
        throw LoadError(fileName_, currentLine(), std::string(name) + " must be defined in " + where);
    }

    void requireNeed(const ElementInfo& info) const {
        switch (info.need) {
        case Need::Nothing: return;
        case Need::Root:
            if (!movieRoot_) refuse(info.name, "a Movie");
            return;
        case Need::Sequence:
            if (!currentSequence_) refuse(info.name, "a sequence");
            return;
        case Need::Camera:
            if (!currentCamera_) refuse(info.name, "a camera");
            return;
        case Need::CameraElement:
            if (!currentCameraElement_) refuse(info.name, "a camera element");
            return;
        case Need::EyeOrLookAt:
            if (!currentCameraElement_) refuse(info.name, "a camera element");
            if (!inEye_ && !inLookAt_) refuse(info.name, "an Eye or a LookAt");
            return;
        case Need::TextChunk:
            if (!currentTextChunk_) refuse(info.name, "a text chunk");
            return;
        case Need::Animation:
            if (!currentAnimation_) refuse(info.name, "an animation");
            return;
        }
    }

    // Models go into the innermost open transform, wherever they stand.
    std::vector<std::unique_ptr<BaseModel>>& modelList() {
        return currentTransform_ ? currentTransform_->children : movieRoot_->models;
    }

    template <typename T>
    T& appendModel() {
        auto& list = modelList();
        list.push_back(std::make_unique<T>());
        return static_cast<T&>(*list.back());
    }

    void start(const char* name, const char** a) {
        const ElementInfo* info = findElement(name);
        if (!info) return;
        requireNeed(*info);
        const int line = currentLine();
        switch (info->element) {
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
            if (const char* position = findAttribute(a, "position"))
                (inEye_ ? currentCameraElement_->eyePoints : currentCameraElement_->lookAtPoints)
                    .push_back(readVec3(position));
            break;
        case Element::Animation: {
            auto& an = append(currentSequence_->animations);
            an.sourceLine = line;
            currentAnimation_ = &an;
            readAnimation(an, a);
            break;
        }
        case Element::KeyFramePosition: readKeyFramePosition(append(currentAnimation_->positionKeys), a); break;
        case Element::KeyFrameRotation: readKeyFrameRotation(append(currentAnimation_->rotationKeys), a); break;
        case Element::KeyFrameForce: readKeyFrameForce(append(currentAnimation_->forceKeys), a); break;
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
        case Element::Particles: break;
        }
    }

    void end(const char* name) {
        if (is(name, "Eye")) inEye_ = false;
        else if (is(name, "LookAt")) inLookAt_ = false;
        else if (is(name, "Animation")) currentAnimation_ = nullptr;
        else if (is(name, "TextChunk")) currentTextChunk_ = nullptr;
        else if (is(name, "ModelTransform") && currentTransform_) {
            currentTransform_ = currentTransform_->parent;
            --transformDepth_;
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

    const CollapsedText& text_;
    const std::string& fileName_;
    LoadServices& services_;
    ParserPtr parser_;
    std::exception_ptr pending_;

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

std::string readWholeFile(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) throw LoadError(path, 0, std::string("cannot open the movie file: ") + std::strerror(errno));
    std::string content;
    char buffer[1 << 16];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) content.append(buffer, n);
    const bool failed = std::ferror(f) != 0;
    const int error = errno;
    std::fclose(f);
    if (failed) throw LoadError(path, 0, std::string("cannot read the movie file: ") + std::strerror(error));
    return content;
}

}  // namespace

CollapsedText collapseBlanks(std::string_view file) {
    CollapsedText result;
    result.text.resize(file.size() + 1);
    char* const begin = result.text.data();
    char* end = result.collapser.feed(file.data(), file.size(), begin);
    end = result.collapser.finish(end);
    result.text.resize(static_cast<size_t>(end - begin));
    return result;
}

std::unique_ptr<Movie> loadMovieFromText(std::string_view text, const std::string& fileName, LoadServices& services) {
    const CollapsedText collapsed = collapseBlanks(text);
    std::unique_ptr<Movie> movie = MovieLoader(collapsed, fileName, services).parse();
    resolveMovie(*movie, services);
    return movie;
}

std::unique_ptr<Movie> loadMovie(const std::string& path, LoadServices& services) {
    return loadMovieFromText(readWholeFile(path), path, services);
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
