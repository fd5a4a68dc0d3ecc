#pragma once

#include <functional>
#include <string>

#include <QWidget>

#include "ui/settings/NumericField.h"

class QCheckBox;

namespace pelmora {

class ActionRow;
class FileDialogs;
class OptionsTabs;

// What the connect and disconnect pages' test buttons do with the text of their edits.
struct ActionTests {
  std::function<void(const std::string&)> playSound;
  std::function<void(const std::string&)> startProgram;
};

// "СОЕДИНЕНИЕ": showing the status window, the program and the sound at a connect, the free
// seconds and the authentication seconds.
class ConnectionPage : public QWidget {
  Q_OBJECT

 public:
  ConnectionPage(OptionsTabs& model, const FieldServices& services, FileDialogs& files,
                 const ActionTests& tests, QWidget* parent = nullptr);

  void refresh();

  QCheckBox* cbShowOnConnect = nullptr;
  ActionRow* startOn = nullptr;  // cbStartON, eStartON, testONa, browseONa
  ActionRow* playOn = nullptr;   // cbPlayON, ePlayON, testON, browseON
  NumericField* eZero = nullptr;
  NumericField* eSecondsPlus = nullptr;

 private:
  OptionsTabs& m_model;
};

// "РАССОЕДИНЕНИЕ": hiding the status window, the program and the sound at a disconnect, and
// rounding up to whole minutes.
class DisconnectionPage : public QWidget {
  Q_OBJECT

 public:
  DisconnectionPage(OptionsTabs& model, FileDialogs& files, const ActionTests& tests,
                    QWidget* parent = nullptr);

  void refresh();

  QCheckBox* cbHideOnDisconnect = nullptr;
  ActionRow* startOff = nullptr;  // cbStartOFF, eStartOFF, testOFFa, browseOFFa
  ActionRow* playOff = nullptr;   // cbPlayOFF, ePlayOFF, testOFF, browseOFF
  QCheckBox* cbTrunc = nullptr;

 private:
  OptionsTabs& m_model;
};

}  // namespace pelmora
