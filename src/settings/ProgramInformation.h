#pragma once

#include <array>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

namespace pelmora {

// A colour of the information tab's links: red, green and blue from 0 to 255.
struct LinkColour {
  int red = 0;
  int green = 0;
  int blue = 0;
  friend bool operator==(const LinkColour&, const LinkColour&) = default;
};

// The information tab's three links, in the order of ProgramInformation::links.
enum class InfoLink { Web, Mail, Guide };
inline constexpr std::size_t kInfoLinkCount = 3;

// A link's colour while the pointer is over it: blue, navy, green.
inline constexpr std::array<LinkColour, kInfoLinkCount> kLinkHoverColours{
    {{0, 0, 255}, {0, 0, 128}, {0, 128, 0}}};
// A link's colour once a mouse button went down on it.
inline constexpr LinkColour kLinkPressedColour{0, 0, 0};

struct InfoLinkTarget {
  std::string caption;
  std::string address;  // absolute and percent-encoded, for an AddressOpener
};

// What the information tab shows.
struct ProgramInformation {
  std::string title;                                 // tTitle
  std::string version;                               // tVersion
  std::string authorHeading;                         // tAuthor
  std::string author;                                // tName
  std::string nickName;                              // tNickName
  std::array<InfoLinkTarget, kInfoLinkCount> links;  // tWeb, tMail, tInstruction

  const InfoLinkTarget& link(InfoLink which) const {
    return links[static_cast<std::size_t>(which)];
  }
};

// The tab's texts and links. guide: the user guide found by findUserGuide; when it is empty the
// instructions link opens the web page instead.
ProgramInformation programInformation(const std::filesystem::path& guide);

// "ВЕРСИЯ " and the compiled-in version, major.minor.
std::string versionCaption();

// A "file:" URL of an absolute path: every byte but the unreserved characters, "/" and ":"
// percent-encoded (UTF-8), so blanks and Cyrillic names survive.
std::string fileUrl(const std::filesystem::path& file);

// The user guide: installed as <prefix>/share/doc/pelmora/guide.html for an executable in
// <prefix>/bin, or guide.html beside the executable, where the build copies it. Empty when
// neither exists.
std::filesystem::path findUserGuide(const std::filesystem::path& executableDir);

// The links' colours and hot flags while the pointer moves over the tab. A hot link shows its
// hover colour; a link moved over becomes the only hot one, and moving over the page or a plain
// label cools them all. A press turns a link black without touching its flag, so it stays black
// until the pointer leaves it and comes back. The flags live as long as the tab.
class InfoLinkStates {
 public:
  // The pointer moves over a link: unless it is hot already, every link cools and this one
  // takes its hover colour.
  void hover(InfoLink link);
  // The pointer moves over the page or one of its plain labels.
  void reset();
  // A mouse button goes down on a link; primary: the left button, whose release clicks.
  void press(InfoLink link, bool primary);
  // The left button comes up after going down on link; overLink: the pointer is still on it.
  // True when this is a click, which opens the link.
  bool release(InfoLink link, bool overLink);

  // The colour the link shows; none: the system's colour of text on buttons.
  std::optional<LinkColour> colour(InfoLink link) const { return state(link).colour; }
  bool hot(InfoLink link) const { return state(link).hot; }

 private:
  struct State {
    bool hot = false;
    std::optional<LinkColour> colour;
  };
  State& state(InfoLink link) { return m_links[static_cast<std::size_t>(link)]; }
  const State& state(InfoLink link) const { return m_links[static_cast<std::size_t>(link)]; }

  std::array<State, kInfoLinkCount> m_links;
  std::optional<InfoLink> m_armed;  // where the left button went down
};

}  // namespace pelmora
