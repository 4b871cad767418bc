// Number texts both ways. Any text read as a number is a finite number that its own text
// gives back; any double, NaN and infinity included, is shown as digits in every display
// format, never as "nan" or "inf".

#include "core/aids/cpa_computer.h"
#include "core/number_text.h"
#include "fuzz/fuzz_check.h"

#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstring>

using namespace mv;
using mv::fuzz::Check;

namespace {

bool OnlyNumberCharacters(const std::string& s) {
    for (char c : s)
        if (!(std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == ' ' ||
              c == 'E' || c == '+'))
            return false;
    return !s.empty();
}

void CheckShown(double v) {
    for (const char* pattern : {"000", "##.0", "#0.00", "##.00", "##0.00", "###.0"}) {
        const std::string text = FormatNumber(v, pattern);
        Check(OnlyNumberCharacters(text), "a format shows digits only");
        if (std::isfinite(v) && std::fabs(v) < 1e15) {
            // Within half a unit of the last place shown.
            const auto back = ParseNumber(text);
            Check(back.has_value(), "a formatted number reads back");
            const char* point = std::strchr(pattern, '.');
            const double decimals = point ? static_cast<double>(std::strlen(point) - 1) : 0.0;
            const double unit = std::pow(10.0, -decimals);
            Check(std::fabs(*back - v) <= unit / 2 + std::fabs(v) * 1e-15, "formatted near");
        }
    }
    const std::string clock = FormatClock(v);
    Check(clock.size() == 8 && clock[2] == ':' && clock[5] == ':', "a clock reads hh:mm:ss");
    Check(OnlyNumberCharacters(NumberText(v)) && OnlyNumberCharacters(PlainNumberText(v)),
          "a number's text is digits");
    const std::string signed_ = NumberText(v);
    Check(signed_[0] == ' ' || signed_[0] == '-', "a sign position");
    const int16_t whole = RoundToInt16(v);
    if (const auto exact = ToInt16(v)) Check(*exact == whole, "rounding agrees");
    // Fifteen significant digits of a number within a rounding step of the largest double
    // round beyond it, and such text is rightly read as an overflow.
    if (std::isfinite(v) && std::fabs(v) < 1.79769313486231e308) {
        const auto back = ParseNumber(PlainNumberText(v));
        Check(back && (*back == v || std::fabs(*back - v) <= std::fabs(v) * 1e-14),
              "a double's text reads back to it");
        const auto single = static_cast<float>(v);
        if (std::isfinite(single)) {
            const auto b = ParseNumber(PlainNumberText(single));
            Check(b && std::fabs(*b - single) <= std::fabs(static_cast<double>(single)) * 1e-6,
                  "a single's text reads back to it");
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text = mv::fuzz::Bytes(data, size);

    if (const auto v = ParseNumber(text)) {
        Check(std::isfinite(*v), "a number read is finite");
        CheckShown(*v);
    }
    Check(std::isfinite(LeadingNumber(text)), "a leading number is finite");

    // The same bytes as the bits of a double: every NaN, infinity and subnormal.
    if (size >= sizeof(double)) {
        double bits = 0;
        std::memcpy(&bits, data, sizeof bits);
        CheckShown(bits);
    }

    // The CPA computer's time fields read the same texts.
    for (TimePart part : {TimePart::Hour, TimePart::Minute, TimePart::Second}) {
        const std::string kept = TimeFieldCeiling(text, part);
        const double limit = part == TimePart::Hour ? 24 : 59;
        Check(LeadingNumber(kept) <= limit, "a time field kept under its ceiling");
    }
    if (const auto t = ParseTimeOfDay(text)) Check(*t >= 0 && *t < 1, "a time of one day");
    return 0;
}
