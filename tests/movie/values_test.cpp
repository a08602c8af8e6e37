#include "movie/values.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>

namespace xmo {
namespace {

TEST(AttributeValues, IntegersStopAtTheFirstCharacterThatDoesNotFit) {
    struct Case {
        const char* text;
        bool read;
        int value;
    };
    const Case cases[] = {
        {"42", true, 42},           {"  -7", true, -7},        {"+5", true, 5},
        {"3.9", true, 3},           {"12abc", true, 12},       {"", false, 99},
        {"abc", false, 99},         {"-", false, 99},          {"- 4", false, 99},
        {"99999999999", true, INT_MAX}, {"-99999999999", true, INT_MIN},
    };
    for (const Case& c : cases) {
        int value = 99;
        EXPECT_EQ(readInt(c.text, value), c.read) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
    }
}

TEST(AttributeValues, FloatsReadOnlyTheDecimalForm) {
    struct Case {
        const char* text;
        bool read;
        float value;
    };
    const Case cases[] = {
        {"0.5", true, 0.5f},    {" -2", true, -2.0f},  {"1e3", true, 1000.0f}, {".25", true, 0.25f},
        {"1e", true, 1.0f},     {"2.5kg", true, 2.5f}, {"0x10", true, 0.0f},   {"inf", false, 7.0f},
        {"nan", false, 7.0f},   {".", false, 7.0f},    {"", false, 7.0f},      {"1e99", true, FLT_MAX},
        {"-1e99", true, -FLT_MAX},
    };
    for (const Case& c : cases) {
        float value = 7.0f;
        EXPECT_EQ(readFloat(c.text, value), c.read) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
    }
}

TEST(AttributeValues, VectorComponentsThatCannotBeReadAreZero) {
    struct Case {
        const char* text;
        Vec3f value;
    };
    const Case cases[] = {
        {"1 2 3", {1, 2, 3}},
        {"  1 \t 2 \n 3  ", {1, 2, 3}},
        {"1 2", {1, 2, 0}},
        {"1 2x 3", {1, 2, 0}},
        {"x 2 3", {0, 0, 0}},
        {"", {0, 0, 0}},
        {"1 2 3 4", {1, 2, 3}},
    };
    for (const Case& c : cases) EXPECT_EQ(readVec3(c.text), c.value) << c.text;
    EXPECT_EQ(readVec2("-1000 5"), (Vec2f{-1000, 5}));
    EXPECT_EQ(readVec2("8"), (Vec2f{8, 0}));
}

TEST(AttributeValues, RotationsAreAnAxisAndDegrees) {
    const Quatf quarter = readRotation("0 0 1 90");
    EXPECT_NEAR(quarter.v.z(), 0.7071068f, 1e-6f);
    EXPECT_NEAR(quarter.w, 0.7071068f, 1e-6f);
    // The axis is not normalised.
    const Quatf scaled = readRotation("0 0 2 90");
    EXPECT_NEAR(scaled.v.z(), 1.4142136f, 1e-6f);
    // Nothing readable gives no rotation, and so does an axis of zero length,
    // which only an angle of 0 makes harmless.
    EXPECT_EQ(readRotation(""), Quatf());
    EXPECT_EQ(readRotation("0 1 0"), Quatf());
    EXPECT_EQ(readRotation("0 0 0 90"), Quatf());
    // Only an angle about no axis is worth a warning.
    for (const auto& [text, fault] : {std::pair{"0 0 0 90", ValueFault::ZeroAxis},
                                      std::pair{"-0 0 0 -360", ValueFault::ZeroAxis},
                                      std::pair{"0 0 0 0", ValueFault::None},
                                      std::pair{"0 0 1e-30 90", ValueFault::None}}) {
        ValueFault found = ValueFault::None;
        readRotation(text, &found);
        EXPECT_EQ(found, fault) << text;
    }
}

TEST(AttributeValues, OnlyLowerCaseTrueIsTrue) {
    struct Case {
        const char* text;
        bool value;
    };
    const Case cases[] = {{"true", true}, {"True", false}, {"TRUE", false}, {"1", false},
                          {"yes", false}, {" true", false}, {"true ", false}, {"", false}};
    for (const Case& c : cases) EXPECT_EQ(readBool(c.text), c.value) << '"' << c.text << '"';
}

TEST(AttributeValues, IntListsTakeEveryIntegerUpToTheFirstNonNumber) {
    struct Case {
        const char* text;
        std::vector<int> list;
    };
    const Case cases[] = {
        {"3 5 8", {3, 5, 8}}, {"  3   5\n8 ", {3, 5, 8}}, {"", {}}, {"   ", {}},
        {"-1 +2", {-1, 2}},   {"4 x 6", {4}},             {"7,8", {7}},
    };
    for (const Case& c : cases) EXPECT_EQ(readIntList(c.text), c.list) << c.text;
}

}  // namespace
}  // namespace xmo
