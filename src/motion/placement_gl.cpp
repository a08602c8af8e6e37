#include "movie/movie.h"

namespace xmo {

void Model::draw() {}
void ModelTransform::draw() {}

}  // namespace xmo
