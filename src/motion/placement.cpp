#include "movie/movie.h"

namespace xmo {

void Model::computeExtents() {}
void Model::setEnabled(bool value) { enabled = value; }

}  // namespace xmo
