// The movie loader: a movie file read into a resolved Movie.
//
// expat reads the file through the front end of base/xml_front_end.h, so
// every run of blanks and line breaks counts as one blank (inside attribute
// values too, so "1  2\n3" reads as "1 2 3") and every message names the
// file's own line. The element handlers build records in document order,
// converting numbers straight from the attribute text and resolving the
// names that select behaviour to enums; then the resolution pass links ids,
// loads objects, computes extents and hands the physical models, joins and
// contacts to the physics world; last the film is proofread
// (movie_proofread.h). Files the film names are read beside the film when
// the working directory lacks them (base/film_files.h).
//
// Problems that make the film unplayable are thrown as LoadError (an
// XmlSyntaxError for text expat rejects); problems an author should fix but
// that do not stop the film are reported as Diagnostics.
#pragma once

#include <memory>
#include <optional>
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

// A film loaded to be checked: as much of the movie as could be read and
// resolved, and the first problem that makes the player refuse the film.
struct CheckedMovie {
    std::unique_ptr<Movie> movie;  // null when nothing could be read
    std::optional<LoadError> refusal;
};

// Loads as loadMovie does, but goes on after a refusal wherever it can (an
// element outside the one it needs is skipped with all it holds, an object
// whose scene file cannot be read stays unloaded), so that the problems
// after it are found too (base/diagnostics.h, Refusals). Text that is not
// well-formed, or holds no Movie, ends the load: the movie is then null.
CheckedMovie loadMovieToCheck(const std::string& path, LoadServices& services);
CheckedMovie loadMovieTextToCheck(std::string_view text, const std::string& fileName, LoadServices& services);

// "FILE:LINE: message" (or "FILE: message" without a line).
std::string formatLoadError(const LoadError& error);

// The line the player prints for a refused film: the syntax error line as it
// stands, any other error as formatLoadError gives it.
std::string describeLoadError(const LoadError& error);

}  // namespace xmo
