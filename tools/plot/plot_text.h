#pragma once
// Texts the answer key's commands share: exact figures for JSON, the clock times of --at and
// plain text tables.

#include "core/aids/cpa_computer.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace mv {

using Json = nlohmann::ordered_json;

// A figure as JSON: null for NaN or infinity, which JSON has not. A single is written in the
// fewest digits that read the same single back (0.7, not 0.699999988079071).
inline Json JsonFigure(double v) {
    return std::isfinite(v) ? Json(v) : Json(nullptr);
}
inline Json JsonFigure(float v) {
    if (!std::isfinite(v)) return nullptr;
    // Both ways without the locale, whose decimal comma would cut the figure short.
    char buf[32];
    const auto end = std::to_chars(buf, buf + sizeof buf, v).ptr;
    double shortest = 0;
    std::from_chars(buf, end, shortest);
    return shortest;
}
// One JSON object or array on a line; a text that is not UTF-8 (an old demo's title) has its
// stray bytes replaced rather than refused.
inline void PrintJson(std::ostream& out, const Json& doc) {
    out << doc.dump(-1, ' ', false, Json::error_handler_t::replace) << "\n";
}

// "12:06" or "12:06:30" as days, from the start at 12:00:00 to the end of the day.
inline std::optional<double> ParseClockTime(const std::string& text) {
    const std::string full = std::count(text.begin(), text.end(), ':') == 1 ? text + ":00" : text;
    const auto t = ParseTimeOfDay(full, 2);
    if (!t || *t < 0.5) return std::nullopt;
    return t;
}

// A plain text table, columns two blanks apart: every column right-aligned to its widest
// cell, except, in a labelled table, the labels (first) and the units (last). No blanks are
// left at the ends of the lines.
inline void PrintTable(std::ostream& out, const std::vector<std::vector<std::string>>& rows,
                       bool labelsLeft = false) {
    std::vector<size_t> width;
    for (const auto& row : rows) {
        width.resize(std::max(width.size(), row.size()), 0);
        for (size_t c = 0; c < row.size(); ++c)
            width[c] = std::max(width[c], row[c].size());
    }
    for (const auto& row : rows) {
        std::string line;
        for (size_t c = 0; c < row.size(); ++c) {
            if (c > 0) line += labelsLeft && c + 1 == row.size() ? " " : "  ";
            const size_t pad = width[c] - row[c].size();
            if (labelsLeft && (c == 0 || c + 1 == row.size()))
                line += row[c] + std::string(pad, ' ');
            else
                line += std::string(pad, ' ') + row[c];
        }
        line.erase(line.find_last_not_of(' ') + 1);
        out << line << "\n";
    }
}

} // namespace mv
