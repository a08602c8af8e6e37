#include "movie/attribute_reader.h"

#include <cstdio>

namespace xmo {

namespace {

std::string quoted(std::string_view s) { return "\"" + std::string(s) + "\""; }

std::string didYouMean(std::string_view suggestion) {
    return suggestion.empty() ? std::string() : "; did you mean " + quoted(suggestion) + "?";
}

const char* faultText(ValueFault fault) {
    switch (fault) {
    case ValueFault::None: break;
    case ValueFault::NotANumber: return " is not a number";
    case ValueFault::ExtraText: return " is not read in full";
    case ValueFault::TooFewNumbers: return " has too few numbers";
    case ValueFault::Saturated: return " is out of range";
    case ValueFault::NotABool: return " is neither \"true\" nor \"false\"";
    case ValueFault::ZeroAxis: break;
    }
    return "";
}

}  // namespace

void AttributeReader::reportUnknownAttribute(std::string_view suggestion) {
    diagnostics_.report(DiagnosticKind::UnknownAttribute, fileName_, line_,
                        "unknown attribute " + quoted(attribute_) + " of " + element_ + didYouMean(suggestion));
}

void AttributeReader::reportUnknownElement(const char* name, std::string_view suggestion) {
    diagnostics_.report(DiagnosticKind::UnknownElement, fileName_, line_,
                        "unknown element " + quoted(name) + didYouMean(suggestion));
}

void AttributeReader::reportValue(const char* text, ValueFault fault, const std::string& consequence) {
    if (fault == ValueFault::ZeroAxis) {
        diagnostics_.report(DiagnosticKind::RotationWithoutAxis, fileName_, line_,
                            std::string(attribute_) + " " + quoted(text) +
                                " turns about an axis of zero length; it is read as no rotation");
        return;
    }
    const DiagnosticKind kind = fault == ValueFault::Saturated ? DiagnosticKind::SaturatedNumber : DiagnosticKind::UnreadValue;
    diagnostics_.report(kind, fileName_, line_,
                        std::string(attribute_) + " of " + element_ + ": " + quoted(text) + faultText(fault) + "; " +
                            consequence);
}

std::string AttributeReader::describe(int value) { return "it reads as " + std::to_string(value); }

std::string AttributeReader::describe(float value) { return describe(&value, 1); }

std::string AttributeReader::describe(const float* values, int count) {
    std::string text = "it reads as";
    for (int i = 0; i < count; ++i) {
        char number[32];
        std::snprintf(number, sizeof number, " %g", static_cast<double>(values[i]));
        text += number;
    }
    return text;
}

std::string AttributeReader::describe(const std::vector<int>& values) {
    if (values.empty()) return "it reads as an empty list";
    // A list can be as long as the file; the first few entries place the fault.
    constexpr size_t kShown = 8;
    std::string text = "it reads as";
    for (size_t i = 0; i < values.size() && i < kShown; ++i) text += " " + std::to_string(values[i]);
    if (values.size() > kShown) text += " ... (" + std::to_string(values.size()) + " numbers)";
    return text;
}

std::string AttributeReader::describeRotation(ValueFault fault) {
    switch (fault) {
    case ValueFault::ExtraText: return "the text after the angle is ignored";
    case ValueFault::Saturated: return "the number reads as the largest float of its sign";
    default: return "the numbers from there on read as 0";
    }
}

}  // namespace xmo
