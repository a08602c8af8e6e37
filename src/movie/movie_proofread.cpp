#include "movie/movie_proofread.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "base/name_suggestion.h"

namespace xmo {

namespace {

// The frame rate at which the growth of a sequence's particles is judged:
// the fixed step that xmotool render and seeking use.
constexpr float kProofreadFramesPerSecond = 25.0f;

// A sequence longer than this is most likely written in milliseconds.
constexpr float kLongestLikelyDuration = 3600.0f;

// A caption that starts at or beyond the screen's right or top edge shows
// nothing; one this far left or down is far outside too.
constexpr float kCaptionScreenEdge = 60.0f;
constexpr float kCaptionFarEdge = 120.0f;

std::string number(float v) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", static_cast<double>(v));
    return text;
}

std::string pointText(const Vec3f& v) { return number(v[0]) + " " + number(v[1]) + " " + number(v[2]); }

std::string quoted(const std::string& s) { return "\"" + s + "\""; }

// " (did you mean 2.5 s?)" when a time far past the span it should fall in
// fits it once read as milliseconds; nothing otherwise.
std::string millisecondsHint(float time, float span) {
    constexpr float kFarPast = 10.0f;
    const float seconds = time / 1000.0f;
    return time > kFarPast * span && seconds <= span ? " (did you mean " + number(seconds) + " s?)" : "";
}

// The latest of a sequence's own times: key times, command timers, the
// starts of its windows and the length of its camera path.
float latestTime(const Sequence& s) {
    float latest = 0.0f;
    const auto take = [&latest](float t) { latest = std::max(latest, t); };
    for (const auto& a : s.animations) {
        for (const auto& k : a->positionKeys) take(k->keytime);
        for (const auto& k : a->rotationKeys) take(k->keytime);
        for (const auto& k : a->forceKeys) take(k->keytime);
    }
    for (const auto& x : s.xfunctions) take(x->timer1);
    for (const auto& c : s.textChunks) take(c->starttime);
    for (const auto& t : s.tiles) take(t->starttime);
    for (const auto& f : s.specialEffects) take(f->starttime);
    if (s.camera) {
        float total = 0.0f;
        for (const auto& e : s.camera->elements) total += e->duration;
        take(total);
    }
    return latest;
}

// The proofreading of one sequence.
class SequenceReader {
public:
    SequenceReader(const Movie& movie, std::size_t index, Diagnostics& diagnostics)
        : movie_(movie),
          s_(*movie.sequences[index]),
          number_(index + 1),
          last_(index + 1 == movie.sequences.size()),
          diagnostics_(diagnostics) {}

    void run() {
        if (s_.duration > 0.0f) {
            readTimes();
            readCameraLength();
        }
        readKeyOrder();
        readCameraKeys();
        readParticles();
        readNames();
    }

private:
    void report(DiagnosticKind kind, int line, const std::string& message) {
        diagnostics_.report(kind, movie_.fileName, line, message);
    }

    // "past the end of its sequence (8 s); the command never fires", or for
    // the last sequence, which plays on after the film's end, when it does.
    std::string pastTheEnd(float time, const std::string& never, const std::string& late) const {
        return "past the end of its sequence (" + number(s_.duration) + " s)" + millisecondsHint(time, s_.duration) +
               "; " + (last_ ? late + " only after the film's end, when the last sequence plays on" : never);
    }

    void readTimes() {
        if (s_.duration > kLongestLikelyDuration) readLongDuration();
        for (const auto& x : s_.xfunctions)
            if (x->timer1 > s_.duration)
                report(DiagnosticKind::TimeOutOfReach, x->sourceLine,
                       "XFunction " + quoted(x->xfunctiontype) + ": timer1 " + number(x->timer1) + " is " +
                           pastTheEnd(x->timer1, "the command never fires", "the command fires"));
        for (const auto& a : s_.animations) {
            readKeyReach(a->positionKeys, "KeyFramePosition");
            readKeyReach(a->rotationKeys, "KeyFrameRotation");
            readKeyReach(a->forceKeys, "KeyFrameForce");
        }
        for (const auto& c : s_.textChunks)
            readWindow("TextChunk", c->starttime, c->endtime, false, c->sourceLine, "the caption");
        for (const auto& t : s_.tiles) readWindow("Tiles", t->starttime, t->endtime, true, t->sourceLine, "the tile");
        for (const auto& f : s_.specialEffects)
            readWindow("SpecialEffect", f->starttime, f->endtime, false, f->sourceLine, "the fade");
    }

    void readLongDuration() {
        std::string message = "Sequence " + std::to_string(number_) + ": duration " + number(s_.duration) + " s is over an hour";
        const float seconds = s_.duration / 1000.0f;
        if (latestTime(s_) <= seconds) message += "; did you mean " + number(seconds) + " s?";
        else message += "; if its times are in milliseconds, divide them all by 1000";
        report(DiagnosticKind::LongDuration, s_.sourceLine, message);
    }

    // The first key of a list past the end, standing for the others after it.
    template <typename Key>
    void readKeyReach(const std::vector<std::unique_ptr<Key>>& keys, const char* element) {
        const auto first = std::find_if(keys.begin(), keys.end(), [this](const auto& k) {
            return k->keytime > s_.duration;
        });
        if (first == keys.end()) return;
        const long more = std::count_if(first + 1, keys.end(), [this](const auto& k) {
            return k->keytime > s_.duration;
        });
        std::string message = std::string(element) + " at " + number((*first)->keytime) + " s";
        if (more > 0) message += " (and " + std::to_string(more) + " more after it)";
        message += " is " + pastTheEnd((*first)->keytime, "the animation never reaches it", "the animation reaches it");
        report(DiagnosticKind::TimeOutOfReach, (*first)->sourceLine, message);
    }

    // A window of local time that never overlaps the sequence. Captions and
    // fades show strictly inside their window, tiles on its bounds too.
    void readWindow(const char* element, float start, float end, bool inclusive, int line, const std::string& what) {
        const std::string name = std::string(element) + ": ";
        const std::string window = "starttime " + number(start) + ", endtime " + number(end);
        if (inclusive ? end < start : end <= start)
            report(DiagnosticKind::TimeOutOfReach, line,
                   name + window + ": the window is empty; " + what + " is never shown");
        else if (inclusive ? start > s_.duration : start >= s_.duration)
            report(DiagnosticKind::TimeOutOfReach, line,
                   name + "starttime " + number(start) + " is " +
                       pastTheEnd(start, what + " is never shown", what + " shows"));
        else if (inclusive ? end < 0.0f : end <= 0.0f)
            report(DiagnosticKind::TimeOutOfReach, line,
                   name + window + ": the window ends before its sequence starts; " + what + " is never shown");
    }

    // The camera's path longer than its sequence: the first element that
    // runs past the end.
    void readCameraLength() {
        if (!s_.camera) return;
        float start = 0.0f;
        for (const auto& e : s_.camera->elements) {
            const float end = start + e->duration;
            if (end > s_.duration) {
                const std::string what =
                    start < s_.duration ? "runs to " + number(end) + " s, " : "starts at " + number(start) + " s, ";
                const std::string never =
                    start < s_.duration ? "the camera never gets past " + number(s_.duration) + " s of its path"
                                        : "the element is never shown";
                report(DiagnosticKind::TimeOutOfReach, e->sourceLine,
                       "CameraElement " + what + pastTheEnd(end, never, "the rest of the path shows"));
                return;
            }
            start = end;
        }
    }

    void readKeyOrder() {
        for (const auto& a : s_.animations) {
            if (a->mode == AnimationMode::BSpline) {
                readBSplineSpan(*a);
                continue;
            }
            readKeyOrder(a->positionKeys, "KeyFramePosition");
            readKeyOrder(a->rotationKeys, "KeyFrameRotation");
            readKeyOrder(a->forceKeys, "KeyFrameForce");
        }
        if (!s_.camera) return;
        int position = 0;
        for (const auto& e : s_.camera->elements) {
            const std::string element = "CameraElement " + std::to_string(++position) + ": duration ";
            if (e->duration < 0.0f)
                report(DiagnosticKind::KeysOutOfOrder, e->sourceLine,
                       element + number(e->duration) +
                           " is negative; the camera's time goes backwards and the elements after it start " +
                           number(-e->duration) + " s earlier");
            else if (e->duration == 0.0f)
                report(DiagnosticKind::KeysOutOfOrder, e->sourceLine,
                       element + "0; the element starts and ends at the same time and shows at one instant at most");
        }
    }

    // Keys are taken by their times; written out of order, or two at one
    // time, one of them is not what the author sees in the file.
    template <typename Key>
    void readKeyOrder(const std::vector<std::unique_ptr<Key>>& keys, const char* element) {
        for (std::size_t i = 1; i < keys.size(); ++i) {
            const float before = keys[i - 1]->keytime, time = keys[i]->keytime;
            const std::string key = std::string(element) + " " + std::to_string(i + 1);
            if (time < before)
                report(DiagnosticKind::KeysOutOfOrder, keys[i]->sourceLine,
                       key + " (at " + number(time) + " s) comes after key " + std::to_string(i) + " (at " +
                           number(before) + " s): the key times go backwards");
            else if (time == before)
                report(DiagnosticKind::KeysOutOfOrder, keys[i]->sourceLine,
                       key + " has the time of key " + std::to_string(i) + " (" + number(time) +
                           " s): one of the two is never used");
        }
    }

    // A "bspline" path runs from its first key's time to its last's.
    void readBSplineSpan(const Animation& a) {
        const auto& keys = a.positionKeys;
        if (keys.size() < kMinBSplineKeys || keys.back()->keytime > keys.front()->keytime) return;
        report(DiagnosticKind::KeysOutOfOrder, keys.back()->sourceLine,
               "KeyFramePosition " + std::to_string(keys.size()) + " (at " + number(keys.back()->keytime) +
                   " s), the last, is not after the first (at " + number(keys.front()->keytime) +
                   " s): the \"bspline\" path never moves the model");
    }

    // The eye and look-at point at an element's start and end: a path of
    // four points or more runs from its first point to its last.
    void readCameraKeys() {
        if (!s_.camera) return;
        for (const auto& e : s_.camera->elements) {
            const auto at = [](const std::vector<Vec3f>& points, bool end) {
                if (points.empty()) return Vec3f{};
                return points.size() < 4 || !end ? points.front() : points.back();
            };
            for (const bool end : {false, true}) {
                const Vec3f eye = at(e->eyePoints, end), look = at(e->lookAtPoints, end);
                const std::string problem = findViewProblem(eye, look);
                if (problem.empty()) continue;
                report(DiagnosticKind::DegenerateView, e->sourceLine,
                       std::string("CameraElement: at its ") + (end ? "end" : "start") + " the eye (" + pointText(eye) +
                           ") " + problem + "; the view cannot be built there");
                break;
            }
        }
    }

    // The view looks from the eye to the look-at point with +Y up.
    static std::string findViewProblem(const Vec3f& eye, const Vec3f& look) {
        const Vec3f direction = look - eye;
        const float distance = length(direction);
        if (distance == 0.0f) return "is on the look-at point";
        if (std::hypot(direction[0], direction[2]) <= 1e-6f * distance)
            return "looks straight along the up axis (to " + pointText(look) + ")";
        return "";
    }

    void readParticles() {
        for (const auto& p : s_.particles) {
            if (p->particleType != ParticleType::Fade)
                report(DiagnosticKind::UnseenParticle, p->sourceLine,
                       "Particle: type " + quoted(p->type) + " is never drawn (only \"fade\" particles are)" +
                           didYouMean(suggestNames(p->type, {"fade"})));
            if (!(p->fadetime > 0.0f))
                report(DiagnosticKind::UnseenParticle, p->sourceLine,
                       "Particle: fadetime " + number(p->fadetime) +
                           " is not positive; the particle expires at once and is never seen");
        }
        readParticleGrowth();
    }

    // Each frame removes at most one expired particle: commands that spawn
    // more than one per frame between them make the list grow for good.
    void readParticleGrowth() {
        const float frame = 1.0f / kProofreadFramesPerSecond;
        float perFrame = 0.0f;
        for (const auto& x : s_.xfunctions) {
            if (x->commandType != CommandType::CreateParticles || !x->model) continue;
            // A command fires at most once a frame, and then after as many
            // frames as its timer needs.
            perFrame += 1.0f / std::max(1.0f, std::ceil(x->timer1 / frame - 1e-3f));
            if (perFrame > 1.0f) {
                report(DiagnosticKind::GrowingParticles, x->sourceLine,
                       "XFunction \"createparticles\": with the createparticles commands before it in its sequence, " +
                           number(perFrame) + " particles are spawned per frame at " +
                           number(kProofreadFramesPerSecond) +
                           " frames a second, and only one expires per frame; the particles grow without end");
                return;
            }
        }
    }

    void readNames() {
        for (const auto& x : s_.xfunctions)
            if (x->commandType == CommandType::Unknown)
                report(DiagnosticKind::UnknownName, x->sourceLine,
                       "XFunction: unknown xfunctiontype " + quoted(x->xfunctiontype) + "; the command does nothing" +
                           didYouMean(suggestNames(x->xfunctiontype, commandNames())));
        for (const auto& f : s_.specialEffects)
            if (f->fadeType == FadeType::Unknown)
                report(DiagnosticKind::UnknownName, f->sourceLine,
                       "SpecialEffect: unknown type " + quoted(f->type) + "; nothing is drawn" +
                           didYouMean(suggestNames(f->type, fadeNames())));
        if (s_.camera)
            for (const auto& e : s_.camera->elements)
                readEasing("CameraElement", e->interpolationfunction, e->easing, e->sourceLine, "even speed");
        for (const auto& a : s_.animations) {
            const std::vector<std::string_view> suggestions = suggestNames(a->interpolationfunction, {"bspline"});
            if (a->mode == AnimationMode::KeyPairs && !suggestions.empty())
                report(DiagnosticKind::UnknownName, a->sourceLine,
                       "Animation of model " + std::to_string(a->modelid) + ": interpolationfunction " +
                           quoted(a->interpolationfunction) +
                           " selects key pairs" + didYouMean(suggestions));
            for (const auto& k : a->positionKeys)
                readEasing("KeyFramePosition", k->interpolationfunction, k->easing, k->sourceLine, "no easing");
            for (const auto& k : a->rotationKeys)
                readEasing("KeyFrameRotation", k->interpolationfunction, k->easing, k->sourceLine, "no easing");
        }
    }

    // Any easing name but "hermite" is read as none: only one that looks
    // like it is a slip.
    void readEasing(const char* element, const std::string& name, Easing easing, int line, const char* readAs) {
        if (easing == Easing::Hermite) return;
        const std::vector<std::string_view> suggestions = suggestNames(name, {"hermite"});
        if (!suggestions.empty())
            report(DiagnosticKind::UnknownName, line,
                   std::string(element) + ": interpolationfunction " + quoted(name) + " is read as " + readAs +
                       didYouMean(suggestions));
    }

    const Movie& movie_;
    const Sequence& s_;
    std::size_t number_;  // from 1, as the film's sequences are counted
    bool last_;
    Diagnostics& diagnostics_;
};

// Captions carry their font from one text to the next through the whole
// film, so a text is drawn only after some text has set a font.
void readCaptions(const Movie& movie, Diagnostics& diagnostics) {
    bool fontSet = false;
    for (const auto& sequence : movie.sequences)
        for (const auto& chunk : sequence->textChunks)
            for (const auto& text : chunk->texts) {
                if (!text->loadfont.empty()) fontSet = true;
                else if (!fontSet && !text->writetext.empty())
                    diagnostics.report(DiagnosticKind::CaptionWithoutFont, movie.fileName, text->sourceLine,
                                       "Text: no font is set by this Text or any before it; " +
                                           quoted(text->writetext) + " is not drawn");
                const Vec2f& p = text->position;
                const bool placed = p[0] != -1000.0f;
                const bool beyond = p[0] >= kCaptionScreenEdge || p[1] >= kCaptionScreenEdge ||
                                    p[0] <= -kCaptionFarEdge || p[1] <= -kCaptionFarEdge;
                if (placed && beyond)
                    diagnostics.report(DiagnosticKind::CaptionOffScreen, movie.fileName, text->sourceLine,
                                       "Text: position " + number(p[0]) + " " + number(p[1]) +
                                           " is outside the caption screen (-60 to 60 on both axes, 0 0 at its "
                                           "centre); the text starts off the screen");
            }
}

// Music starts in the first frame past its start time, whatever sequence
// plays then.
void readSounds(const Movie& movie, Diagnostics& diagnostics) {
    float filmEnd = 0.0f;
    for (const auto& sequence : movie.sequences) filmEnd += sequence->duration;
    if (!(filmEnd > 0.0f)) return;
    for (const auto& sound : movie.sounds)
        if (sound->starttime >= filmEnd)
            diagnostics.report(DiagnosticKind::TimeOutOfReach, movie.fileName, sound->sourceLine,
                               "Sound: starttime " + number(sound->starttime) + " is at or past the end of the film (" +
                                   number(filmEnd) + " s)" + millisecondsHint(sound->starttime, filmEnd) +
                                   "; the music starts only after it");
}

}  // namespace

void proofreadMovie(const Movie& movie, Diagnostics& diagnostics) {
    for (std::size_t i = 0; i < movie.sequences.size(); ++i) SequenceReader(movie, i, diagnostics).run();
    readCaptions(movie, diagnostics);
    readSounds(movie, diagnostics);
}

}  // namespace xmo
