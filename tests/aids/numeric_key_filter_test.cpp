#include "aids/numeric_key_filter.h"

#include <gtest/gtest.h>

namespace {

using mv::NumericKeyFilter;

TEST(NumericKeyFilter, DecidesEachKey) {
    const struct {
        char16_t key;
        const char* text;
        int caret;
        bool sign, decimal;
        char16_t expected;
    } cases[] = {
        {u'7', "", 0, false, false, u'7'},
        {8, "12.5", 4, false, false, 8},    // backspace always works
        {u'.', "12", 2, false, true, u'.'}, // 12.5 in the speed field
        {u'.', "12.5", 4, false, true, 0},  // a second point is swallowed
        {u'.', "12.5", 0, false, true, 0},  // even over a selection holding the point
        {u'.', "12", 2, false, false, 0},   // course and turn fields
        {u'-', "", 0, false, true, 0},      // no field of the program takes a sign
        {u'-', "", 0, true, false, u'-'},   // where a sign is allowed: first two places
        {u'+', "5", 1, true, false, u'+'},
        {u'-', "55", 2, true, false, 0},
        {13, "12", 2, true, true, 0}, // Enter
        {22, "12", 2, true, true, 0}, // Ctrl+V
        {u',', "12", 2, true, true, 0},
        {u'\u0663', "", 0, true, true, 0}, // an Arabic-Indic three is not a digit here
    };
    for (const auto& c : cases)
        EXPECT_EQ(NumericKeyFilter(c.key, c.text, c.caret, c.sign, c.decimal), c.expected)
            << int(c.key) << " into '" << c.text << "'";
}

} // namespace
