// Problems found in input files, with their position.
//
// Loaders report what an author should fix as Diagnostic records (a kind, the
// file, its own line number and a message) into a Diagnostics list; a problem
// that makes the file unusable is thrown as a LoadError instead. Nothing here
// prints: the apps decide what reaches the user and with which exit code.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace xmo {

enum class DiagnosticKind {
    UnresolvedId,        // an id that names no record of the expected kind
    ModelWithoutObject,  // a model whose objectid names no object
    ObjectNotLoaded,     // an object whose scene file or node could not be used
    MisplacedElement,    // an element outside the parent it needs
    BadIndex,            // a mesh index outside its list
    MissingCoordinates,  // a face set without "Coordinate"
    ParseError,          // malformed XML in a file whose partial content is kept
    ColorOutOfRange,     // a brick colour outside the table
    SizeOutOfRange,      // a brick too large to carry its studs
    UnknownName,         // an unknown command or fade name
    ImageProblem,        // an image that cannot be read or decoded
    FontProblem,         // a caption font file that cannot be read
    RotationWithoutAxis, // an angle about an axis of zero length, read as no rotation
    MusicProblem,        // a music file that cannot be loaded
    NotPhysical,         // a physical model whose collisiontype gives it no body
    BadPhysicsValue,     // a mass, size, position or anchor the simulation cannot use
    WithoutBody,         // a part, join or contact naming a model without a body or geometry, or one model only
    BodyInTransform,     // a model with a body inside a ModelTransform: drawn moved by the transform, simulated apart
    LargeShadowPolygon,  // a shadow-casting polygon of more than four vertices
    UnknownElement,      // an element name the format does not know, skipped
    UnknownAttribute,    // an attribute its element does not read, skipped
    DuplicateId,         // a second object or model of one id
    ReplacedMovie,       // a second "Movie" element that discards the first
    BadDuration,         // a sequence duration that is zero or negative
    IdleKeys,            // key frames an animation never uses
    UnreadValue,         // a value not read in full: no number, extra text, too few numbers
    SaturatedNumber,     // a number beyond its type's range, read as the nearest it holds
    UnappliedTransform,  // a scene Transform whose translation or rotation the subset reading does not apply
    UnusedNodes,         // nodes of a scene file the film does not use (viewpoints, lights, sensors, routes...)
    UndrawnGeometry,     // geometry of a scene file that its reading does not draw
    UnfollowedReference, // a USE or Inline of a scene file that its reading does not follow
    ViewpointMovesObject,// a scene's Viewpoint that moves the object drawn from it
    EmptyObject,         // an object with no mesh: nothing of it is drawn
    BeyondFarPlane,      // an object too large to be seen whole inside the far clipping plane
    TimeOutOfReach,      // a time its sequence (or the film) never reaches, so the thing never happens
    LongDuration,        // a sequence over an hour long, most likely written in milliseconds
    KeysOutOfOrder,      // key times that go backwards, or repeat the time of the key before
    UnseenParticle,      // a particle never drawn: a type other than "fade", or no lifetime
    GrowingParticles,    // commands that spawn particles faster than they expire
    CaptionWithoutFont,  // a caption text shown before any font is set: not drawn
    CaptionOffScreen,    // a caption text placed far outside the caption screen
    DegenerateView,      // a camera whose view cannot be built: eye on the look-at point, or looking along up
    AlsoRefused,         // a problem that alone would refuse the film, after the one that does
    OpenShadowEdges,     // a casting mesh with edges that join no other face: its shadow may leak
    UnsupportedFeature,  // a part of an imported model file the player does not draw
    MissingFile,         // a file a model file names that cannot be read, whose part is left out
    BadScale,            // an object scale that is not a positive number
};

// The kind as a stable lower-case name ("unknown-attribute"), for machine
// readers of the problems.
const char* diagnosticKindName(DiagnosticKind kind);

struct Diagnostic {
    DiagnosticKind kind;
    std::string file;
    int line = 0;  // the file's own line; 0 when no line applies
    std::string message;
};

class Diagnostics {
public:
    void report(DiagnosticKind kind, std::string file, int line, std::string message) {
        items_.push_back({kind, std::move(file), line, std::move(message)});
    }
    const std::vector<Diagnostic>& items() const { return items_; }
    bool empty() const { return items_.empty(); }
    std::size_t size() const { return items_.size(); }
    // Names the file of the reports from index `from` on that named none
    // (those of a part that does not know which file it was read from).
    void fillMissingFile(std::size_t from, const std::string& file) {
        for (std::size_t i = from; i < items_.size(); ++i)
            if (items_[i].file.empty()) items_[i].file = file;
    }
    void clear() { items_.clear(); }
    // In order of file name, then line; reports of one place keep the order
    // they were found in.
    void sortByFileAndLine();

private:
    std::vector<Diagnostic> items_;
};

// "FILE:LINE: message" (or "FILE: message" without a line).
std::string formatDiagnostic(const Diagnostic& d);

// A file that cannot be used at all: not readable, not well-formed, or
// breaking the structure of its format.
class LoadError : public std::runtime_error {
public:
    LoadError(std::string file, int line, const std::string& message)
        : std::runtime_error(message), file_(std::move(file)), line_(line) {}
    const std::string& file() const { return file_; }
    int line() const { return line_; }

private:
    std::string file_;
    int line_;
};

// The problems met while loading that make a file unusable. A load to play
// stops at the first: refuse throws it. A load to check goes on where it
// can, so that every other problem is found too: it keeps the first as the
// refusal and reports each later one as an AlsoRefused diagnostic.
class Refusals {
public:
    Refusals(bool goOn, Diagnostics& diagnostics) : goOn_(goOn), diagnostics_(diagnostics) {}

    void refuse(const LoadError& error) {
        if (!goOn_) throw error;
        if (!first_) first_ = error;
        else diagnostics_.report(DiagnosticKind::AlsoRefused, error.file(), error.line(), error.what());
    }
    const std::optional<LoadError>& first() const { return first_; }

private:
    bool goOn_;
    Diagnostics& diagnostics_;
    std::optional<LoadError> first_;
};

}  // namespace xmo
