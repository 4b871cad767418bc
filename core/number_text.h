#pragma once
// How numbers are shown to the navigator: the fixed display formats, a clock time of a day
// fraction, a number's text with its sign position, and reading numbers back from text.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace mv {

// Formats with a pattern of '0' and '#' digits and an optional decimal part of '0's:
// "000" (7 -> "007"), "##.0" (0.5 -> ".5"), "#0.00", "##.00", "##0.00", "###.0".
// Halves round away from zero; a value that rounds to zero shows no minus sign.
std::string FormatNumber(double value, std::string_view pattern);

// A heading or bearing in degrees true or relative as the navigator reads it: "000" digits
// (or "000.0" in tenths), the circle folded first, so 359.5 and more read "000" and
// never "360", and -1 reads "359". Every direction the program shows goes through here.
std::string DirectionText(double degrees, bool tenths = false);

// The one text of each quantity the navigator reads, in every window, the report, the CSV and
// marovane-plot, so a figure is never written two ways: nautical miles "0.00 nm" (0.5 ->
// "0.50 nm"), minutes "0.0 min" (negative once a CPA is past), knots "0.0 kn", and directions
// through DirectionText ("000"). The figures alone, for a table whose column names the unit,
// and the units alone.
inline constexpr const char* kMilesUnit = "nm";
inline constexpr const char* kMinutesUnit = "min";
inline constexpr const char* kKnotsUnit = "kn";
std::string MilesFigure(double nauticalMiles);
std::string MinutesFigure(double minutes);
std::string KnotsFigure(double knots);
std::string MilesText(double nauticalMiles);
std::string MinutesText(double minutes);
std::string KnotsText(double knots);

// "hh:mm:ss", 24-hour, of a date value in days (0.5 is 12:00:00), to the nearest second.
std::string FormatClock(double days);

// A number's text as the program writes it on its own: a blank in the sign position of a
// positive number (" 12", "-3.5", " .25"). Single values keep 7 significant digits,
// doubles 15.
std::string NumberText(double value);
std::string NumberText(float value);
// The same without the sign blank.
std::string PlainNumberText(double value);
std::string PlainNumberText(float value);

// Rounds to the nearest whole number with halves to even (0.5 -> 0, 1.5 -> 2, -2.5 -> -2).
// Empty when the value is not finite or lies outside the 16-bit range.
std::optional<int16_t> ToInt16(double value);
// The same, saturating at the 16-bit limits (0 for a value that is not a number).
int16_t RoundToInt16(double value);

// The value of the number at the start of a text: leading blanks skipped, digits read as far
// as they go ("12abc" -> 12, "" -> 0, ".5" -> 0.5, "-3e2" -> -300).
double LeadingNumber(std::string_view text);

// The whole text as a number: optional blanks around one decimal number, nothing else.
std::optional<double> ParseNumber(std::string_view text);

// strtod with a decimal point, whatever numeric locale the process runs under: the toolkit
// takes the user's locale at start-up, and a German one would read "12.5" as 12. Every
// number text of this program goes through here or through the formats above.
double DecimalStrtod(const char* text, char** end);

} // namespace mv
