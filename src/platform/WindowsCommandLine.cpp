#include "platform/WindowsCommandLine.h"

namespace pelmora {

namespace {

bool isBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

std::string quoteWindowsArgument(std::string_view argument) {
  if (!argument.empty() && argument.find_first_of(" \t\n\v\"") == std::string_view::npos) {
    return std::string(argument);
  }
  std::string quoted = "\"";
  std::size_t backslashes = 0;
  for (char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    // Backslashes count only before a quotation mark: there they are doubled, and one more
    // escapes the mark itself.
    quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, '\\');  // before the closing mark
  quoted += '"';
  return quoted;
}

std::string windowsCommandLine(const std::string& program,
                               const std::vector<std::string>& arguments) {
  // A path cannot hold a quotation mark, and the system reads the program's own name without
  // the runtime's backslash rules: plain quotes are enough.
  std::string line = program.find_first_of(" \t") == std::string::npos && !program.empty()
                         ? program
                         : "\"" + program + "\"";
  for (const auto& argument : arguments) {
    line += ' ';
    line += quoteWindowsArgument(argument);
  }
  return line;
}

std::string quoteProgramOfCommandLine(std::string_view commandLine,
                                      const std::function<bool(const std::string&)>& isFile) {
  const std::string_view line = trimmed(commandLine);
  if (line.empty() || line.front() == '"') return std::string(line);
  // From the whole line down to its first word: the longest path that exists wins.
  for (std::size_t end = line.size(); end > 0;) {
    const std::string program(trimmed(line.substr(0, end)));
    if (!program.empty() && isFile(program)) {
      if (program.find_first_of(" \t") == std::string::npos) return std::string(line);
      return "\"" + program + "\"" + std::string(line.substr(end));
    }
    const std::size_t blank = line.find_last_of(" \t", end - 1);
    if (blank == std::string_view::npos) break;
    end = blank;
  }
  return std::string(line);
}

}  // namespace pelmora
