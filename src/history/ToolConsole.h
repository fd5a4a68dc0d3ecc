#pragma once

#include <string>
#include <vector>

namespace pelmora {

// What pelmora-history's console differs in per system (linux/ToolConsole.cpp,
// win/ToolConsole.cpp).

// The arguments (without the program name) as UTF-8: on Windows from the wide command line,
// which keeps every letter of a path.
std::vector<std::string> toolArguments(int argc, char* argv[]);

// Where the data folder is, as the help tells it on this system.
const char* dataFolderHelp();

// Readies the standard streams and returns the line end of the tool's CSV: LF, CR LF on
// Windows, where the runtime must neither add a carriage return to the output nor take one
// away from a log read from standard input, and where a console gets the text as wide
// characters. Called after the streams are parted from C's stdio.
std::string prepareStandardStreams();

}  // namespace pelmora
