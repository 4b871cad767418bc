#include "core/scenario/field_reader.h"

#include "core/number_text.h"
#include "core/scenario/text_encoding.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <system_error>

namespace mv {
namespace {

bool IsFieldBlank(char c) {
    return c == ' ' || c == '\t';
}

// A decimal number written out in full whose value no double can hold, such as 1e400.
bool TooLargeNumber(const std::string& field) {
    if (field.empty() || field.find_first_not_of("0123456789.+-eE") != std::string::npos)
        return false;
    char* end = nullptr;
    const double v = DecimalStrtod(field.c_str(), &end);
    return end == field.c_str() + field.size() && std::isinf(v);
}

} // namespace

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && IsFieldBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsFieldBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

FieldReader::FieldReader(std::string_view text, std::string_view fileName)
    : text_(text), fileName_(fileName) {}

// CR LF, LF, or a CR on its own (files saved by old Macintosh editors).
bool FieldReader::AtLineEnd() const {
    return !AtEnd() && (text_[pos_] == '\n' || text_[pos_] == '\r');
}

void FieldReader::ConsumeLineEnd() {
    const bool crLf = text_[pos_] == '\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '\n';
    pos_ += crLf ? 2 : 1;
    ++line_;
    atLineStart_ = true;
}

bool FieldReader::Fail(std::string_view what, int line) {
    error_ = std::string(what) + " (line " + std::to_string(line) + " of " + fileName_ + ")";
    return false;
}

bool FieldReader::NextLine(std::string_view& line) {
    fieldLine_ = line_;
    if (AtEnd()) return Fail("Input past end of file", line_);
    const size_t start = pos_;
    while (!AtEnd() && !AtLineEnd())
        ++pos_;
    line = text_.substr(start, pos_ - start);
    if (AtEnd())
        atLineStart_ = false;
    else
        ConsumeLineEnd();
    return true;
}

std::string_view FieldReader::RestOfLine() const {
    if (atLineStart_) return {};
    size_t end = pos_;
    while (end < text_.size() && text_[end] != '\n' && text_[end] != '\r')
        ++end;
    return text_.substr(pos_, end - pos_);
}

void FieldReader::SkipRestOfLine() {
    if (atLineStart_) return;
    while (!AtEnd() && !AtLineEnd())
        ++pos_;
    if (!AtEnd()) ConsumeLineEnd();
}

bool FieldReader::NextField(std::string& field) {
    // Blanks, line ends and empty lines before a field carry nothing, so a hand-written file
    // may spread its values over lines as it likes.
    while (!AtEnd() && (IsFieldBlank(text_[pos_]) || AtLineEnd())) {
        if (AtLineEnd())
            ConsumeLineEnd();
        else
            ++pos_;
    }
    fieldLine_ = line_;
    if (AtEnd()) return Fail("Input past end of file", line_);
    atLineStart_ = false;

    field.clear();
    if (text_[pos_] == '"') {
        // A quoted field may hold commas; it ends at the closing quote or the line end.
        ++pos_;
        while (!AtEnd() && !AtLineEnd() && text_[pos_] != '"')
            field += text_[pos_++];
        if (!AtEnd() && text_[pos_] == '"') ++pos_;
    }
    // Whatever stands between the closing quote and the separator stays part of the field,
    // so that a stray character is reported rather than silently dropped.
    const size_t start = pos_;
    while (!AtEnd() && !AtLineEnd() && text_[pos_] != ',')
        ++pos_;
    field += TrimBlanks(text_.substr(start, pos_ - start));
    if (!AtEnd()) {
        if (text_[pos_] == ',')
            ++pos_;
        else
            ConsumeLineEnd();
    }
    return true;
}

bool FieldReader::NumberField(double& value, std::string& field) {
    if (!NextField(field)) return false;
    const auto number = ParseNumber(field);
    if (!number) {
        // "1e400" is a number, only too large for any field; say so rather than "not a number".
        if (TooLargeNumber(field))
            return Fail("Overflow: " + QuotedField(field) + " is too large", fieldLine_);
        return Fail("Type mismatch: " + QuotedField(field) + " is not a number", fieldLine_);
    }
    value = *number;
    return true;
}

bool FieldReader::NextDouble(double& value) {
    std::string field;
    return NumberField(value, field);
}

bool FieldReader::NextFloat(float& value) {
    std::string field;
    double v = 0.0;
    if (!NumberField(v, field)) return false;
    if (std::fabs(v) > static_cast<double>(std::numeric_limits<float>::max()))
        return Fail("Overflow: " + QuotedField(field) + " is too large", fieldLine_);
    value = static_cast<float>(v);
    return true;
}

bool FieldReader::NextInt16(int16_t& value) {
    std::string field;
    double v = 0.0;
    if (!NumberField(v, field)) return false;
    const auto whole = ToInt16(v);
    if (!whole)
        return Fail("Overflow: " + QuotedField(field) + " is outside -32768 to 32767", fieldLine_);
    value = *whole;
    return true;
}

std::string CutForMessage(std::string_view text) {
    size_t chars = 0, end = 0;
    while (end < text.size() && chars < kQuotedFieldLength) {
        // A character: a lead byte and the continuation bytes that follow it, at most three;
        // a stray byte alone (the text of a field may be any bytes).
        const bool lead = static_cast<unsigned char>(text[end++]) >= 0xC0;
        for (int k = 0; lead && k < 3 && end < text.size() &&
                        (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80;
             ++k)
            ++end;
        ++chars;
    }
    if (end >= text.size()) return std::string(text);
    return std::string(text.substr(0, end)) + "\u2026";
}

std::string QuotedField(std::string_view field) {
    return "\"" + CutForMessage(field) + "\"";
}

std::string DecodeFileText(std::string_view bytes) {
    constexpr std::string_view kBom = "\xEF\xBB\xBF";
    if (bytes.substr(0, kBom.size()) == kBom) {
        const std::string_view rest = bytes.substr(kBom.size());
        if (IsValidUtf8(rest)) return std::string(rest);
    }
    if (bytes.size() >= 2) {
        const auto b0 = static_cast<unsigned char>(bytes[0]);
        const auto b1 = static_cast<unsigned char>(bytes[1]);
        if (b0 == 0xFF && b1 == 0xFE) return Utf16ToUtf8(bytes.substr(2), false);
        if (b0 == 0xFE && b1 == 0xFF) return Utf16ToUtf8(bytes.substr(2), true);
    }
    return DecodeText(bytes);
}

std::string ReadWholeFile(const std::filesystem::path& path, std::string& bytes) {
    const std::string name = path.filename().string();
    const FileCheck check = ReadRegularFile(path, kLargestDataFile, bytes);
    switch (check.Problem) {
    case FileProblem::None:
        return {};
    case FileProblem::Missing:
        return "File not found (" + name + ")";
    case FileProblem::Folder:
        return "Is a folder (" + name + ")";
    case FileProblem::NotRegular:
        return "Not a regular file (" + name + ")";
    case FileProblem::TooLarge:
        return "File too large: over 1 MB, no demo or yaw file is (" + name + ")";
    case FileProblem::Unreadable:
        break;
    }
    return std::error_code(check.Errno, std::generic_category()).message() + " (" + name + ")";
}

} // namespace mv
