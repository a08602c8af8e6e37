// The loaded and resolved movie as JSON, for xmotool dump and for tests.
//
// Keys are the records' field names and every record carries a "type" key
// with its record name; the field named type of SpecialEffect and Particle is
// written as "typeField" so the two never clash. Vectors are arrays, a Quatf
// is [x, y, z, w], floats are written with nine significant digits so they
// read back exactly (non-finite ones as null). A resolved reference is
// {"id": N, "index": I}, I being the model's position in the depth-first
// tree order (for an object, its position in objects), or null. A model's
// bodyIndex and a join's joint are null when the record got no body or joint.
#pragma once

#include <ostream>

#include "movie/movie.h"

namespace xmo {

void writeMovieJson(const Movie& movie, std::ostream& out);

}  // namespace xmo
