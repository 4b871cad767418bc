#pragma once
// A text cell of a CSV file that a spreadsheet will open: quoted where it must be, and never
// taken for a formula. A student's name, a file name or an event's text comes from outside the
// program; a cell that begins with = + - or @ (or a tab or carriage return, which some
// spreadsheets skip before looking) would otherwise be run as a formula when the file is opened.

#include <string>
#include <string_view>

namespace mv {

// The cell as written: a text that could start a formula (but not a plain number such as
// "-12.5", which stays a number) gets a leading apostrophe, which the spreadsheet shows as plain
// text; then the cell is quoted, its quotes doubled, when it holds a comma, a quote or a line
// break, or was so guarded.
std::string CsvTextField(std::string_view text);

} // namespace mv
