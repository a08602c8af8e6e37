#include "movie/movie.h"

namespace xmo {

BrikObject::BrikObject() = default;
BrikObject::~BrikObject() = default;

void BrikObject::load(ObjectLoadContext&) {}

}  // namespace xmo
