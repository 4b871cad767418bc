#pragma once
// The characters a numeric entry field lets in: digits, and where the field allows them a sign
// and one decimal point. Keys that type no character keep their usual meaning: Tab moves on,
// Enter and Escape belong to the dialog, Backspace edits. Pasted text is held to the same
// characters by NumericTextAllowed; what a field holds is checked again when it is used.

#include <cstdint>
#include <optional>
#include <string_view>

namespace mv {

inline constexpr char16_t kKeyBackspace = 8;
inline constexpr char16_t kKeyTab = 9;
inline constexpr char16_t kKeyReturn = 13;
inline constexpr char16_t kKeyEscape = 27;

struct KeyPermissions {
    bool Sign = false;
    bool Decimal = false;
    friend bool operator==(const KeyPermissions&, const KeyPermissions&) = default;
};

// The key to let through, or 0 to swallow it. `text` is the field's whole text (UTF-8) and
// `caret` its selection start in characters.
char16_t NumericKeyFilter(char16_t key, std::string_view text, int caret, bool allowSign,
                          bool allowDecimal);

// The whole text may stand in a field with these permissions: digits, blanks around them (the
// program writes a number with a sign blank, " 3"), one point where decimals are allowed and a
// leading sign where a sign is. An empty text may stand: a field is emptied before typing.
bool NumericTextAllowed(std::string_view text, KeyPermissions permissions);

// What each numeric field of the dialogs accepts, by window and field name
// ("frmManeuver", "txtSpeed"). Empty for a field that is not numeric.
std::optional<KeyPermissions> NumericFieldPermissions(std::string_view window,
                                                      std::string_view field);

} // namespace mv
