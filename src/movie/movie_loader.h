// The movie loader: a movie file read into a resolved Movie.
//
// The whole file is read at once, every run of blanks and line breaks is
// collapsed into one blank (inside attribute values too, so "1  2\n3" reads as
// "1 2 3") and expat parses the result in one call, while a table of line
// starts keeps every message on the file's own line numbers. The element
// handlers build records in document order; then the resolution pass links
// ids, loads objects, computes extents and hands the physical models, joins and
// contacts to the physics world.
//
// Problems that make the film unplayable are thrown as LoadError (an
// XmlSyntaxError for text expat rejects); problems an author should fix but
// that do not stop the film are reported as Diagnostics.
#pragma once

#include <memory>
#include <ostream>
#include <string>
#include <string_view>

#include "base/blank_collapser.h"
#include "base/diagnostics.h"
#include "movie/media_loader.h"
#include "movie/movie.h"
#include "physics/physics_world.h"

namespace xmo {

struct LoadServices {
    MediaLoader& media;
    PhysicsWorld& physics;
    LightCounter& lights;  // numbers the scenes' lights; nothing is switched on while loading
    std::ostream& progress;  // "." per loaded object
    std::ostream& errors;    // parse-error lines of the scene files
    Diagnostics& diagnostics;
};

// Text that expat rejects; what() is "<expat's text> at line <file line>".
class XmlSyntaxError : public LoadError {
public:
    using LoadError::LoadError;
};

std::unique_ptr<Movie> loadMovie(const std::string& path, LoadServices& services);

// The same from text already in memory; fileName names it in messages.
std::unique_ptr<Movie> loadMovieFromText(std::string_view text, const std::string& fileName,
                                         LoadServices& services);

// "FILE:LINE: message" (or "FILE: message" without a line).
std::string formatLoadError(const LoadError& error);

// The line the player prints for a refused film: the syntax error line as it
// stands, any other error as formatLoadError gives it.
std::string describeLoadError(const LoadError& error);

// Collapsed text and the map from its offsets back to the file's lines.
struct CollapsedText {
    std::string text;
    BlankCollapser collapser;

    int lineOf(size_t offset) const { return collapser.lineOf(offset); }
};

CollapsedText collapseBlanks(std::string_view file);

}  // namespace xmo
