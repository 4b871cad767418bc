#include "core/aids/numeric_key_filter.h"

#include <array>

namespace mv {

char16_t NumericKeyFilter(char16_t key, std::string_view text, int caret, bool allowSign,
                          bool allowDecimal) {
    // Keys that type nothing into the field: focus moves, the dialog closes or takes Enter.
    if (key == kKeyBackspace || key == kKeyTab || key == kKeyReturn || key == kKeyEscape)
        return key;
    if (key == u'+' || key == u'-') return allowSign && (caret == 0 || caret == 1) ? key : 0;
    // The whole text is searched: a point inside a selection the key would replace still
    // counts, so a number never holds two.
    if (key == u'.') return allowDecimal && text.find('.') == std::string_view::npos ? key : 0;
    if (key >= u'0' && key <= u'9') return key;
    return 0;
}

bool NumericTextAllowed(std::string_view text, KeyPermissions permissions) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return true;
    const auto last = text.find_last_not_of(' ');
    std::string_view number = text.substr(first, last - first + 1);
    if (permissions.Sign && (number.front() == '+' || number.front() == '-'))
        number.remove_prefix(1);
    bool point = false;
    for (char c : number) {
        if (c == '.' && permissions.Decimal && !point)
            point = true;
        else if (c < '0' || c > '9')
            return false;
    }
    return true;
}

std::optional<KeyPermissions> NumericFieldPermissions(std::string_view window,
                                                      std::string_view field) {
    // Whole degrees and clock parts take no point; speeds, ranges and bearings may be
    // fractional. No field of the program takes a sign.
    struct Entry {
        std::string_view Window, Field;
        bool Decimal;
    };
    static constexpr std::array<Entry, 20> kFields{{
        {"frmManeuver", "txtCourse", false},    {"frmManeuver", "txtTurnLeft", false},
        {"frmManeuver", "txtTurnRight", false}, {"frmManeuver", "txtSpeed", true},
        {"frmCPAComputer", "txtHour", false},   {"frmCPAComputer", "txtMinute", false},
        {"frmCPAComputer", "txtSecond", false}, {"frmCPAComputer", "txtBearing", true},
        {"frmCPAComputer", "txtRange", true},   {"frmSetTargets", "txtTargets", false},
        {"frmSetTargets", "txtBearing", true},  {"frmSetTargets", "txtHeading", true},
        {"frmSetTargets", "txtRange", true},    {"frmSetTargets", "txtSpeed", true},
        {"frmIndexLines", "txtBearing", true},  {"frmIndexLines", "txtOffset", true},
        {"frmIndexLines", "txtLength", true},   {"frmTrialManeuver", "txtCourse", false},
        {"frmTrialManeuver", "txtSpeed", true}, {"frmTrialManeuver", "txtDelay", true},
    }};
    for (const Entry& e : kFields)
        if (e.Window == window && e.Field == field) return KeyPermissions{false, e.Decimal};
    return std::nullopt;
}

} // namespace mv
