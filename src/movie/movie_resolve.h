// The resolution pass that follows parsing: ids become pointers, objects are
// loaded, extents computed, and the physics world gets its bodies, joints and
// contacts, in that fixed order.
//
// Ids are looked up in indexes built once over the model tree (depth first, in
// document order), with the results a walk of the tree per reference would
// give: a model's object is the first object of its id; animations, commands,
// joins, contacts and relative models take the last model of an id in tree
// order; only animations may name a ModelTransform. Every reference that
// resolves to nothing is reported as a Diagnostic. A scene file that cannot
// be read, or commands naming too many targets, refuse the film through
// refusals; when loading goes on, the object stays unloaded and the command
// without targets.
#pragma once

#include "movie/movie.h"
#include "movie/movie_loader.h"

namespace xmo {

void resolveMovie(Movie& movie, LoadServices& services, Refusals& refusals);

}  // namespace xmo
