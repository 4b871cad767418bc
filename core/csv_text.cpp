#include "core/csv_text.h"

#include <cctype>

namespace mv {
namespace {

// "-12.5" or "+3": a number, which a spreadsheet takes as the number it is and never runs.
// "-2+3" is no number and would be worked out as a formula.
bool IsPlainNumber(std::string_view text) {
    size_t i = text.empty() || (text[0] != '-' && text[0] != '+') ? 0 : 1;
    bool digits = false, point = false;
    for (; i < text.size(); ++i) {
        if (std::isdigit(static_cast<unsigned char>(text[i])))
            digits = true;
        else if (text[i] == '.' && !point)
            point = true;
        else
            return false;
    }
    return digits;
}

} // namespace

std::string CsvTextField(std::string_view text) {
    const bool formula =
        !text.empty() &&
        std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos &&
        !IsPlainNumber(text);
    if (!formula && text.find_first_of(",\"\r\n") == std::string_view::npos)
        return std::string(text);
    std::string quoted = formula ? "\"'" : "\"";
    for (const char c : text)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

} // namespace mv
