#include "platform/ScriptedReportPrinter.h"

#include <algorithm>
#include <cctype>
#include <ostream>

#include "platform/PathText.h"

namespace pelmora {

namespace {

std::string trimmed(const std::string& text) {
  auto blank = [](unsigned char c) { return std::isspace(c) != 0; };
  const auto first = std::find_if_not(text.begin(), text.end(), blank);
  const auto last = std::find_if_not(text.rbegin(), text.rend(), blank).base();
  return first < last ? std::string(first, last) : std::string();
}

std::string lowered(std::string word) {
  std::transform(word.begin(), word.end(), word.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return word;
}

}  // namespace

ScriptedReportPrinter::ScriptedReportPrinter(const std::string& answer, std::ostream& transcript)
    : m_transcript(transcript) {
  const std::size_t colon = answer.find(':');
  const std::string word = lowered(trimmed(answer.substr(0, colon)));
  if (word == "none") {
    m_answer.outcome = PrintOutcome::NoPrintCommand;
  } else if (word == "failed") {
    m_answer.outcome = PrintOutcome::Failed;
    m_answer.reason =
        colon == std::string::npos ? std::string() : trimmed(answer.substr(colon + 1));
    if (m_answer.reason.empty()) m_answer.reason = "печать не удалась";
  }
}

PrintResult ScriptedReportPrinter::print(const std::filesystem::path& file) {
  m_transcript << "print " << utf8Path(file) << std::endl;
  return m_answer;
}

}  // namespace pelmora
