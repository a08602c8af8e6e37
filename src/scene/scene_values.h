// Attribute value syntaxes of scene files beyond those the movie file shares
// (flags and rotations come from movie/values.h): numbers as a formatted
// stream reads them, colour triples, point lists and index lists.
//
// A value that does not start with a number fails the read and, as a stream
// does, leaves 0 in the target; an empty value leaves the target untouched.
#pragma once

#include <vector>

#include "math/vec.h"

namespace xmo {

// One float from the start of text; the rest is ignored.
void readSceneFloat(const char* text, float& value);

// Up to three floats separated by blanks; reading stops at the first that
// fails, so the components after it keep their values.
void readSceneFloat3(const char* text, Vec3f& value);

// Tuples of three (or two) numbers, each followed by one separator character
// (the first non-blank after the tuple, normally a comma). A tuple cut short
// ends the list. Replaces the contents of points.
void readPointList3(const char* text, std::vector<Vec3f>& points);
void readPointList2(const char* text, std::vector<Vec2f>& points);

// Blank-separated integers, up to the first entry that is not one.
// Replaces the contents of values.
void readIndexList(const char* text, std::vector<int>& values);

}  // namespace xmo
