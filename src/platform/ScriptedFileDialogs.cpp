#include "platform/ScriptedFileDialogs.h"

#include "platform/PathText.h"

#include <algorithm>
#include <ostream>
#include <utility>

namespace pelmora {

namespace {

std::filesystem::path fromUtf8(const std::string& text) {
  return pathFromUtf8(text);
}

}  // namespace

ScriptedFileDialogs::ScriptedFileDialogs(const std::string& answers, std::ostream& transcript)
    : m_transcript(transcript) {
  std::size_t start = 0;
  while (start < answers.size()) {
    const std::size_t end = std::min(answers.find('\n', start), answers.size());
    std::string line = answers.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    m_answers.push_back(std::move(line));
    start = end + 1;
  }
}

std::optional<std::filesystem::path> ScriptedFileDialogs::openFile(
    const FileDialogRequest& request) {
  return answer(request, false);
}

std::optional<std::filesystem::path> ScriptedFileDialogs::saveFile(
    const FileDialogRequest& request) {
  return answer(request, true);
}

std::optional<std::filesystem::path> ScriptedFileDialogs::answer(const FileDialogRequest& request,
                                                                 bool saving) {
  m_transcript << request.title << " | " << request.filter << std::endl;
  if (m_next >= m_answers.size()) return std::nullopt;
  const std::string& line = m_answers[m_next++];
  if (line.empty()) return std::nullopt;
  std::filesystem::path file = fromUtf8(line);
  if (file.is_relative() && !request.initialDirectory.empty()) {
    file = request.initialDirectory / file;
  }
  if (saving && !file.has_extension() && !request.defaultExtension.empty()) {
    file += fromUtf8("." + request.defaultExtension);
  }
  return file;
}

}  // namespace pelmora
