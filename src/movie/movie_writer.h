// The movie writer: a Movie back into the text of a movie file.
//
// Each record's writeXml returns its element as complete lines; saveMovie
// writes the two header lines and the movie's text. Everything the film holds
// is written, so that loading the written file gives the same film: objects,
// models (inside their model transforms), joins, contacts, sounds, and per
// sequence its camera, animations, commands, fades, particles, captions and
// tiles, each section only when it has records. Attributes beyond the
// classic set (id, objectid, position and rotation of a model) are written
// only when they differ from the value a reader starts from, and values that
// loading derives again (a top-level model's boxsize, the function a command
// gives its model) are left out. Values are written by movie/value_text.h
// so that they read back bit for bit.
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

}  // namespace xmo
