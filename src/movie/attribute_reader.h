// Reads the values of one element's attributes into its record and reports,
// for the checker, what the player would pass over in silence: attribute
// names the element does not read and values not read in full ("nan", "1,5",
// a vector that ends early, a number out of range, "TRUE" for a flag). The
// values read are those of movie/values.h either way; a value read in full
// costs one test of its fault.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/diagnostics.h"
#include "movie/values.h"

namespace xmo {

class AttributeReader {
public:
    AttributeReader(Diagnostics& diagnostics, const std::string& fileName)
        : diagnostics_(diagnostics), fileName_(fileName) {}

    // The element whose attributes follow, and its line in the file.
    void startElement(const char* element, int line) {
        element_ = element;
        line_ = line;
    }
    // The attribute whose value the next read takes.
    void startAttribute(const char* name) { attribute_ = name; }

    void readInt(const char* text, int& value) {
        ValueFault fault = ValueFault::None;
        xmo::readInt(text, value, &fault);
        if (fault != ValueFault::None) reportValue(text, fault, describe(value));
    }
    void readFloat(const char* text, float& value) {
        ValueFault fault = ValueFault::None;
        xmo::readFloat(text, value, &fault);
        if (fault != ValueFault::None) reportValue(text, fault, describe(value));
    }
    void readVec2(const char* text, Vec2f& value) {
        ValueFault fault = ValueFault::None;
        value = xmo::readVec2(text, &fault);
        if (fault != ValueFault::None) reportValue(text, fault, describe(value.e, 2));
    }
    void readVec3(const char* text, Vec3f& value) {
        ValueFault fault = ValueFault::None;
        value = xmo::readVec3(text, &fault);
        if (fault != ValueFault::None) reportValue(text, fault, describe(value.e, 3));
    }
    void readRotation(const char* text, Quatf& value) {
        ValueFault fault = ValueFault::None;
        value = xmo::readRotation(text, &fault);
        if (fault != ValueFault::None) reportValue(text, fault, describeRotation(fault));
    }
    void readBool(const char* text, bool& value) {
        ValueFault fault = ValueFault::None;
        value = xmo::readBool(text, &fault);
        if (fault != ValueFault::None) reportValue(text, fault, "it reads as false");
    }
    void readIntList(const char* text, std::vector<int>& value) {
        ValueFault fault = ValueFault::None;
        value = xmo::readIntList(text, &fault);
        if (fault != ValueFault::None) reportValue(text, fault, describe(value));
    }

    // The current attribute is not one its element reads; suggestion is the
    // known name nearest to it, if any.
    void reportUnknownAttribute(std::string_view suggestion);
    // An element name the format does not know, at the current line.
    void reportUnknownElement(const char* name, std::string_view suggestion);

private:
    void reportValue(const char* text, ValueFault fault, const std::string& consequence);
    static std::string describe(int value);
    static std::string describe(float value);
    static std::string describe(const float* values, int count);
    static std::string describe(const std::vector<int>& values);
    static std::string describeRotation(ValueFault fault);

    Diagnostics& diagnostics_;
    const std::string& fileName_;
    const char* element_ = "";
    const char* attribute_ = "";
    int line_ = 0;
};

}  // namespace xmo
