#include "core/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <utility>

namespace {

TEST(FormatNumber, DisplayFormats) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        double value;
        const char* pattern;
        const char* text;
    } cases[] = {
        {45.5, "000", "046"},  {359.6, "000", "360"},     {-7, "000", "-007"},
        {nan, "000", "000"},   {123.45, "##.0", "123.5"}, {-3.25, "##.0", "-3.3"},
        {-0.04, "##.0", ".0"}, {0.5, "#0.00", "0.50"},    {0.5, "##.00", ".50"},
        {0.1f, "##.0", ".1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(mv::FormatNumber(c.value, c.pattern), c.text) << c.value << " " << c.pattern;
    // A demo file may set any speed; its read-out must not be cut short or garbled.
    EXPECT_EQ(mv::FormatNumber(1e100, "##.0").size(), 103u);
}

TEST(QuantityText, OneFormatForEachQuantity) {
    // A figure always shows its leading zero and its unit, in the same words everywhere.
    const std::pair<std::string, const char*> cases[] = {
        {mv::MilesText(0.5), "0.50 nm"},    {mv::MilesText(12.346), "12.35 nm"},
        {mv::MilesText(-0.004), "0.00 nm"}, {mv::MinutesText(-3.25), "-3.3 min"},
        {mv::MinutesText(0.04), "0.0 min"}, {mv::MinutesText(125.0), "125.0 min"},
        {mv::KnotsText(12), "12.0 kn"},     {mv::KnotsText(0.25), "0.3 kn"},
        {mv::KnotsFigure(99.94), "99.9"},   {mv::MilesFigure(6), "6.00"},
    };
    for (const auto& [got, want] : cases)
        EXPECT_EQ(got, want);
}

TEST(FormatClock, DayFractions) {
    // Before day 0 (a CPA already past just after midnight) is the previous evening; 1.25 is
    // the next day's morning; 86399.6 s rounds to the next midnight.
    const std::pair<double, const char*> cases[] = {
        {0.5 + 3.0 / 86400, "12:00:03"}, {1.25, "06:00:00"},         {86399.6 / 86400, "00:00:00"},
        {0.999988, "23:59:59"},          {-10.0 / 1440, "23:50:00"}, {-1.25, "18:00:00"},
    };
    for (auto [days, text] : cases)
        EXPECT_EQ(mv::FormatClock(days), text) << days;
}

TEST(NumberText, SignPositionAndPrecision) {
    // Single precision shows 7 digits: 0.1f reads .1, not .100000001.
    EXPECT_EQ(mv::NumberText(-3.5) + "|" + mv::NumberText(0.1f) + "|" + mv::NumberText(0.0) + "|" +
                  mv::NumberText(1.0 / 3.0),
              "-3.5| .1| 0| .333333333333333");
    EXPECT_EQ(mv::NumberText(1.5e-5), " 1.5E-05");
    EXPECT_EQ(mv::PlainNumberText(6.0) + "|" + mv::PlainNumberText(-0.5f), "6|-.5");
}

TEST(ToInt16, HalvesToEven) {
    const std::pair<double, int> cases[] = {{0.5, 0},   {1.5, 2},     {-2.5, -2},
                                            {44.5, 44}, {359.5, 360}, {-0.51, -1}};
    for (auto [v, expected] : cases)
        EXPECT_EQ(mv::ToInt16(v), expected) << v;
    EXPECT_FALSE(mv::ToInt16(40000.0) || mv::ToInt16(std::numeric_limits<double>::infinity()));
    EXPECT_TRUE(mv::RoundToInt16(40000.0) == 32767 && mv::RoundToInt16(std::nan("")) == 0);
}

TEST(ReadingNumbers, LeadingNumberAndWholeText) {
    const std::pair<const char*, double> leading[] = {
        {"", 0},   {"  12abc", 12}, {".5", 0.5},    {"-3e2", -300},
        {"7e", 7}, {"abc", 0},      {"1.2.3", 1.2},
    };
    for (auto [text, value] : leading)
        EXPECT_DOUBLE_EQ(mv::LeadingNumber(text), value) << text;
    EXPECT_TRUE(mv::ParseNumber(" 045 ") == 45.0 && mv::ParseNumber("-1.5e3") == -1500.0);
    for (const char* bad : {"", "12x", "1,5", "inf", "nan", "0x10", "1 2"})
        EXPECT_FALSE(mv::ParseNumber(bad)) << bad;
}

} // namespace
