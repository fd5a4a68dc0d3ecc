#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace pelmora {

// Windows hands a program one command line, which the program's runtime splits into
// arguments. These build such lines so that paths and arguments with blanks or quotation
// marks arrive exactly as given.

// One argument in the runtime's quoting: left alone when it has no blank, tab or quotation
// mark, else quoted with its quotation marks and the backslashes before them escaped.
std::string quoteWindowsArgument(std::string_view argument);

// The program path (quoted when it holds a blank) followed by the quoted arguments.
std::string windowsCommandLine(const std::string& program,
                               const std::vector<std::string>& arguments);

// A stored command line whose program path is not quoted ("C:\Program Files\App\app.exe /x")
// with the path quoted, so the system cannot take "C:\Program" for the program: the longest
// run of words from the start that names an existing file is the program. A line that starts
// with a quotation mark, or in which no such file is found, comes back trimmed but otherwise
// unchanged, for the system to search the program on its path.
std::string quoteProgramOfCommandLine(std::string_view commandLine,
                                      const std::function<bool(const std::string&)>& isFile);

}  // namespace pelmora
