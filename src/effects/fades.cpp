#include "effects/fades.h"

#include "movie/movie.h"

namespace xmo {

std::optional<FadeColour> fadeColour(const SpecialEffect& fade, float t) {
    if (!(fade.starttime < t && t < fade.endtime)) return std::nullopt;
    const float u = (t - fade.starttime) / (fade.endtime - fade.starttime);
    if (fade.type == "blackfadeout") return FadeColour{0.0f, u};
    if (fade.type == "blackfadein") return FadeColour{0.0f, 1.0f - u};
    if (fade.type == "whitefadeout") return FadeColour{u, u};
    if (fade.type == "whitefadein") return FadeColour{1.0f - u, 1.0f - u};
    if (fade.type == "stayblack") return FadeColour{0.0f, 1.0f};
    return std::nullopt;
}

bool isFadeType(const std::string& type) {
    return type == "blackfadeout" || type == "blackfadein" || type == "whitefadeout" || type == "whitefadein" ||
           type == "stayblack";
}

}  // namespace xmo
