#include "movie/movie.h"

namespace xmo {

void Object::load(ObjectLoadContext& context) { context.progress << "Error in loading object" << objectname << "\n"; }

}  // namespace xmo
