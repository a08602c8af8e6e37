#include "base/number_scan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>

namespace xmo {
namespace {

// The short-decimal road must give exactly what the C library gives, on both
// sides of its limits (2^24 as the digits' integer, ten digits after the point).
TEST(NumberScan, DecimalsReadExactlyAsTheCLibraryReadsThem) {
    std::mt19937 random(7);
    std::uniform_int_distribution<std::uint32_t> mantissa(0, (1u << 25));
    std::uniform_int_distribution<int> places(0, 12);
    for (int i = 0; i < 200000; ++i) {
        std::string digits = std::to_string(mantissa(random));
        const int fraction = std::min(places(random), static_cast<int>(digits.size()));
        if (fraction > 0) digits.insert(digits.size() - static_cast<std::size_t>(fraction), ".");
        const std::string text = (i % 2 ? "-" : "") + digits;
        const char* p = text.c_str();
        float value = 0.0f;
        ASSERT_EQ(scanFloat(p, value), NumberScan::Ok) << text;
        EXPECT_EQ(p, text.c_str() + text.size()) << text;
        const float expected = std::strtof(text.c_str(), nullptr);
        ASSERT_EQ(value, expected) << text;
        ASSERT_EQ(std::signbit(value), std::signbit(expected)) << text;
    }
}

TEST(NumberScan, ShortDecimalsEndWhereTheGeneralRoadEnds) {
    const struct {
        const char* text;
        float value;
        std::size_t consumed;
    } cases[] = {
        {"  2.5 cm", 2.5f, 5}, {"+.25,", 0.25f, 4}, {"5.", 5.0f, 2}, {"1.2.3", 1.2f, 3}, {"3e2x", 300.0f, 3},
    };
    for (const auto& c : cases) {
        const char* p = c.text;
        float value = 0.0f;
        EXPECT_EQ(scanFloat(p, value), NumberScan::Ok) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
        EXPECT_EQ(static_cast<std::size_t>(p - c.text), c.consumed) << c.text;
    }
}

TEST(NumberScan, IntegersReadAsAStreamReadsThem) {
    const int max = std::numeric_limits<int>::max(), min = std::numeric_limits<int>::min();
    const struct {
        const char* text;
        NumberScan scan;
        int value;
        std::size_t consumed;
    } cases[] = {
        {"42", NumberScan::Ok, 42, 2},
        {" \t-17 4", NumberScan::Ok, -17, 5},
        {"+7,", NumberScan::Ok, 7, 2},
        {"007", NumberScan::Ok, 7, 3},
        {"-0", NumberScan::Ok, 0, 2},
        {"1.5", NumberScan::Ok, 1, 1},
        {"3e2", NumberScan::Ok, 3, 1},
        {"123456789", NumberScan::Ok, 123456789, 9},
        {"-1234567890", NumberScan::Ok, -1234567890, 11},  // past nine digits: the general road
        {"2147483647", NumberScan::Ok, max, 10},
        {"-2147483648", NumberScan::Ok, min, 11},
        {"2147483648 1", NumberScan::OutOfRange, max, 10},
        {"-99999999999", NumberScan::OutOfRange, min, 12},
        {"x1", NumberScan::Malformed, 0, 0},
        {"-", NumberScan::Malformed, 0, 1},
        {"   ", NumberScan::End, 0, 3},
    };
    for (const auto& c : cases) {
        const char* p = c.text;
        int value = 0;
        EXPECT_EQ(scanInt(p, value), c.scan) << c.text;
        if (c.scan != NumberScan::End) {
            EXPECT_EQ(value, c.value) << c.text;
        }
        EXPECT_EQ(static_cast<std::size_t>(p - c.text), c.consumed) << c.text;
    }
}

}  // namespace
}  // namespace xmo
