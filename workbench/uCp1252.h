// SPDX-License-Identifier: GPL-3.0-or-later
// The one conversion between UTF-8 (the outside world) and Windows-1252 (every text inside).
#pragma once

#include <iosfwd>
#include <string>
#include <string_view>

// λ (U+03BB) reads as '\', the lambda of the syntax. A character that Windows-1252 cannot hold,
// or a malformed sequence, becomes '?'. With NoCabe, the first such character is left there as
// UTF-8 (U+FFFD for a malformed sequence), so that the caller can refuse the text instead; it is
// emptied when everything fits.
std::string Utf8ACp1252(std::string_view Utf8, std::string* NoCabe = nullptr);
// Whether the bytes are well-formed UTF-8: no stray or cut sequence, overlong form, surrogate or
// value past U+10FFFF.
bool EsUtf8(std::string_view Bytes);
// Every byte maps to one character; the five bytes Windows-1252 leaves unassigned (81, 8D, 8F,
// 90, 9D) become the C1 controls of the same number, so the conversion goes back and forth.
std::string Cp1252AUtf8(std::string_view Cp1252);
// The same conversion written straight to a stream, without a copy of the text.
void EscribeUtf8(std::ostream& Salida, std::string_view Cp1252);
