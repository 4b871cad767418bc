#pragma once
// Texts the answer key's commands share: exact figures for JSON and the clock times of --at.

#include "core/aids/cpa_computer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>

namespace mv {

// Enough digits to read the same single or double back; JSON has no NaN or infinity.
inline std::string JsonNumber(float v) {
    if (!std::isfinite(v)) return "null";
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.9g", static_cast<double>(v));
    return buf;
}
inline std::string JsonNumber(double v) {
    if (!std::isfinite(v)) return "null";
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.17g", v);
    return buf;
}

// "12:06" or "12:06:30" as days, from the start at 12:00:00 to the end of the day.
inline std::optional<double> ParseClockTime(const std::string& text) {
    const std::string full = std::count(text.begin(), text.end(), ':') == 1 ? text + ":00" : text;
    const auto t = ParseTimeOfDay(full, 2);
    if (!t || *t < 0.5) return std::nullopt;
    return t;
}

} // namespace mv
