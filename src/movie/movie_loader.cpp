#include "movie/movie_loader.h"

#include <cmath>
#include <cstdio>
#include <exception>
#include <new>
#include <optional>
#include <vector>

#include "base/film_files.h"
#include "base/xml_front_end.h"
#include "movie/movie_fields.h"
#include "movie/movie_proofread.h"
#include "movie/movie_resolve.h"
#include "movie/values.h"

namespace xmo {

namespace {

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
    MovieLoader(const std::string& fileName, LoadServices& services, Refusals& refusals)
        : fileName_(fileName),
          services_(services),
          refusals_(refusals),
          files_(fileName, services.notes),
          xml_(fileName, *this),
          reader_(services.diagnostics, fileName) {}

    std::unique_ptr<Movie> parseFile() { return finish(xml_.parseFile("movie file")); }
    std::unique_ptr<Movie> parseText(std::string_view text) { return finish(xml_.parseText(text)); }

private:
    std::unique_ptr<Movie> finish(const std::optional<XmlSyntaxProblem>& problem) {
        if (problem) throw XmlSyntaxError(fileName_, problem->line, problem->message());
        if (!movieRoot_) throw LoadError(fileName_, 0, "not a movie file");
        requirePlayableStructure();
        reportBadDurations();
        reportIdleBSplineKeys();
        return std::move(movieRoot_);
    }

    // Where an element must stand that stands elsewhere; null when its need is met.
    const char* findUnmetNeed(Need need) const {
        switch (need) {
        case Need::Nothing: return nullptr;
        case Need::Root: return movieRoot_ ? nullptr : "a Movie";
        case Need::Sequence: return currentSequence_ ? nullptr : "a sequence";
        case Need::Camera: return currentCamera_ ? nullptr : "a camera";
        case Need::CameraElement: return currentCameraElement_ ? nullptr : "a camera element";
        case Need::EyeOrLookAt:
            if (!currentCameraElement_) return "a camera element";
            return inEye_ || inLookAt_ ? nullptr : "an Eye or a LookAt";
        case Need::TextChunk: return currentTextChunk_ ? nullptr : "a text chunk";
        case Need::Animation: return currentAnimation_ ? nullptr : "an animation";
        }
        return nullptr;
    }

    // Refuses the element that starts; when loading goes on, it is skipped
    // with everything it holds.
    void refuseElement(int line, const std::string& message) {
        refusals_.refuse(LoadError(fileName_, line, message));
        openElements_.pop_back();
        skippedDepth_ = 1;
    }

    // A file the film names is read beside the film when it is not found
    // from the working directory; the film's text is kept for the writer.
    void locateFile(std::string& name, std::string& asWritten) {
        std::string path = files_.locate(name);
        if (path == name) return;
        asWritten = std::move(name);
        name = std::move(path);
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

    void startElement(const char* name, const char** a) override {
        if (skippedDepth_ > 0) {
            ++skippedDepth_;
            return;
        }
        const ElementInfo info = findElement(name);
        openElements_.push_back(info.element);
        const int line = xml_.currentLine();
        reader_.startElement(name, line);
        if (info.element == Element::Other) {
            reportUnknownElement(name, reader_);
            return;
        }
        if (const char* where = findUnmetNeed(info.need)) {
            refuseElement(line, std::string(name) + " must be defined in " + where);
            return;
        }
        switch (info.element) {
        case Element::Movie:
            // A later "Movie" replaces the root; records of the earlier one stay
            // alive until the load ends, as current records may still point there.
            if (movieRoot_) {
                services_.diagnostics.report(DiagnosticKind::ReplacedMovie, fileName_, line,
                                             "a second Movie element discards everything read before it, from the "
                                             "Movie at line " + std::to_string(movieLine_) + " on");
                replacedRoots_.push_back(std::move(movieRoot_));
            }
            readNoAttributes(a, reader_);
            movieRoot_ = std::make_unique<Movie>();
            movieRoot_->fileName = fileName_;
            movieLine_ = line;
            break;
        case Element::Object: {
            auto& o = static_cast<Object&>(*movieRoot_->objects.emplace_back(std::make_unique<Object>()));
            o.sourceLine = line;
            readAttributes(o, a, reader_);
            locateFile(o.filename, o.filenameAsWritten);
            break;
        }
        case Element::BrikObject: {
            auto& o = static_cast<BrikObject&>(*movieRoot_->objects.emplace_back(std::make_unique<BrikObject>()));
            o.sourceLine = line;
            readAttributes(o, a, reader_);
            break;
        }
        case Element::Model: {
            auto& m = appendModel<Model>();
            m.sourceLine = line;
            readAttributes(m, a, reader_);
            break;
        }
        case Element::ModelTransform: {
            if (transformDepth_ == kMaxTransformDepth) {
                refuseElement(line,
                              "ModelTransform nested deeper than " + std::to_string(kMaxTransformDepth) + " levels");
                return;
            }
            ++transformDepth_;
            auto& t = appendModel<ModelTransform>();
            t.sourceLine = line;
            t.parent = currentTransform_;
            currentTransform_ = &t;
            readAttributes(t, a, reader_);
            break;
        }
        case Element::Join: {
            auto& j = append(movieRoot_->joins);
            j.sourceLine = line;
            readAttributes(j, a, reader_);
            break;
        }
        case Element::Contact: {
            auto& c = append(movieRoot_->contacts);
            c.sourceLine = line;
            readAttributes(c, a, reader_);
            break;
        }
        case Element::Sound: {
            auto& s = append(movieRoot_->sounds);
            s.sourceLine = line;
            readAttributes(s, a, reader_);
            locateFile(s.filename, s.filenameAsWritten);
            break;
        }
        case Element::Sequence: {
            auto& s = append(movieRoot_->sequences);
            s.sourceLine = line;
            currentSequence_ = &s;
            readAttributes(s, a, reader_);
            break;
        }
        case Element::Camera:
            // A second Camera replaces the first; the current camera element
            // may still belong to the old one, so it is kept until the end.
            if (currentSequence_->camera) replacedCameras_.push_back(std::move(currentSequence_->camera));
            currentSequence_->camera = std::make_unique<Camera>();
            currentCamera_ = currentSequence_->camera.get();
            currentCamera_->sourceLine = line;
            readNoAttributes(a, reader_);
            break;
        case Element::CameraElement: {
            auto& e = append(currentCamera_->elements);
            e.sourceLine = line;
            currentCameraElement_ = &e;
            readAttributes(e, a, reader_);
            break;
        }
        case Element::Eye:
            inEye_ = true;
            readNoAttributes(a, reader_);
            break;
        case Element::LookAt:
            inLookAt_ = true;
            readNoAttributes(a, reader_);
            break;
        case Element::Point:
            if (const std::optional<Vec3f> position = readPoint(a, reader_))
                (inEye_ ? currentCameraElement_->eyePoints : currentCameraElement_->lookAtPoints).push_back(*position);
            break;
        case Element::Animation: {
            auto& an = append(currentSequence_->animations);
            an.sourceLine = line;
            currentAnimation_ = &an;
            readAttributes(an, a, reader_);
            break;
        }
        case Element::KeyFramePosition: readRecord(append(currentAnimation_->positionKeys), line, a); break;
        case Element::KeyFrameRotation: readRecord(append(currentAnimation_->rotationKeys), line, a); break;
        case Element::KeyFrameForce: readRecord(append(currentAnimation_->forceKeys), line, a); break;
        case Element::XFunction: {
            auto& x = append(currentSequence_->xfunctions);
            x.sourceLine = line;
            readAttributes(x, a, reader_);
            break;
        }
        case Element::SpecialEffect: {
            auto& e = append(currentSequence_->specialEffects);
            e.sourceLine = line;
            readAttributes(e, a, reader_);
            break;
        }
        case Element::Particle: readRecord(append(currentSequence_->particles), line, a); break;
        case Element::TextChunk: {
            auto& c = append(currentSequence_->textChunks);
            currentTextChunk_ = &c;
            readRecord(c, line, a);
            break;
        }
        case Element::Text: {
            auto& t = append(currentTextChunk_->texts);
            readRecord(t, line, a);
            locateFile(t.loadfont, t.loadfontAsWritten);
            if (!t.loadfont.empty()) services_.media.loadFont(t, fileName_.c_str(), services_.diagnostics);
            break;
        }
        case Element::Tiles: {
            auto& t = append(currentSequence_->tiles);
            readRecord(t, line, a);
            locateFile(t.loadimage, t.loadimageAsWritten);
            services_.media.loadTile(t, fileName_.c_str(), services_.diagnostics);
            break;
        }
        case Element::Objects:
        case Element::Models:
        case Element::Joins:
        case Element::Contacts:
        case Element::Sounds:
        case Element::Sequences:
        case Element::Animations:
        case Element::XFunctions:
        case Element::SpecialEffects:
        case Element::Particles: readNoAttributes(a, reader_); break;
        case Element::Other: break;
        }
    }

    template <typename Record>
    void readRecord(Record& record, int line, const char** a) {
        record.sourceLine = line;
        readAttributes(record, a, reader_);
    }

    // expat reports end tags only for elements it reported starting, in
    // nesting order, so the stack of open elements names the one that ends.
    void endElement(const char*) override {
        if (skippedDepth_ > 0) {
            --skippedDepth_;
            return;
        }
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

    // The player needs at least one sequence and a camera in each.
    void requirePlayableStructure() const {
        if (movieRoot_->sequences.empty())
            refusals_.refuse(LoadError(fileName_, movieLine_, "the movie has no Sequence"));
        for (size_t i = 0; i < movieRoot_->sequences.size(); ++i) {
            const Sequence& s = *movieRoot_->sequences[i];
            if (!s.camera)
                refusals_.refuse(
                    LoadError(fileName_, s.sourceLine, "Sequence " + std::to_string(i + 1) + " has no Camera"));
        }
    }

    // A duration that is not positive makes the timeline pass over the
    // sequence; the last one plays on after the film's end regardless.
    void reportBadDurations() const {
        const auto number = [](float v) {
            char text[32];
            std::snprintf(text, sizeof text, "%g", static_cast<double>(v));
            return std::string(text);
        };
        const auto& sequences = movieRoot_->sequences;
        for (size_t i = 0; i < sequences.size(); ++i) {
            const Sequence& s = *sequences[i];
            if (s.duration > 0.0f) continue;
            std::string message =
                "Sequence " + std::to_string(i + 1) + ": duration " + number(s.duration) + " is not positive; ";
            if (i + 1 == sequences.size())
                message += "as the last sequence it plays on from local time " + number(std::fabs(s.duration));
            else if (s.duration < 0.0f)
                message += "the film passes over it and starts the sequences after it " + number(std::fabs(s.duration)) +
                           " s earlier";
            else if (i == 0)
                message += "it is current at film time 0 only";
            else
                message += "the film passes over it";
            services_.diagnostics.report(DiagnosticKind::BadDuration, fileName_, s.sourceLine, message);
        }
    }

    // A "bspline" animation moves its model along four or more position keys
    // and uses nothing else: keys it cannot use are an author's mistake.
    void reportIdleBSplineKeys() const {
        for (const auto& sequence : movieRoot_->sequences)
            for (const auto& a : sequence->animations) {
                if (a->mode != AnimationMode::BSpline) continue;
                const std::string name = "Animation of model " + std::to_string(a->modelid) + ": \"bspline\" ";
                const std::size_t positions = a->positionKeys.size();
                if (positions < kMinBSplineKeys)
                    services_.diagnostics.report(DiagnosticKind::IdleKeys, fileName_, a->sourceLine,
                                                 name + "needs " + std::to_string(kMinBSplineKeys) +
                                                     " or more KeyFramePosition keys; with " +
                                                     std::to_string(positions) + " it never moves the model");
                if (!a->rotationKeys.empty() || !a->forceKeys.empty())
                    services_.diagnostics.report(DiagnosticKind::IdleKeys, fileName_, a->sourceLine,
                                                 name + "uses position keys only; its KeyFrameRotation and "
                                                        "KeyFrameForce keys are never applied");
            }
    }

    const std::string& fileName_;
    LoadServices& services_;
    Refusals& refusals_;
    FilmFiles files_;
    XmlFrontEnd xml_;
    AttributeReader reader_;
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
    int skippedDepth_ = 0;  // open elements of a refused one, itself included, that are skipped
    bool inEye_ = false;
    bool inLookAt_ = false;
};

}  // namespace

namespace {

// Whatever runs out of memory while a film loads (expat, a scene, the
// records, the physics world) ends the load, never the process.
template <typename Parse>
std::unique_ptr<Movie> loadWith(const std::string& fileName, LoadServices& services, Refusals& refusals,
                                Parse&& parse) {
    try {
        MovieLoader loader(fileName, services, refusals);
        std::unique_ptr<Movie> movie = parse(loader);
        resolveMovie(*movie, services, refusals);
        proofreadMovie(*movie, services.diagnostics);
        return movie;
    } catch (const std::bad_alloc&) {
        throw LoadError(fileName, 0, "out of memory while loading");
    }
}

template <typename Parse>
CheckedMovie checkWith(const std::string& fileName, LoadServices& services, Parse&& parse) {
    Refusals refusals(true, services.diagnostics);
    CheckedMovie checked;
    try {
        checked.movie = loadWith(fileName, services, refusals, parse);
        checked.refusal = refusals.first();
    } catch (const LoadError& e) {
        // Loading cannot go on from here; what was read is no movie to check.
        refusals.refuse(e);
        checked.refusal = refusals.first();
    }
    return checked;
}

auto parseFile() {
    return [](MovieLoader& loader) { return loader.parseFile(); };
}

auto parseText(std::string_view text) {
    return [text](MovieLoader& loader) { return loader.parseText(text); };
}

}  // namespace

std::unique_ptr<Movie> loadMovieFromText(std::string_view text, const std::string& fileName, LoadServices& services) {
    Refusals refusals(false, services.diagnostics);
    return loadWith(fileName, services, refusals, parseText(text));
}

std::unique_ptr<Movie> loadMovie(const std::string& path, LoadServices& services) {
    Refusals refusals(false, services.diagnostics);
    return loadWith(path, services, refusals, parseFile());
}

CheckedMovie loadMovieToCheck(const std::string& path, LoadServices& services) {
    return checkWith(path, services, parseFile());
}

CheckedMovie loadMovieTextToCheck(std::string_view text, const std::string& fileName, LoadServices& services) {
    return checkWith(fileName, services, parseText(text));
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
