// Starting programs from Windows command lines: the line is split as
// Windows programs split theirs and the program started without a shell,
// so nothing in it is ever interpreted twice.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

namespace platform::win {

// Splits as the Microsoft C runtime does: the program name runs to the next
// blank, or between its double quotes with backslashes taken as they stand;
// in the arguments, 2n backslashes before a double quote give n and the
// quote opens or closes a quoted part, 2n+1 give n and a literal quote, ""
// inside a quoted part is a literal quote, other backslashes are literal.
std::vector<std::string> SplitCommandLine(const std::string& strCommandLine);
// The inverse for one argument: quoted only when it has to be.
std::string strQuoteArgument(const std::string& strArgument);

// Finds the program a Windows name stands for: a path is taken as it is, or
// without a trailing ".exe" when only that exists; a bare name is looked for
// in the running program's folder, then along PATH, each time also without
// ".exe" and without letter case. "iexplore.exe" is the browser opener
// (Locations.h). "" when nothing is found.
std::string strResolveProgram(const std::string& strName);

// Runs the command line and waits for its end. False when it cannot be
// started; the exit code is the program's, 128 + signal when it was killed.
bool blnRunAndWait(const std::string& strCommandLine, int32_t* plngExitCode);
// Starts the command line on its own (not a child to wait for).
bool blnStartDetached(const std::string& strCommandLine);
// "Open" through the shell: a program is started with the parameters; a web
// address or any other file goes to the browser opener.
bool blnShellOpen(const std::string& strFile, const std::string& strParameters);

}  // namespace platform::win
