#pragma once

// What a user sees of a window's controls, whatever their coordinates: controls beside one
// another rather than over one another, and every caption and picture whole.

#include <algorithm>
#include <string>
#include <vector>

#include <QAbstractButton>
#include <QCheckBox>
#include <QFontMetrics>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QStyle>
#include <QWidget>

namespace pelmora::testing {

// A control as a failure names it: its class, its caption and where it is.
inline std::string describe(const QWidget* control) {
  QString caption;
  if (const auto* label = qobject_cast<const QLabel*>(control)) caption = label->text();
  if (const auto* button = qobject_cast<const QAbstractButton*>(control)) caption = button->text();
  const QRect place = control->geometry();
  return std::string(control->metaObject()->className()) + " \"" + caption.toStdString() +
         "\" at " + std::to_string(place.x()) + "," + std::to_string(place.y()) + " " +
         std::to_string(place.width()) + "x" + std::to_string(place.height());
}

// The controls on `parent` (its own children that are not hidden) that lie over one another.
// Neighbours may share a one-pixel edge line; the controls in `above` are meant to lie over
// others (a transparent handle, a light on a heading).
inline std::vector<std::string> overlappingControls(const QWidget* parent,
                                                    const std::vector<const QWidget*>& above = {}) {
  std::vector<const QWidget*> shown;
  for (const QWidget* child : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (child->isWindow() || child->isHidden()) continue;
    if (std::find(above.begin(), above.end(), child) != above.end()) continue;
    shown.push_back(child);
  }
  std::vector<std::string> found;
  for (std::size_t i = 0; i < shown.size(); ++i) {
    for (std::size_t j = i + 1; j < shown.size(); ++j) {
      const QRect common = shown[i]->geometry().intersected(shown[j]->geometry());
      if (common.width() > 1 && common.height() > 1) {
        found.push_back(describe(shown[i]) + " over " + describe(shown[j]));
      }
    }
  }
  return found;
}

// The captions and pictures on `root` and everything on it, shown or on a tab not chosen, that
// do not fit their controls with the controls' own fonts.
inline std::vector<std::string> cutCaptions(const QWidget* root) {
  std::vector<std::string> found;
  const auto check = [&found](const QWidget* control, bool fits) {
    if (!fits) found.push_back(describe(control));
  };
  for (const QWidget* control : root->findChildren<QWidget*>()) {
    if (control->isHidden()) continue;
    const QFontMetrics metrics(control->font());
    if (const auto* label = qobject_cast<const QLabel*>(control)) {
      const QRect room = label->contentsRect().adjusted(label->margin(), label->margin(),
                                                        -label->margin(), -label->margin());
      if (!label->pixmap().isNull()) {
        const QSize picture = label->pixmap().deviceIndependentSize().toSize();
        check(label, picture.width() <= room.width() && picture.height() <= room.height());
      } else if (!label->text().isEmpty()) {
        const int indent = std::max(label->indent(), 0);
        const QRect needed =
            label->wordWrap()
                ? metrics.boundingRect(
                      room, static_cast<int>(Qt::TextWordWrap | label->alignment()), label->text())
                : metrics.tightBoundingRect(label->text());
        const int width =
            label->wordWrap() ? needed.width() : metrics.horizontalAdvance(label->text().trimmed());
        check(label, width + indent <= room.width() && needed.height() <= room.height());
      }
    } else if (const auto* button = qobject_cast<const QAbstractButton*>(control)) {
      if (button->text().isEmpty()) continue;
      QString text = button->text();
      text.remove(QLatin1Char('&'));
      int needed = metrics.horizontalAdvance(text);
      if (!button->icon().isNull()) needed += button->iconSize().width();
      if (qobject_cast<const QCheckBox*>(button) != nullptr) {
        needed += button->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, button) +
                  button->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, button);
      }
      check(button, needed <= button->width() && metrics.ascent() <= button->height());
    }
  }
  return found;
}

}  // namespace pelmora::testing
