#pragma once
// Text files exchanged with existing demo sets are in the Windows-1252 code page; the
// program keeps text as UTF-8.

#include <cstddef>
#include <string>
#include <string_view>

namespace mv {

bool IsValidUtf8(std::string_view bytes);
// UTF-8 as it is when valid, otherwise each byte read as Windows-1252.
std::string DecodeText(std::string_view bytes);
std::string Windows1252ToUtf8(std::string_view bytes);
// The UTF-8 bytes of one code point, appended.
void AppendUtf8(std::string& out, char32_t c);
// UTF-16 code units (without their byte-order mark) to UTF-8; a lone surrogate or an odd last
// byte becomes U+FFFD.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian);
// Bytes of the UTF-8 sequence that starts with this lead byte; a stray byte counts as one.
size_t Utf8SequenceLength(unsigned char lead);
// Characters that Windows-1252 lacks become '?'.
std::string Utf8ToWindows1252(std::string_view text);

} // namespace mv
