#include "app/ProgramCore.h"

#include <algorithm>
#include <exception>
#include <utility>

#include "accounting/Tariffs.h"
#include "connection/BudgetGuard.h"
#include "connection/ConnectionSettlement.h"
#include "connection/CrashProtector.h"
#include "app/QuitController.h"
#include "connection/ZoneTooltip.h"
#include "monitor/ConnectionProbe.h"
#include "platform/DataFolder.h"
#include "platform/MessageBoxes.h"
#include "platform/PathText.h"
#include "platform/ProgramVersion.h"
#include "store/AccountLog.h"
#include "store/ConnectionLog.h"
#include "store/DurationFile.h"
#include "store/SettingsStore.h"
#include "store/StoreError.h"
#include "store/TextFile.h"
#include "store/StoreKeys.h"
#include "store/ProgramOptions.h"

namespace pelmora {

namespace {

constexpr const char* kMonitoringOffNote =
    "\n\nНаблюдение за соединением выключено: пока ошибка не исправлена, соединения не "
    "учитываются. Исправьте её и перезапустите программу.";

}  // namespace

// Where the status window and the settings dialog are not there yet, nothing is shown.
class ProgramCore::ViewRelay final : public StatusView {
 public:
  StatusView* target = nullptr;
  SettingsListener* settings = nullptr;

  void showDuration(const std::string& text) override {
    if (target) target->showDuration(text);
  }
  void showCost(const std::string& text) override {
    if (target) target->showCost(text);
  }
  void setPolling(bool on) override {
    if (target) target->setPolling(on);
  }
  void setSwitchCaption(const std::string& caption) override {
    if (target) target->setSwitchCaption(caption);
  }
  void refreshState(MonitorState state) override {
    if (target) target->refreshState(state);
  }
  void enableSwitch(bool enabled) override {
    if (target) target->enableSwitch(enabled);
  }
  void enableSettings(bool enabled) override {
    if (target) target->enableSettings(enabled);
    if (settings) settings->commitAllowed(enabled);
  }
  void showStatusWindow() override {
    if (target) target->showStatusWindow();
  }
  void setMetering(bool on) override {
    if (target) target->setMetering(on);
  }
  void setFlashing(bool on) override {
    if (target) target->setFlashing(on);
  }
  void startHider() override {
    if (target) target->startHider();
  }
  void refreshStatistics() override {
    if (target) target->refreshStatistics();
    if (settings) settings->statisticsChanged();
  }
  void setSettlementRetry(bool on) override {
    if (target) target->setSettlementRetry(on);
  }
  void stopMonitoring() override {
    if (target) target->stopMonitoring();
  }
  void programEnding() override {
    if (target) target->programEnding();
  }
  void notify(const std::string& title, const std::string& text) override {
    if (target) target->notify(title, text);
  }
};

ProgramCore::ProgramCore(Services services)
    : m_services(std::move(services)),
      m_view(std::make_unique<ViewRelay>()),
      m_log(std::make_unique<ConnectionLog>(m_services.folder.connectionLog())),
      m_accountLog(std::make_unique<AccountLog>(m_services.folder.accountLog())),
      m_durationFile(std::make_unique<DurationFile>(m_services.folder.durationFile())),
      m_waitingFile(std::make_unique<DurationFile>(m_services.folder.waitingFile())),
      m_tariffWarning(std::make_unique<TariffWarning>(m_services.boxes)),
      m_settlement(std::make_unique<ConnectionSettlement>(m_services.store, *m_log, *m_accountLog,
                                                          *m_durationFile, *m_waitingFile,
                                                          *m_tariffWarning)) {
  m_meter = std::make_unique<Meter>(m_services.store, m_services.clock, *m_view, *m_tariffWarning,
                                    m_services.decimalSeparator);
  m_protector = std::make_unique<CrashProtector>(*m_meter, m_services.clock, *m_durationFile);
  m_actions = std::make_unique<ConnectionActions>(ConnectionActions::Context{
      m_services.store, m_services.clock, *m_log, *m_meter, *m_settlement, *m_durationFile,
      *m_waitingFile, m_services.sound, m_services.starter, *m_view});
  MonitorTransitions& transitions = *this;
  m_monitor = std::make_unique<ConnectionMonitor>(m_services.probe, *m_view, transitions);
  m_budget = std::make_unique<BudgetGuard>();
  m_quit = std::make_unique<QuitController>(QuitController::Context{
      [this] { return m_monitor->isConnected(); }, m_services.boxes, m_services.clock, *m_log,
      *m_durationFile, m_services.starter, m_services.executable, [this] { endProgram(); }});
}

ProgramCore::~ProgramCore() = default;

void ProgramCore::attach(StatusView& view) {
  m_view->target = &view;
}

void ProgramCore::listen(SettingsListener* listener) {
  m_view->settings = listener;
}

bool ProgramCore::guard(const std::function<void()>& step) {
  try {
    step();
    return true;
  } catch (const ProgramEnding&) {
    // A box the program's end closed: nobody answered, and nothing is left to tell.
    return false;
  } catch (const std::exception& e) {
    // Never into the event loop: the user is told what is wrong and can still quit.
    m_services.boxes.show(informationBox(kProgramName, e.what(), MessageIcon::Error));
    return false;
  }
}

std::optional<StartupResult> ProgramCore::startUp(bool& busy) {
  busy = false;
  StartupResult result;
  try {
    result = StartupSequence({m_services.store, m_services.screen, m_services.clock,
                              m_services.executable, *m_log, *m_accountLog, *m_durationFile,
                              *m_waitingFile, *m_meter, *m_settlement, m_services.boxes})
                 .run();
  } catch (const StoreBusy&) {
    busy = true;
    return std::nullopt;
  } catch (const ProgramEnding&) {
    return std::nullopt;
  } catch (const std::exception& e) {
    // Never a program that looks as if it metered: the switch shows it off and stays so.
    m_view->stopMonitoring();
    guard([&] {
      m_services.boxes.show(informationBox(kProgramName, e.what() + std::string(kMonitoringOffNote),
                                           MessageIcon::Error));
    });
    return std::nullopt;
  }
  if (result.recovery != RecoveryOutcome::NothingFound) m_monitor->forgetConnection();
  if (!result.unfinished.done) {
    m_actions->filesUnfinished(result.unfinished);
    guard([&] {
      m_services.boxes.show(informationBox(kProgramName, unfinishedFilesText(result.unfinished),
                                           MessageIcon::Warning));
    });
  }
  applySettings();
  return result;
}

std::optional<WindowOptions> ProgramCore::readWindowOptions() {
  WindowOptions window;
  const bool ok = guard([this, &window] {
    auto key = openKey(m_services.store, kProgramKey);
    window.left = read(*key, options::kXX);
    window.top = read(*key, options::kYY);
    window.currencyStatus = read(*key, options::kCurrencyStatus);
    window.currencySymbol =
        read(*key, window.currencyStatus == 1 ? options::kCurrency : options::kCurrencySub);
    // Values put into the store by hand are held to the settings dialog's limits.
    window.extraSeconds = std::clamp(read(*key, options::kSecondsPlus), 0, kMaxExtraSeconds);
    window.freeSeconds = std::clamp(read(*key, options::kZero), 0, kMaxFreeSeconds);
    key->CloseKey();
  });
  if (!ok) return std::nullopt;
  return window;
}

void ProgramCore::applySettings() {
  int displayUnit = 0;
  int extraSeconds = 0;
  int freeSeconds = 0;
  const bool ok = guard([&] {
    auto key = openKey(m_services.store, kProgramKey);
    displayUnit = read(*key, options::kCurrencyStatus);
    // Held to the settings dialog's limits, as the status window shows them.
    extraSeconds = std::clamp(read(*key, options::kSecondsPlus), 0, kMaxExtraSeconds);
    freeSeconds = std::clamp(read(*key, options::kZero), 0, kMaxFreeSeconds);
    key->CloseKey();
  });
  if (!ok) return;
  m_meter->setDisplayUnit(displayUnit);
  m_meter->setExtraSeconds(extraSeconds);
  m_meter->setFreeSeconds(freeSeconds);
}

void ProgramCore::savePosition(int left, int top) {
  guard([this, left, top] {
    auto key = openKey(m_services.store, kProgramKey);
    write(*key, options::kXX, left);
    write(*key, options::kYY, top);
    key->CloseKey();
  });
}

void ProgramCore::poll() {
  m_monitor->poll();
}

void ProgramCore::setMonitoring(bool on) {
  m_monitor->switchChanged(on);
}

MonitorState ProgramCore::monitorState() const {
  return m_monitor->state();
}

bool ProgramCore::linkUp() {
  return m_services.probe.probe();
}

void ProgramCore::meterTick() {
  guard([this] { m_meter->tick(); });
  for (const BudgetNotice& notice : m_budget->check(m_meter->cost())) {
    m_view->notify(notice.title, notice.text);
  }
}

std::string ProgramCore::zoneTooltip() const {
  const std::optional<Zone> metered =
      m_monitor->isConnected() ? std::optional<Zone>(m_meter->zone()) : std::nullopt;
  try {
    return pelmora::zoneTooltip(m_services.store, m_services.clock.now(), metered,
                                m_services.decimalSeparator);
  } catch (const std::exception&) {
    // A tooltip is no place for a store error; the metering reports it.
    return {};
  }
}

void ProgramCore::protectorTick() {
  // The crash file still keeps a connection that waits for the store or for its files.
  if (m_actions->crashFileTaken()) {
    tellUnprotected(
        "Файл защиты от сбоев ещё хранит предыдущее соединение, которое ожидает "
        "записи:\n" +
        fullPathText(m_durationFile->path()));
    return;
  }
  if (!m_protector->tick()) {
    tellUnprotected("Не удалось записать файл защиты от сбоев:\n" +
                    fullPathText(m_durationFile->path()) +
                    "\nПричина: " + reasonText(lastFileError()) + ".");
  }
}

void ProgramCore::tellUnprotected(const std::string& why) {
  if (m_protectionTold) return;
  m_protectionTold = true;
  guard([&] {
    m_services.boxes.show(informationBox(
        kProgramName,
        why + "\n\nТекущее соединение НЕ защищено: если программа будет закрыта аварийно, "
              "оно не будет засчитано.",
        MessageIcon::Warning));
  });
}

void ProgramCore::retrySettlement() {
  guard([this] { m_actions->retrySettlement(); });
}

void ProgramCore::quit() {
  m_quit->mQuitClick();
}

void ProgramCore::restart() {
  m_quit->mReStartClick();
}

void ProgramCore::shutDown() {
  endProgram();
}

void ProgramCore::endSettled() {
  if (m_monitor->isConnected()) disconnected();
  endProgram();
}

void ProgramCore::endProgram() {
  m_ending = true;
  // Nothing may run between the decision and the end of the loop: no poll, no metering tick and
  // no crash-file write after a cancelled connection's file was deleted.
  m_view->programEnding();
  m_services.terminate();
}

void ProgramCore::connected() {
  m_protectionTold = false;
  guard([this] { m_actions->connect(); });
  guard([this] {
    auto program = openKey(m_services.store, kProgramKey);
    m_budget->start(*program, m_services.decimalSeparator);
    program->CloseKey();
  });
}

void ProgramCore::disconnected() {
  m_budget->stop();
  guard([this] { m_actions->disconnect(); });
}

}  // namespace pelmora
