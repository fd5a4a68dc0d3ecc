#include "settings/TariffEditor.h"

#include <array>
#include <cstddef>

#include "platform/MessageBoxes.h"
#include "store/ProgramOptions.h"
#include "store/SettingsStore.h"
#include "store/StoreKeys.h"

namespace pelmora {

namespace {

constexpr UpDownRange kHours{0, 23};
constexpr UpDownRange kMinutes{0, 59};
constexpr UpDownRange kPrices{0, 999};
constexpr int kClockLength = 2;
constexpr int kPriceLength = 6;

// Every zone has its fields in the same order: begin hour and minute, end hour and minute, price.
enum class Column { BeginHour, BeginMinute, EndHour, EndMinute, Price };

Column columnOf(std::size_t index) {
  return static_cast<Column>(index % 5);
}

// The value name of a field in the weekday key, from the table of tariff defaults.
const char* valueName(std::size_t index) {
  return tariffDefaults()[index].name;
}

std::size_t indexOf(TariffField field) {
  return static_cast<std::size_t>(field);
}

TariffZone zoneFrom(const std::array<std::int32_t, kTariffFieldCount>& v, std::size_t first) {
  return {v[first], v[first + 1], v[first + 2], v[first + 3], v[first + 4]};
}

}  // namespace

TariffEditor::TariffEditor(SettingsStore& store, MessageBoxes& boxes, std::int32_t& lastValidated)
    : m_store(store), m_boxes(boxes) {
  m_fields.reserve(kTariffFieldCount);
  for (std::size_t i = 0; i < kTariffFieldCount; ++i) {
    // A refused entry gives back the value stored for the day selected in cbWeek, read now.
    auto stored = [this, name = valueName(i)] {
      auto key = openKey(m_store, tariffKey(m_selected));
      const std::int32_t value = read(*key, IntegerOption{name});
      key->CloseKey();
      return value;
    };
    switch (columnOf(i)) {
      case Column::BeginHour:
      case Column::EndHour:
        m_fields.emplace_back(stored, kHours, ValidEntry::SetsPosition, kClockLength, lastValidated,
                              IntegerSyntax::Decimal);
        break;
      case Column::BeginMinute:
      case Column::EndMinute:
        m_fields.emplace_back(stored, kMinutes, ValidEntry::SetsPosition, kClockLength,
                              lastValidated, IntegerSyntax::Decimal);
        break;
      case Column::Price:
        m_fields.emplace_back(stored, kPrices, ValidEntry::RecordsOnlyNotNegative, kPriceLength,
                              lastValidated, IntegerSyntax::Decimal);
        break;
    }
  }
}

EditResult TariffEditor::change(TariffField field, const std::string& text) {
  EditResult result = edit(field).change(text);
  // The stored value a refused text gets back is a change of its own, which passes.
  if (edit(field).accepted()) enableAfterEdit();
  return result;
}

EditResult TariffEditor::step(TariffField field, int delta) {
  // The arrow's number is a change like any other, when it changes the text.
  const std::string before = edit(field).text();
  EditResult result = edit(field).step(delta);
  if (result.text != before && edit(field).accepted()) enableAfterEdit();
  return result;
}

const std::string& TariffEditor::text(TariffField field) const {
  return edit(field).text();
}

int TariffEditor::maxLength(TariffField field) const {
  return edit(field).maxLength();
}

void TariffEditor::selectDay(int day) {
  m_selected = day;
  weekChange();
}

void TariffEditor::show(int today) {
  m_previousDay = today;
  m_newDay = today;
  m_noPrompt = false;
  m_selected = today;
  weekChange();
}

void TariffEditor::silentReload() {
  // The flag lasts for this reload only, also when the store fails it.
  struct NoPrompt {
    bool& flag;
    ~NoPrompt() { flag = false; }
  } noPrompt{m_noPrompt};
  m_noPrompt = true;
  weekChange();
}

void TariffEditor::restore() {
  silentReload();
  m_restoreEnabled = false;
}

void TariffEditor::saveThisDay() {
  daySave();
}

void TariffEditor::copyToAllDays() {
  m_copy = true;
  daySave();
}

void TariffEditor::daySave() {
  // Both flags are taken first, so that a store error cannot leave them for the next save.
  const int target = m_saveToPrevious ? m_previousDay : m_selected;
  const bool copy = m_copy;
  m_saveToPrevious = false;
  m_copy = false;
  writeFields(target);
  m_saveEnabled = false;
  m_restoreEnabled = false;
  if (!copy) return;
  m_store.Atomically([this] {
    for (int day = 0; day < kWeekdayCount; ++day) writeFields(day);
  });
  m_boxes.show(informationBox("Ok!", "Текущие значения тарифов были успешно скопированны."));
}

DayTariffs TariffEditor::typed() const {
  std::array<std::int32_t, kTariffFieldCount> values{};
  for (std::size_t i = 0; i < values.size(); ++i) values[i] = m_fields[i].value();
  return {zoneFrom(values, 0), zoneFrom(values, 5), zoneFrom(values, 10)};
}

void TariffEditor::testStarted() {
  m_testRunning = true;
}

void TariffEditor::testFinished() {
  m_testRunning = false;
  m_testEnabled = true;
  // Whatever it was before: the tested values count as unsaved edits.
  m_saveEnabled = true;
}

const char* TariffEditor::dayName(int day) {
  static constexpr std::array<const char*, kWeekdayCount> kNames = {
      "ВОСКРЕСЕНИЕ", "ПОНЕДЕЛЬНИК", "ВТОРНИК", "СРЕДА", "ЧЕТВЕРГ", "ПЯТНИЦА", "СУББОТА"};
  if (day < 0 || day >= kWeekdayCount) return "";
  return kNames[static_cast<std::size_t>(day)];
}

const char* TariffEditor::dayGenitive(int day) {
  switch (day) {
    case 1:
      return "понедельника";
    case 2:
      return "вторника";
    case 3:
      return "среды";
    case 4:
      return "четверга";
    case 5:
      return "пятницы";
    case 6:
      return "субботы";
    default:
      return "воскресения";
  }
}

void TariffEditor::enableAfterEdit() {
  m_saveEnabled = true;
  m_testEnabled = true;
  m_restoreEnabled = true;
}

NumericEdit& TariffEditor::edit(TariffField field) {
  return m_fields.at(indexOf(field));
}

const NumericEdit& TariffEditor::edit(TariffField field) const {
  return m_fields.at(indexOf(field));
}

void TariffEditor::weekChange() {
  m_newDay = m_selected;
  if (saveEnabled() && !m_noPrompt) {
    const std::string text = std::string("Тарифы для ") + dayGenitive(m_previousDay) +
                             " не были сохранены.\nСохранить их?";
    if (m_boxes.show(questionBox("Сохранить изменения?", text, MessageAnswer::Yes)) ==
        MessageAnswer::Yes) {
      m_saveToPrevious = true;
      daySave();
    }
    m_selected = m_newDay;
  }
  // Loading runs each field's validator like any other change.
  auto key = openKey(m_store, tariffKey(m_selected));
  for (std::size_t i = 0; i < kTariffFieldCount; ++i) {
    const std::int32_t value = read(*key, IntegerOption{valueName(i)});
    change(static_cast<TariffField>(i), upDownText(value));
  }
  key->CloseKey();
  m_saveEnabled = false;
  m_restoreEnabled = false;
  m_previousDay = m_newDay;
}

void TariffEditor::writeFields(int day) {
  auto key = openKey(m_store, tariffKey(day));
  for (std::size_t i = 0; i < kTariffFieldCount; ++i) {
    write(*key, IntegerOption{valueName(i)}, m_fields[i].value());
  }
  key->CloseKey();
}

}  // namespace pelmora
