// Small text helpers shared by every subsystem. Portable text is UTF-8;
// UTF-16 appears only at the file and OS edges.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace vocastra {

// UTF-8 -> UTF-16 and back. Invalid sequences become U+FFFD; nothing is
// read past the input's end.
std::u16string Utf8ToUtf16(std::string_view s);
std::string Utf16ToUtf8(std::u16string_view s);

// Number of code points in UTF-8 text (an invalid byte counts as one).
std::size_t CodePointCount(std::string_view s);
// The first `n` code points of `s`, never splitting a sequence.
std::string CutCodePoints(std::string_view s, std::size_t n);
// The longest start of `s` that takes at most `n` UTF-16 units, never
// splitting a character (so no surrogate pair is cut in two).
std::string CutUtf16Units(std::string_view s, std::size_t n);
// The first `n` bytes of `s`, shortened so that no UTF-8 sequence is split.
std::string CutBytesUtf8(std::string_view s, std::size_t n);

// ASCII case-insensitive comparison (INI names, protocol words).
bool EqualsNoCase(std::string_view a, std::string_view b);
std::string ToLowerAscii(std::string_view s);
std::string ToUpperAscii(std::string_view s);
std::string_view TrimAscii(std::string_view s);

// printf-style formatting into a std::string.
std::string StrPrintf(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

}  // namespace vocastra
