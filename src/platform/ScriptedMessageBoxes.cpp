#include "platform/ScriptedMessageBoxes.h"

#include <algorithm>
#include <cctype>
#include <ostream>

namespace pelmora {

namespace {

std::string trimmedLower(std::string word) {
  auto blank = [](unsigned char c) { return std::isspace(c) != 0; };
  word.erase(word.begin(), std::find_if_not(word.begin(), word.end(), blank));
  word.erase(std::find_if_not(word.rbegin(), word.rend(), blank).base(), word.end());
  std::transform(word.begin(), word.end(), word.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return word;
}

std::string escapedLineBreaks(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == '\n') {
      out += "\\n";
    } else if (c != '\r') {
      out += c;
    }
  }
  return out;
}

}  // namespace

ScriptedMessageBoxes::ScriptedMessageBoxes(const std::string& answers, std::ostream& transcript)
    : m_transcript(transcript) {
  std::size_t start = 0;
  while (start <= answers.size()) {
    const std::size_t comma = std::min(answers.find(',', start), answers.size());
    std::string word = trimmedLower(answers.substr(start, comma - start));
    if (!word.empty()) m_answers.push_back(std::move(word));
    start = comma + 1;
  }
}

MessageAnswer ScriptedMessageBoxes::show(const MessageBoxRequest& request) {
  m_transcript << request.title << " | " << escapedLineBreaks(request.text) << std::endl;
  if (request.buttons == MessageButtons::Ok) {
    if (m_next < m_answers.size()) ++m_next;
    return MessageAnswer::Ok;
  }
  if (m_next >= m_answers.size()) return request.defaultAnswer;
  const std::string& word = m_answers[m_next++];
  if (word == "yes") return MessageAnswer::Yes;
  if (word == "no") return MessageAnswer::No;
  return request.defaultAnswer;
}

}  // namespace pelmora
