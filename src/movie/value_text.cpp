#include "movie/value_text.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>

#include "movie/values.h"

namespace xmo {

namespace {

constexpr double kPi = 3.141592653589793;

std::string formatFloat(float value, int digits) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.*g", digits, static_cast<double>(value));
    return buffer;
}

bool readsBackAs(const std::string& text, const Quatf& q) { return sameBits(readRotation(text.c_str()), q); }

std::string axisAngleText(const Vec3f& axis, float degrees) { return vectorText(axis) + ' ' + floatText(degrees); }

// The float `steps` representable values away from value (either way).
float floatsAway(float value, int steps) {
    const float towards = steps < 0 ? -HUGE_VALF : HUGE_VALF;
    for (int i = 0; i < std::abs(steps); ++i) value = std::nextafter(value, towards);
    return value;
}

// An axis component a with s * a == v exactly, near v / s; the sign of a zero
// counts. With s == 0 every product is a zero, so only its sign is chosen and
// the magnitude is taken from the unit axis (the axis must not vanish).
std::optional<float> axisComponent(float v, float s, float unit) {
    if (s == 0.0f) {
        if (v != 0.0f) return std::nullopt;
        const bool negative = std::signbit(v) != std::signbit(s);
        return std::copysign(std::fabs(unit), negative ? -1.0f : 1.0f);
    }
    const float guess = v / s;
    for (int step = 0; step <= 4; ++step)
        for (const int away : {step, -step})
            if (const float a = floatsAway(guess, away); sameBits(s * a, v)) return a;
    return std::nullopt;
}

// An axis for the angle whose half has sine s, reaching the vector part
// exactly; nothing when there is none.
std::optional<Vec3f> exactAxis(const Quatf& q, float s, const Vec3f& unitAxis) {
    Vec3f axis;
    for (int i = 0; i < 3; ++i) {
        const std::optional<float> a = axisComponent(q.v.e[i], s, unitAxis.e[i]);
        if (!a) return std::nullopt;
        axis.e[i] = *a;
    }
    return axis;
}

// Searches angles near those that w and the vector part suggest, either
// sign, for one whose cosine is w and whose sine reaches the vector part; of
// the texts found at the nearest distance, the shortest. A file's angle may
// lie whole turns of the half angle (720 degrees) away from the one the
// quaternion shows, and a float angle there makes a different quaternion, so
// a few such turns are tried as well.
std::optional<std::string> exactRotationText(const Quatf& q, const Vec3f& unitAxis) {
    const double w = std::fmax(-1.0, std::fmin(1.0, static_cast<double>(q.w)));
    const double vectorLength = std::sqrt(static_cast<double>(dot(q.v, q.v)));
    // acos finds the angle wherever w is not near ±1; there atan2 does, for
    // an axis of unit length.
    const double byCosine = 2.0 * std::acos(w) * 180.0 / kPi;
    const double byTangent = 2.0 * std::atan2(vectorLength, w) * 180.0 / kPi;
    const bool nearWholeTurn = std::fabs(w) > 0.99;
    const double angles[] = {nearWholeTurn ? byTangent : byCosine, nearWholeTurn ? byCosine : byTangent};
    constexpr int kTurns = 3;
    constexpr int kSteps = 16;
    for (int turn = 0; turn <= kTurns; ++turn)
        for (const double angle : angles)
            for (const double centre : {angle + 720.0 * turn, 720.0 * turn - angle})
                for (int step = 0; step <= kSteps; ++step) {
                    std::optional<std::string> best;
                    for (const int away : {step, -step})
                        for (const float sign : {1.0f, -1.0f}) {
                            const float degrees = sign * floatsAway(static_cast<float>(centre), away);
                            const float half = static_cast<float>(degrees / 180.0 * kPi * 0.5);
                            if (!sameBits(std::cos(half), q.w)) continue;
                            const std::optional<Vec3f> axis = exactAxis(q, std::sin(half), unitAxis);
                            if (!axis) continue;
                            std::string text = axisAngleText(*axis, degrees);
                            if (readsBackAs(text, q) && (!best || text.size() < best->size())) best = std::move(text);
                        }
                    if (best) return best;
                }
    return std::nullopt;
}

}  // namespace

bool sameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

bool sameBits(const Quatf& a, const Quatf& b) { return sameBits(a.v, b.v) && sameBits(a.w, b.w); }

std::string floatText(float value) {
    std::string text;
    for (int digits = 6; digits <= 9; ++digits) {
        text = formatFloat(value, digits);
        float back = 0.0f;
        if (readFloat(text.c_str(), back) && sameBits(back, value)) break;
    }
    return text;
}

std::string rotationText(const Quatf& rotation) {
    const AxisAngle plain = rotation.toAxisAngle();
    std::string text;
    for (const float f : {plain.axis.e[0], plain.axis.e[1], plain.axis.e[2], plain.degrees})
        text += (text.empty() ? "" : " ") + formatFloat(f, 6);
    if (readsBackAs(text, rotation)) return text;
    return exactRotationText(rotation, plain.axis).value_or(text);
}

std::string intListText(const std::vector<int>& list) {
    std::string text;
    for (const int n : list) text += (text.empty() ? "" : " ") + std::to_string(n);
    return text;
}

std::string escapeXml(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) out += "&#" + std::to_string(static_cast<int>(c)) + ';';
            else out += c;
        }
    }
    return out;
}

}  // namespace xmo
