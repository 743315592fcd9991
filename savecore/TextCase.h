// Text helpers of the engine: VB's UCase for the UTF-8 strings the engine
// holds in memory, code-point access to UTF-8, and the code page of the
// instruction files.
//
// Upper-casing: ASCII, Latin-1 Supplement, Latin Extended-A, Greek and
// Cyrillic letters map to their simple capital; everything else (ß, µ,
// digits, symbols, other scripts) is left as it is. Names and patterns go
// through the same table, so a letter in a name meets the same letter in a
// pattern whichever case either was typed in.
//
// Instruction files on disk: read as UTF-8 when the bytes are valid UTF-8
// and contain non-ASCII, otherwise as Windows-1252 (files written on
// Windows). Written as Windows-1252 when every character is representable
// and the result would not read back as UTF-8; otherwise as UTF-8, so no
// character is ever lost (Windows would show such a rare file's non-1252
// names wrongly).
//
// Bytes that are not valid UTF-8 (a host name that is not UTF-8) are carried
// through unchanged; code-point access reports each such byte as one
// character U+DC80..U+DCFF, a value no valid UTF-8 text can hold.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "SaveCoreExport.h"

namespace savecore {

// The next character of strText at ix (advanced past it). Invalid bytes come
// back one by one as 0xDC00 + byte.
SAVECORE_API char32_t chNextCodePoint(const std::string& strText, std::size_t& ix);
SAVECORE_API std::vector<char32_t> acpCodePoints(const std::string& strText);
// Appends the UTF-8 form of chCode (an escaped invalid byte goes back as
// that byte).
SAVECORE_API void AppendUtf8(std::string& strOut, char32_t chCode);

SAVECORE_API char32_t chUpperCase(char32_t chCode);
SAVECORE_API std::string strUCase(const std::string& strText);

SAVECORE_API bool blnIsValidUtf8(const std::string& strBytes);
// Instruction file bytes -> UTF-8 text, and back.
SAVECORE_API std::string strFromFileBytes(const std::string& strBytes);
SAVECORE_API std::string strToFileBytes(const std::string& strText);

}  // namespace savecore
