// The dialog for a user who types and one who listens: Tab, Enter and Escape through the real
// window, and what a screen reader is told of every control through Qt's accessibility
// interface.

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>

#include "support/qt/SeenLayout.h"
#include "ui/settings/LinkLabel.h"
#include "ui/settings/SettingsDialogFixture.h"

namespace pelmora {
namespace {

QWidget* focused() {
  return QApplication::focusWidget();
}

// Presses Tab until `target` has the focus, at most 20 times; fails on a push button on the way.
bool tabTo(const QWidget* target) {
  for (int i = 0; i < 20 && focused() != target; ++i) {
    if (focused() == nullptr) return false;
    EXPECT_EQ(qobject_cast<QPushButton*>(focused()), nullptr)
        << "a button took the focus: " << testing::describe(focused());
    QTest::keyClick(focused(), Qt::Key_Tab);
  }
  return focused() == target;
}

TEST_F(SettingsDialogTest, TheKeyboardConfirmsWithEnterCancelsWithEscapeAndOpensTheLinks) {
  TSettings& settings = start();
  const auto open = [&](const char* tab) {
    m_frame->openSettings(QString::fromUtf8(tab));
    QApplication::setActiveWindow(&settings);
    return QTest::qWaitForWindowActive(&settings);
  };
  OptionsPage& options = *settings.tabOptions;
  ASSERT_TRUE(open("o"));

  // Tab reaches the position edit past the boxes; Enter in it confirms the dialog.
  ASSERT_TRUE(tabTo(options.eXX->edit));
  type(options.eXX->edit, "300");
  QTest::keyClick(focused(), Qt::Key_Return);
  EXPECT_FALSE(settings.isVisible());
  EXPECT_EQ(stored(options::kXX), 300);

  // Enter from a check box as well; nothing while a connection is metered, as "O K" is off.
  ASSERT_TRUE(open("o"));
  ASSERT_TRUE(tabTo(options.cbShowOnStart));
  QTest::keyClick(focused(), Qt::Key_Space);
  m_probe.answer = 1;
  m_frame->ttInternetTimer();
  QTest::keyClick(focused(), Qt::Key_Enter, Qt::KeypadModifier);
  EXPECT_TRUE(settings.isVisible());
  m_probe.answer = 0;
  m_frame->ttInternetTimer();
  const std::int32_t shown = stored(options::kShowOnStart);
  QTest::keyClick(focused(), Qt::Key_Enter, Qt::KeypadModifier);
  EXPECT_FALSE(settings.isVisible());
  EXPECT_EQ(stored(options::kShowOnStart), shown == 0 ? 1 : 0);

  // Escape forgets what was typed.
  ASSERT_TRUE(open("o"));
  ASSERT_TRUE(tabTo(options.eYY->edit));
  type(options.eYY->edit, "77");
  QTest::keyClick(focused(), Qt::Key_Escape);
  EXPECT_FALSE(settings.isVisible());
  EXPECT_NE(stored(options::kYY), 77);

  // F1's tab: Tab reaches each link, Enter and Space open it and leave the dialog open.
  ASSERT_TRUE(open("i"));
  InfoPage& info = *settings.tabInfo;
  ASSERT_TRUE(tabTo(info.tWeb));
  QTest::keyClick(focused(), Qt::Key_Return);
  ASSERT_TRUE(tabTo(info.tMail));
  QTest::keyClick(focused(), Qt::Key_Space);
  ASSERT_TRUE(tabTo(info.tInstruction));
  EXPECT_TRUE(settings.isVisible());
  ASSERT_EQ(m_links.opened.size(), 2u);
  EXPECT_EQ(m_links.opened[0], kWebPageAddress);
  EXPECT_EQ(m_links.opened[1].rfind("mailto:", 0), 0u);
}

// What a screen reader is told of a control.
struct Heard {
  QAccessible::Role role;
  std::string name;
};

Heard heard(QObject* control) {
  QAccessibleInterface* node = QAccessible::queryAccessibleInterface(control);
  return node == nullptr ? Heard{QAccessible::NoRole, "(none)"}
                         : Heard{node->role(), node->text(QAccessible::Name).toStdString()};
}

TEST_F(SettingsDialogTest, AScreenReaderHearsEveryControlByItsCaptionAndItsKind) {
  TSettings& settings = start();
  m_frame->openSettings(QStringLiteral("o"));
  const std::set<QAccessible::Role> controls{
      QAccessible::CheckBox,    QAccessible::EditableText, QAccessible::PushButton,
      QAccessible::ComboBox,    QAccessible::SpinBox,      QAccessible::Link,
      QAccessible::ProgressBar, QAccessible::ScrollBar,    QAccessible::PageTab};
  std::map<QAccessible::Role, int> kinds;
  std::vector<std::string> unnamed;
  // Everything shown, as a screen reader walks it.
  std::function<void(QAccessibleInterface*)> walk = [&](QAccessibleInterface* node) {
    for (int i = 0; i < node->childCount(); ++i) {
      QAccessibleInterface* child = node->child(i);
      if (child->state().invisible) continue;
      ++kinds[child->role()];
      if (controls.count(child->role()) > 0 && child->text(QAccessible::Name).trimmed().isEmpty()) {
        auto* widget = qobject_cast<QWidget*>(child->object());
        unnamed.push_back(widget != nullptr ? testing::describe(widget) : "?");
      }
      walk(child);
    }
  };
  const auto walkTab = [&](int tab) {
    settings.TABs->setCurrentIndex(tab);
    walk(QAccessible::queryAccessibleInterface(settings.TABs->widget(tab)));
  };
  for (int tab = 0; tab < settings.TABs->count(); ++tab) walkTab(tab);
  // Each up-down is one spin button, never two arrows: 2 on the options, 15 + 1 on the tariffs
  // and 2 on the connection tab.
  EXPECT_EQ(kinds[QAccessible::SpinBox], 2 + 16 + 2);
  EXPECT_EQ(kinds[QAccessible::Link], 3);
  // The custom currency's panel and the balance correction, shown; the dialog's own buttons.
  settings.tabTariffs->currency->bChangeClick();
  walkTab(TSettings::Tariffs);
  settings.tabStatistics->bCorrectClick();
  walkTab(TSettings::Statistics);
  walk(QAccessible::queryAccessibleInterface(&settings));
  EXPECT_EQ(unnamed, std::vector<std::string>{});

  // The names are the captions the user sees beside the controls; what shows only a picture
  // or "..." is named by what it does.
  const OptionsPage& options = *settings.tabOptions;
  const ConnectionPage& connection = *settings.tabConnection;
  const TariffsPage& tariffs = *settings.tabTariffs;
  const std::vector<std::pair<QObject*, std::string>> named{
      {options.eXX->edit, "КООРДИНАТЬI  ОКНА  СТАТУСА: X ="},
      {options.eXX->upDown, "КООРДИНАТЬI  ОКНА  СТАТУСА: X ="},
      {connection.startOn->testButton, "ПРОВЕРИТЬ: ЗАПУСК ПРИ ВХОДЕ В ИНТЕРНЕТ"},
      {connection.playOn->browseButton, "Укажите звуковой файл..."},
      {tariffs.fields[2]->upDown, "#1 ДО: ЧАСЫ"},
      {tariffs.memoTest, "ТЕСТ ТАРИФОВ"},
      {tariffs.memoTest->verticalScrollBar(), "ПРОКРУТКА ТЕСТА ТАРИФОВ"},
      {tariffs.tProgress, "ХОД ТЕСТА ТАРИФОВ (ЧАСЫ)"},
      // Named by its caption, which follows the currency.
      {settings.tabStatistics->eNewAccount,
       settings.tabStatistics->tNewAccount->text().toStdString()},
  };
  for (const auto& [control, name] : named) {
    EXPECT_EQ(heard(control).name, name) << control->metaObject()->className();
  }
  EXPECT_EQ(heard(options.eXX->upDown).role, QAccessible::SpinBox);
  EXPECT_EQ(heard(settings.tabInfo->tMail).role, QAccessible::Link);

  // An edit or a list is labelled by the caption beside it (a list's name is its choice, as Qt
  // names them on Linux); a spin button tells the edit's number and steps it; a link is pressed
  // by the screen reader as by the keyboard.
  const auto labelOf = [](QObject* control) {
    const auto labels =
        QAccessible::queryAccessibleInterface(control)->relations(QAccessible::Label);
    return labels.size() == 1 ? labels[0].first->text(QAccessible::Name).toStdString() : "";
  };
  EXPECT_EQ(labelOf(connection.eZero->edit), "МАКСИМАЛЬНОЕ  ВРЕМЯ  БЕСПЛАТНОГО  СОЕДИНЕНИЯ:");
  EXPECT_EQ(labelOf(tariffs.cbWeek), "ДЕНЬ НЕДЕЛИ:");
  EXPECT_EQ(labelOf(tariffs.currency->cbCurrencyDisplay), "ОТОБРАЖАТЬ  В  ОКНЕ  СТАТУСА");
  QAccessibleInterface* spin = QAccessible::queryAccessibleInterface(connection.eZero->upDown);
  EXPECT_EQ(spin->childCount(), 0);
  const QString before = connection.eZero->edit->text();
  EXPECT_EQ(spin->text(QAccessible::Value), before);
  spin->actionInterface()->doAction(QAccessibleActionInterface::increaseAction());
  EXPECT_EQ(connection.eZero->edit->text().toInt(), before.toInt() + 1);
  QAccessible::queryAccessibleInterface(settings.tabInfo->tInstruction)
      ->actionInterface()
      ->doAction(QAccessibleActionInterface::pressAction());
  EXPECT_EQ(m_links.opened.size(), 1u);
}

}  // namespace
}  // namespace pelmora
