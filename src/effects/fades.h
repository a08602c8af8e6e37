// Screen fades: a screen-filling quad blended over the finished picture.
#pragma once

#include <memory>
#include <optional>
#include <vector>

namespace xmo {

struct SpecialEffect;

// Premultiplied colour: the picture becomes grey + picture * (1 - alpha).
struct FadeColour {
    float grey = 0.0f;
    float alpha = 0.0f;
};

// The fade's colour at local time t, or nothing outside its open interval or
// for an unknown type.
std::optional<FadeColour> fadeColour(const SpecialEffect& fade, float t);

void drawFades(const std::vector<std::unique_ptr<SpecialEffect>>& fades, float t);

}  // namespace xmo
