#pragma once
// Input bytes as a list of texts, one to a line, for the harnesses of typed fields and
// command lines.

#include <string>
#include <string_view>
#include <vector>

namespace mv::fuzz {

inline std::vector<std::string> Lines(std::string_view bytes) {
    std::vector<std::string> lines(1);
    for (char c : bytes) {
        if (c == '\n')
            lines.emplace_back();
        else
            lines.back() += c;
    }
    return lines;
}

// The i-th text, empty past the end.
inline std::string At(const std::vector<std::string>& texts, size_t i) {
    return i < texts.size() ? texts[i] : std::string();
}

} // namespace mv::fuzz
