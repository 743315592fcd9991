// The text of an instruction file, without any file access: the reader turns
// the file's bytes into instructions, the writer turns instructions into the
// bytes of a file.
//
// Reader: the bytes are decoded (see TextCase.h), lines end at CR, CR LF or
// LF (a file written by a Linux editor has LF alone), every line is
// upper-cased whole; empty lines and lines starting with ";"
// are skipped; the keyword is the text before the first blank and the
// argument the rest, trimmed of blanks. A keyword that is not one of the six
// (an empty one included, as in a line of blanks) stops the reading.
//
// Writer: the header comment, then IncludeFamily, ExcludeFamily,
// SuppressPattern <p>, SkipFamily, IncludeFiles <p>..., ExcludeFiles <p>...,
// each line ended by CR LF; patterns are written as they are held.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "SaveCoreExport.h"

namespace savecore {

using PatternList = std::vector<std::string>;

struct Instructions {
    bool blnIncludeFamily = false;
    bool blnExcludeFamily = false;
    std::string strSuppressPattern;
    bool blnSkipFamily = false;
    std::optional<PatternList> colIncludeFiles;
    std::optional<PatternList> colExcludeFiles;
};

struct InstructionReadResult {
    bool blnUnrecognized = false;  // reading stopped at an unknown keyword
    Instructions objInstructions;  // what was read up to the end or the stop
};

SAVECORE_API InstructionReadResult ReadInstructions(const std::string& strFileBytes);
SAVECORE_API std::string strWriteInstructions(const Instructions& objInstructions);

// A pattern the file cannot hold: a CR or LF would end its line and turn the
// rest into an instruction of its own.
SAVECORE_API bool blnPatternWritable(const std::string& strPattern);

}  // namespace savecore
