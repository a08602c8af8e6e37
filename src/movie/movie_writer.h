// The movie writer: a Movie back into the text of a movie file.
//
// Each record's writeXml returns its element as complete lines; saveMovie
// writes the two header lines and the movie's text. Only objects, top-level
// models and per sequence its camera and animations are written; a model
// transform is written as an empty element. Numbers use the stream's default
// six significant digits, rotations are written as a unit axis and an angle in
// degrees, and string values are escaped so that every written file reads back.
#pragma once

#include <stdexcept>
#include <string>

#include "movie/movie.h"

namespace xmo {

class SaveError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Writes to a temporary file beside path and renames it over path, so a
// failure never leaves a half-written file. Throws SaveError naming the file
// and the system's reason.
void saveMovie(const Movie& movie, const std::string& path);

// &, <, > and " as entities.
std::string escapeXml(const std::string& text);

}  // namespace xmo
