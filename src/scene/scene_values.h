// Attribute value syntaxes of scene files, read in place from the text that
// the XML parser hands over: no copies of the value, no string streams.
//
// Numbers follow formatted stream extraction: leading blanks are skipped, a
// number is an optional sign, digits with at most one decimal point and an
// optional exponent; anything after it is left for the next read. A value
// that does not start with a number fails the read and, as a stream does,
// leaves 0 in the target (an empty value leaves the target untouched).
#pragma once

#include <vector>

#include "math/quat.h"
#include "math/vec.h"

namespace xmo {

// True exactly for "true".
bool readBool(const char* text);

// One float from the start of text; the rest is ignored.
void readFloat(const char* text, float& value);

// Up to three floats separated by blanks; reading stops at the first that
// fails, so the components after it keep their values.
void readFloat3(const char* text, Vec3f& value);

// Axis x, y, z and an angle in degrees, as the quaternion of that angle
// about that axis (the axis taken as written).
Quatf readRotation(const char* text);

// Tuples of three (or two) numbers, each followed by one separator character
// (the first non-blank after the tuple, normally a comma). A tuple cut short
// ends the list. Replaces the contents of points.
void readPointList3(const char* text, std::vector<Vec3f>& points);
void readPointList2(const char* text, std::vector<Vec2f>& points);

// Blank-separated integers, up to the first entry that is not one.
// Replaces the contents of values.
void readIntList(const char* text, std::vector<int>& values);

}  // namespace xmo
