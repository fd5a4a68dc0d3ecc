#pragma once

#include <array>
#include <filesystem>
#include <functional>

#include <QString>
#include <QWidget>

#include "settings/StatisticsReport.h"
#include "settings/StatisticsTab.h"

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace pelmora {

class AccountLog;
class Clock;
class FileDialogs;
class MessageBoxes;
class ReportPrinter;
class SettingsStore;

// What the statistics tab needs from the program and the dialog.
struct StatisticsServices {
  SettingsStore& store;
  MessageBoxes& boxes;
  const Clock& clock;  // today's day of the month, the report's date
  FileDialogs& files;
  ReportPrinter& printer;
  const AccountLog& accountLog;         // the balance's copy, rewritten by a correction
  std::filesystem::path printedReport;  // the report handed to the printer
  char decimalSeparator = '.';
  // Runs a step that uses the store, showing a store error instead of passing it on.
  std::function<bool(const std::function<void()>&)> guard;
  // The correction of the balance opened (true) or ended (false): the dialog disables O K and
  // Cancel while it is open, and afterwards enables Cancel, and O K only when no connection is
  // metered.
  std::function<void(bool correcting)> correctionChanged;
  // The beep of a refused entry in eNewAccount; the desktop's own beep when not given.
  std::function<void()> beep = {};
};

// "СТАТИСТИКА": the counters of the last connection, the day, week, month and total with the
// account and its two indicators, the report printed or saved to a file, and the correction of
// the account balance.
class StatisticsPage : public QWidget {
  Q_OBJECT

 public:
  explicit StatisticsPage(StatisticsServices services, QWidget* parent = nullptr);

  // RefreshStatistics: the cells from the store, under the program's guard; today's day of the
  // month from the program's clock.
  void refresh();
  // Whether the options tab's bClear is on, from the last refresh.
  bool clearEnabled() const { return m_cells.clearEnabled; }
  // The currency's captions of pAccount and tNewAccount, pDollars and pCents.
  void setUnitCaptions(const QString& account, const QString& majorCost, const QString& minorCost);
  const StatisticsCells& cells() const { return m_cells; }

  // Column headings: tlConnection, tlDay, tlWeek, tlMonth, Label2.
  std::array<QLabel*, 5> columnHeads{};
  QLabel* pAccount = nullptr;
  QLabel* pCents = nullptr;
  QLabel* pDollars = nullptr;
  QLabel* pDuration = nullptr;
  QLabel* pDurationTime = nullptr;
  QLabel* pNumber = nullptr;
  QFrame* pAccountIndicator = nullptr;
  QFrame* pCentsIndicator = nullptr;

  QLabel* plAccount = nullptr;
  std::array<QLabel*, 5> plCents{};         // plcCents, pldCents, plwCents, plmCents, pltCents
  std::array<QLabel*, 5> plDollars{};       // plcDollars ... pltDollars
  std::array<QLabel*, 5> plDuration{};      // plcDuration ... pltDuration
  std::array<QLabel*, 5> plDurationTime{};  // plcDurationTime ... pltDurationTime
  std::array<QLabel*, 4> plNumber{};        // pldNumber ... pltNumber

  QPushButton* bPrint = nullptr;
  QPushButton* bSave = nullptr;
  QPushButton* bCorrect = nullptr;
  QLabel* tNewAccount = nullptr;
  QLineEdit* eNewAccount = nullptr;
  QPushButton* bAccSave = nullptr;
  QPushButton* bAccCancel = nullptr;

 public slots:
  void bPrintClick();
  void bSaveClick();
  void bCorrectClick();
  void eNewAccountChange(const QString& text);
  void bAccSaveClick();
  void bAccCancelClick();

 signals:
  // After every refresh, whether it failed or not: the dialog updates bClear.
  void refreshed();

 protected:
  // Double clicks on pAccount and plAccount open the correction.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void build();
  void showCells();
  void endCorrection();
  // The four correction controls shown and bCorrect hidden, or the other way round.
  void showCorrection(bool shown);
  void beep();

  StatisticsServices m_services;
  StatisticsCells m_cells;
  StatisticsReports m_reports;
};

}  // namespace pelmora
