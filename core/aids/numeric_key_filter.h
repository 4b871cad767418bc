#pragma once
// The keys a numeric entry field lets through: digits, backspace, and where the field allows
// them a sign and one decimal point. Text pasted or set by the program is not filtered.

#include <cstdint>
#include <optional>
#include <string_view>

namespace mv {

inline constexpr char16_t kKeyBackspace = 8;

struct KeyPermissions {
    bool Sign = false;
    bool Decimal = false;
    friend bool operator==(const KeyPermissions&, const KeyPermissions&) = default;
};

// The key to let through, or 0 to swallow it. `text` is the field's whole text (UTF-8) and
// `caret` its selection start in characters.
char16_t NumericKeyFilter(char16_t key, std::string_view text, int caret, bool allowSign,
                          bool allowDecimal);

// What each numeric field of the dialogs accepts, by window and field name
// ("frmManeuver", "txtSpeed"). Empty for a field that is not numeric.
std::optional<KeyPermissions> NumericFieldPermissions(std::string_view window,
                                                      std::string_view field);

} // namespace mv
