#pragma once
// Reading the plain-text data files (demo scenarios, the yaw table): whole lines, and a
// running sequence of comma-separated fields in which a line end also ends a field. Every
// failure is worded for the user and names the file and the 1-based line.

#include "core/regular_file.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>

namespace mv {

class FieldReader {
  public:
    // text is UTF-8 (see DecodeFileText); fileName is used in messages only.
    FieldReader(std::string_view text, std::string_view fileName);

    // The rest of the current line without its end (CR LF, LF or a lone CR). False at the end
    // of text.
    bool NextLine(std::string_view& line);
    // Moves to the start of the next line unless already at the start of one.
    void SkipRestOfLine();
    // What SkipRestOfLine would pass over, without moving.
    std::string_view RestOfLine() const;

    // The next field, blanks around it removed and quotes taken off. Line ends and empty
    // lines before a field are passed over. False, with Error() set, when the text runs out.
    bool NextField(std::string& field);
    // The next field as a number; the whole field must be one.
    bool NextDouble(double& value);
    bool NextFloat(float& value);
    // Rounded to a whole number with halves to even; beyond 16 bits is an overflow.
    bool NextInt16(int16_t& value);

    // The line of the last field read (or of the reading position when nothing is left).
    int FieldLine() const { return fieldLine_; }
    const std::string& Error() const { return error_; }
    // Sets the error to "what (line N of File)" and returns false.
    bool Fail(std::string_view what, int line);

  private:
    bool AtEnd() const { return pos_ >= text_.size(); }
    bool AtLineEnd() const;
    void ConsumeLineEnd();
    bool NumberField(double& value, std::string& field);

    std::string_view text_;
    std::string fileName_;
    size_t pos_ = 0;
    int line_ = 1;
    int fieldLine_ = 1;
    bool atLineStart_ = true;
    std::string error_;
};

// The text of a file's bytes as UTF-8: a UTF-8 byte-order mark is dropped, a file that opens
// with a UTF-16 byte-order mark (FF FE or FE FF, what Notepad saves as "Unicode") is converted,
// and bytes that are not valid UTF-8 are read as Windows-1252.
std::string DecodeFileText(std::string_view bytes);

// A field as a message quotes it: in double quotes, cut after kQuotedFieldLength characters
// with an ellipsis, so that a field of megabytes still gives a message box one can read.
inline constexpr size_t kQuotedFieldLength = 40;
std::string QuotedField(std::string_view field);
// The same cut without the quotes.
std::string CutForMessage(std::string_view text);

// The text without the blanks and tabs at either end.
std::string_view TrimBlanks(std::string_view s);

// The largest demo or yaw file read, in bytes. The largest real one is a few kilobytes; a
// larger file is no scenario, and reading and listing it would hold up the start.
inline constexpr std::uintmax_t kLargestDataFile = 1024 * 1024;

// Reads the whole file into bytes. Returns an error text naming the file (not its folder),
// e.g. "File not found (Yaw.txt)", or an empty string. Only a regular file of at most
// kLargestDataFile bytes is read: a FIFO would hold the program until someone writes to it, and
// a device such as /dev/zero never ends.
std::string ReadWholeFile(const std::filesystem::path& path, std::string& bytes);

// A reader's result (a value or the reason there is none, in `Error`) that failed with `error`.
template <typename Result> Result FailedRead(std::string error) {
    Result result;
    result.Error = std::move(error);
    return result;
}

// Reads the whole file, then parses its bytes; messages name the file without its folder. A
// file that cannot be read fails with ReadWholeFile's message and is not parsed.
template <typename Result>
Result ReadAndParse(const std::filesystem::path& path,
                    Result (*parse)(std::string_view bytes, std::string_view fileName)) {
    std::string bytes;
    if (std::string error = ReadWholeFile(path, bytes); !error.empty())
        return FailedRead<Result>(std::move(error));
    return parse(bytes, path.filename().string());
}

} // namespace mv
