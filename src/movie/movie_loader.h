// The movie loader: a movie file read into a resolved Movie.
//
// expat reads the file through the front end of base/xml_front_end.h, so
// every run of blanks and line breaks counts as one blank (inside attribute
// values too, so "1  2\n3" reads as "1 2 3") and every message names the
// file's own line. The element handlers build records in document order,
// converting numbers straight from the attribute text and resolving the
// names that select behaviour to enums; then the resolution pass links ids,
// loads objects, computes extents and hands the physical models, joins and
// contacts to the physics world.
//
// Problems that make the film unplayable are thrown as LoadError (an
// XmlSyntaxError for text expat rejects); problems an author should fix but
// that do not stop the film are reported as Diagnostics.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "base/diagnostics.h"
#include "movie/load_services.h"
#include "movie/movie.h"

namespace xmo {

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

}  // namespace xmo
