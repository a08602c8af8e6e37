#include "movie/movie.h"

namespace xmo {

void BrikObject::draw() {}
void BrikObject::build() {}
void Object::draw() {}

}  // namespace xmo
