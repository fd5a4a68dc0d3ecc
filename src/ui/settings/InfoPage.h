#pragma once

#include <filesystem>

#include <QWidget>

#include "settings/ProgramInformation.h"

class QLabel;

namespace pelmora {

class AddressOpener;
class LinkLabel;

// "ИНФОРМАЦИЯ": the program's name, version and author, and three links (the web page, a mail
// to the makers, the user guide) that the desktop opens. A link takes its colour while the
// pointer is over it and turns black when pressed; a click opens it, and so do Enter and Space
// once Tab has reached it. Never touches the store.
class InfoPage : public QWidget {
  Q_OBJECT

 public:
  // guide: the user guide found by findUserGuide (empty: the instructions link opens the web
  // page).
  InfoPage(AddressOpener& opener, const std::filesystem::path& guide, QWidget* parent = nullptr);

  // Hands the link's address to the desktop, as a click on it does; a failure is ignored.
  void openLink(InfoLink link);

  const ProgramInformation& information() const { return m_information; }

  QLabel* tTitle = nullptr;
  QLabel* tVersion = nullptr;
  QLabel* tAuthor = nullptr;
  QLabel* tName = nullptr;
  QLabel* tNickName = nullptr;
  LinkLabel* tWeb = nullptr;
  LinkLabel* tMail = nullptr;
  LinkLabel* tInstruction = nullptr;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  LinkLabel* linkLabel(InfoLink link) const;
  // Gives every link the colour its state asks for.
  void showLinkColours();

  AddressOpener& m_opener;
  ProgramInformation m_information;
  InfoLinkStates m_states;
};

}  // namespace pelmora
