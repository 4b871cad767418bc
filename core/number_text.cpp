#include "core/number_text.h"

#include <algorithm>
#include <cctype>
#include <cfenv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include <locale.h>

namespace mv {

namespace {

// The "C" locale, made once. Numbers in files and fields always use a decimal point.
locale_t CLocale() {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return c;
}

// The calling thread formats and reads numbers in the "C" locale while this lives.
class DecimalPoint {
  public:
    DecimalPoint() : previous_(uselocale(CLocale())) {}
    ~DecimalPoint() { uselocale(previous_); }
    DecimalPoint(const DecimalPoint&) = delete;
    DecimalPoint& operator=(const DecimalPoint&) = delete;

  private:
    locale_t previous_;
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// Shortest text of |value| with up to `digits` significant digits, exponent form for very
// large and very small values ("1.5E-05"), and no zero before the decimal point (".25").
std::string MagnitudeText(double magnitude, int digits) {
    if (magnitude == 0.0) return "0";
    char buf[64];
    {
        const DecimalPoint point;
        std::snprintf(buf, sizeof buf, "%.*G", digits, magnitude);
    }
    std::string s = buf;
    const auto e = s.find('E');
    std::string mantissa = e == std::string::npos ? s : s.substr(0, e);
    std::string exponent = e == std::string::npos ? "" : s.substr(e);
    if (mantissa.find('.') != std::string::npos) {
        while (!mantissa.empty() && mantissa.back() == '0')
            mantissa.pop_back();
        if (!mantissa.empty() && mantissa.back() == '.') mantissa.pop_back();
    }
    if (mantissa.size() > 1 && mantissa[0] == '0' && mantissa[1] == '.') mantissa.erase(0, 1);
    return mantissa + exponent;
}

std::string SignedText(double value, int digits, bool signBlank) {
    if (!std::isfinite(value)) return signBlank ? " 0" : "0";
    const std::string magnitude = MagnitudeText(std::fabs(value), digits);
    if (std::signbit(value) && value != 0.0) return "-" + magnitude;
    return signBlank ? " " + magnitude : magnitude;
}

} // namespace

std::string FormatNumber(double value, std::string_view pattern) {
    const auto point = pattern.find('.');
    const std::string_view whole = pattern.substr(0, point);
    const int decimals =
        point == std::string_view::npos ? 0 : static_cast<int>(pattern.size() - point - 1);
    int minWhole = 0;
    for (char c : whole)
        if (c == '0') ++minWhole;

    if (!std::isfinite(value)) value = 0.0;
    const long double scale = std::pow(10.0L, decimals);
    // Halves away from zero, as on a navigator's calculator.
    const long double scaled = std::round(std::fabs(static_cast<long double>(value)) * scale);
    // As many digits as the value has: a runaway speed or range must still read true. Every
    // read-out of a tick fits the buffer on the stack, so the tick formats each number once.
    char buf[64];
    const int n = std::snprintf(buf, sizeof buf, "%.0Lf", scaled);
    std::string digits;
    if (n >= 0 && static_cast<size_t>(n) < sizeof buf) {
        digits.assign(buf, static_cast<size_t>(n));
    } else {
        digits.assign(static_cast<size_t>(std::max(n, 0)), '0');
        std::snprintf(digits.data(), digits.size() + 1, "%.0Lf", scaled);
    }
    if (static_cast<int>(digits.size()) < decimals + 1)
        digits.insert(0, static_cast<size_t>(decimals + 1) - digits.size(), '0');
    std::string intPart = digits.substr(0, digits.size() - static_cast<size_t>(decimals));
    const std::string fracPart = digits.substr(digits.size() - static_cast<size_t>(decimals));
    // "##.0" shows no zero before the point; "#0.00" and "000" keep their zeros.
    while (intPart.size() > 1 && intPart[0] == '0')
        intPart.erase(0, 1);
    if (intPart == "0" && minWhole == 0) intPart.clear();
    if (static_cast<int>(intPart.size()) < minWhole)
        intPart.insert(0, static_cast<size_t>(minWhole) - intPart.size(), '0');

    std::string out = intPart;
    if (point != std::string_view::npos) out += "." + fracPart;
    const bool negative = value < 0 && scaled != 0.0L;
    return negative ? "-" + out : out;
}

std::string DirectionText(double degrees, bool tenths) {
    if (!std::isfinite(degrees)) degrees = 0.0;
    const double scale = tenths ? 10.0 : 1.0;
    // Rounded to the figures shown before folding: 359.5 rounds to 360, which is north.
    double shown = std::round(std::fmod(degrees, 360.0) * scale) / scale;
    if (shown < 0.0) shown += 360.0;
    if (shown >= 360.0) shown -= 360.0;
    return FormatNumber(shown, tenths ? "000.0" : "000");
}

std::string MilesFigure(double nauticalMiles) {
    return FormatNumber(nauticalMiles, "#0.00");
}

std::string MinutesFigure(double minutes) {
    return FormatNumber(minutes, "#0.0");
}

std::string KnotsFigure(double knots) {
    return FormatNumber(knots, "#0.0");
}

std::string MilesText(double nauticalMiles) {
    return MilesFigure(nauticalMiles) + " " + kMilesUnit;
}

std::string MinutesText(double minutes) {
    return MinutesFigure(minutes) + " " + kMinutesUnit;
}

std::string KnotsText(double knots) {
    return KnotsFigure(knots) + " " + kKnotsUnit;
}

std::string FormatClock(double days) {
    if (!std::isfinite(days)) days = 0.0;
    // The time of day of the instant, also before day 0: a CPA ten minutes before midnight
    // of day 0 (-10/1440 days) is at 23:50:00.
    const double fraction = days - std::floor(days);
    long long seconds = std::llround(fraction * 86400.0);
    if (seconds >= 86400) seconds -= 86400;
    char buf[48];
    std::snprintf(buf, sizeof buf, "%02lld:%02lld:%02lld", seconds / 3600, (seconds / 60) % 60,
                  seconds % 60);
    return buf;
}

std::string NumberText(double value) {
    return SignedText(value, 15, true);
}
std::string NumberText(float value) {
    return SignedText(static_cast<double>(value), 7, true);
}
std::string PlainNumberText(double value) {
    return SignedText(value, 15, false);
}
std::string PlainNumberText(float value) {
    return SignedText(static_cast<double>(value), 7, false);
}

std::optional<int16_t> ToInt16(double value) {
    if (!std::isfinite(value)) return std::nullopt;
    const double r = std::nearbyint(value); // the default rounding mode takes halves to even
    if (r < std::numeric_limits<int16_t>::min() || r > std::numeric_limits<int16_t>::max())
        return std::nullopt;
    return static_cast<int16_t>(r);
}

int16_t RoundToInt16(double value) {
    if (std::isnan(value)) return 0;
    if (auto v = ToInt16(value)) return *v;
    return value < 0 ? std::numeric_limits<int16_t>::min() : std::numeric_limits<int16_t>::max();
}

double LeadingNumber(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    std::string number;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) number += text[i++];
    bool digits = false;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
        number += text[i++];
        digits = true;
    }
    if (i < text.size() && text[i] == '.') {
        number += text[i++];
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
            number += text[i++];
            digits = true;
        }
    }
    if (!digits) return 0.0;
    // An exponent counts only when digits follow it.
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        size_t j = i + 1;
        std::string exponent = "e";
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) exponent += text[j++];
        bool expDigits = false;
        while (j < text.size() && std::isdigit(static_cast<unsigned char>(text[j]))) {
            exponent += text[j++];
            expDigits = true;
        }
        if (expDigits) number += exponent;
    }
    const double v = DecimalStrtod(number.c_str(), nullptr);
    return std::isfinite(v) ? v : 0.0;
}

std::optional<double> ParseNumber(std::string_view text) {
    size_t b = 0, e = text.size();
    while (b < e && IsBlank(text[b]))
        ++b;
    while (e > b && IsBlank(text[e - 1]))
        --e;
    const std::string_view core = text.substr(b, e - b);
    if (core.empty()) return std::nullopt;
    // Only plain decimal numbers: no hexadecimal, no "inf" or "nan".
    for (char c : core) {
        if (!(std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == '+' || c == '-' ||
              c == 'e' || c == 'E'))
            return std::nullopt;
    }
    const std::string s(core);
    char* end = nullptr;
    const double v = DecimalStrtod(s.c_str(), &end);
    if (end != s.c_str() + s.size() || !std::isfinite(v)) return std::nullopt;
    return v;
}

double DecimalStrtod(const char* text, char** end) {
    return strtod_l(text, end, CLocale());
}

} // namespace mv
