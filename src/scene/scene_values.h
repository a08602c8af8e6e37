// Attribute value syntaxes of scene files beyond those the movie file shares
// (flags and rotations come from movie/values.h): numbers as a formatted
// stream reads them, colour triples, point lists and index lists.
//
// A value that does not start with a number fails the read and, as a stream
// does, leaves 0 in the target; an empty value leaves the target untouched.
#pragma once

#include <cstddef>
#include <vector>

#include "math/vec.h"

namespace xmo {

// One float from the start of text; the rest is ignored.
void readSceneFloat(const char* text, float& value);

// Up to three floats separated by blanks; reading stops at the first that
// fails, so the components after it keep their values.
void readSceneFloat3(const char* text, Vec3f& value);

// Numbers separated by blanks and commas, as X3D writes them ("0 0 0, 1 0 0"
// or "0 0 0 1 0 0"), taken three (or two) at a time, up to the first entry
// that is not a number. Replaces the contents of points; returns how many
// numbers were left over after the last whole tuple.
std::size_t readPointList3(const char* text, std::vector<Vec3f>& points);
std::size_t readPointList2(const char* text, std::vector<Vec2f>& points);

// Integers separated by blanks and commas, up to the first entry that is not
// one. Replaces the contents of values.
void readIndexList(const char* text, std::vector<int>& values);

}  // namespace xmo
