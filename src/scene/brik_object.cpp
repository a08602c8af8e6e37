#include "movie/movie.h"
#include "scene/brick_geometry.h"

namespace xmo {

BrikObject::BrikObject() = default;

void BrikObject::load(ObjectLoadContext& context) {
    brickBounds(size, min, max);
    loaded = true;
    if (!brickColourInTable(color))
        context.diagnostics.report(DiagnosticKind::ColorOutOfRange, "", sourceLine,
                                   "brick colour " + std::to_string(color) + " is outside 0 to 15; drawn as colour " +
                                       std::to_string(color < 0 ? 0 : kBrickColourCount - 1));
    if (!brickSizeInRange(size))
        context.diagnostics.report(DiagnosticKind::SizeOutOfRange, "", sourceLine,
                                   "brick size is beyond " + std::to_string(kMaxStudsPerAxis) +
                                       " studs; only that many studs per side are built");
}

}  // namespace xmo
