// Numbers read straight from attribute text, the way a formatted stream
// extraction reads them: leading blanks skipped, an optional sign, digits with
// at most one decimal point and an optional exponent. Both file formats read
// their values through these; no copies of the text, no string streams.
#pragma once

namespace xmo {

enum class NumberScan {
    Ok,         // a number was read and p stands after it
    End,        // only blanks were left
    OutOfRange, // a number beyond the type's range: value saturated, p after it
    Malformed,  // no number: value 0
};

// How a float whose exponent is cut short ("1e", "2e+") reads: as a stream
// reads it (no number) or as its longest prefix that is a number ("1e" is 1).
enum class CutExponent { Fails, EndsNumber };

const char* skipBlanks(const char* p);
NumberScan scanFloat(const char*& p, float& value, CutExponent cut = CutExponent::Fails);
NumberScan scanInt(const char*& p, int& value);

// Reads count floats into out; false as soon as one is not read.
bool scanFloats(const char*& p, float* out, int count);

}  // namespace xmo
