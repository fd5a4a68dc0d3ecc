#include "settings/ProgramInformation.h"

#include <system_error>

#include "platform/ProgramLinks.h"
#include "platform/ProgramVersion.h"

namespace pelmora {

namespace {

bool unreserved(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '.' || c == '_' || c == '~';
}

// Percent-encodes every byte but the unreserved characters and those in keep.
std::string percentEncode(const std::string& text, const std::string& keep = {}) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size());
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (unreserved(c) || keep.find(ch) != std::string::npos) {
      out += ch;
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 0x0F];
    }
  }
  return out;
}

std::string mailLink() {
  return std::string("mailto:") + kMailAddress +
         "?subject=" + percentEncode(std::string("\"") + kProgramName + "\"");
}

}  // namespace

std::string versionCaption() {
  return "ВЕРСИЯ " + std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor);
}

std::string fileUrl(const std::filesystem::path& file) {
  const std::u8string generic = file.generic_u8string();
  const std::string path(generic.begin(), generic.end());
  // "/home/..." gives file:///home/..., "C:/..." file:///C:/..., a share "//host/..."
  // file://host/...
  const char* prefix = path.starts_with("//")  ? "file:"
                       : path.starts_with("/") ? "file://"
                                               : "file:///";
  return prefix + percentEncode(path, "/:");
}

ProgramInformation programInformation(const std::filesystem::path& guide) {
  ProgramInformation info;
  info.title = kProgramName;
  info.version = versionCaption();
  info.authorHeading = "АВТОР";
  info.author = "Команда разработчиков Pelmora";
  info.nickName = "( Kedrun )";
  info.links = {{{kWebPageAddress, kWebPageAddress},
                 {kMailAddress, mailLink()},
                 {"подробная инструкция и описание программы",
                  guide.empty() ? std::string(kWebPageAddress) : fileUrl(guide)}}};
  return info;
}

std::filesystem::path findUserGuide(const std::filesystem::path& executableDir) {
  const std::filesystem::path places[] = {
      (executableDir / ".." / "share" / "doc" / "pelmora" / "guide.html").lexically_normal(),
      executableDir / "guide.html"};
  for (const auto& place : places) {
    std::error_code error;
    if (std::filesystem::is_regular_file(place, error)) return place;
  }
  return {};
}

void InfoLinkStates::hover(InfoLink link) {
  if (state(link).hot) return;
  reset();
  state(link) = {true, kLinkHoverColours[static_cast<std::size_t>(link)]};
}

void InfoLinkStates::reset() {
  for (State& each : m_links) {
    if (each.hot) each = {};
  }
}

void InfoLinkStates::press(InfoLink link, bool primary) {
  state(link).colour = kLinkPressedColour;
  m_armed = primary ? std::optional(link) : std::nullopt;
}

bool InfoLinkStates::release(InfoLink link, bool overLink) {
  const bool click = overLink && m_armed == link;
  m_armed.reset();
  return click;
}

}  // namespace pelmora
