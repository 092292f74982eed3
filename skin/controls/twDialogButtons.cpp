// A window's default and cancel buttons: Enter and Escape reach them only
// while the key is not taken by a focused button, and a destroyed button
// simply drops out of the list.
#include "skin/controls/twDialogButtons.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

#include "skin/controls/twSkinButtons.h"

namespace {
const char kListName[] = "twDialogButtons";
}

TtwDialogButtons* TtwDialogButtons::Of(QWidget* window) {
  if (!window) return nullptr;
  if (auto* list = window->findChild<TtwDialogButtons*>(QLatin1String(kListName), Qt::FindDirectChildrenOnly))
    return list;
  return new TtwDialogButtons(window);
}

TtwDialogButtons::TtwDialogButtons(QWidget* window) : QObject(window), window_(window) {
  setObjectName(QLatin1String(kListName));
  window->installEventFilter(this);
  // The focus is the window's own business, but Qt tells only the
  // application; changes in other windows are ignored.
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
    if (now && now->window() == window_) FocusChanged(now);
  });
}

void TtwDialogButtons::Register(TtwSkinButton* b) {
  if (!b || buttons_.contains(b)) return;
  buttons_.append(b);
  Refresh();
}

void TtwDialogButtons::Unregister(TtwSkinButton* b) { buttons_.removeAll(b); }

void TtwDialogButtons::Refresh() {
  QWidget* f = QApplication::focusWidget();
  FocusChanged(f && f->window() == window_ ? f : nullptr);
}

void TtwDialogButtons::FocusChanged(QWidget* now) {
  buttons_.removeAll(nullptr);
  auto* nowButton = qobject_cast<TtwSkinButton*>(now);
  for (const QPointer<TtwSkinButton>& b : buttons_) {
    if (!b->Default()) continue;
    // A focused button takes Enter itself; anything else leaves it to the
    // default button, which then looks hot.
    const bool target = !nowButton || nowButton == b;
    b->SetFocusState(target, now && !nowButton);
  }
}

bool TtwDialogButtons::eventFilter(QObject* watched, QEvent* e) {
  if (watched != window_ || e->type() != QEvent::KeyPress) return QObject::eventFilter(watched, e);
  auto* k = static_cast<QKeyEvent*>(e);
  const bool enter = k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter;
  const bool escape = k->key() == Qt::Key_Escape &&
                      (k->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) == 0;
  if (!enter && !escape) return false;
  buttons_.removeAll(nullptr);
  for (const QPointer<TtwSkinButton>& b : QList<QPointer<TtwSkinButton>>(buttons_)) {
    if (!b || !b->isEnabled() || !b->isVisibleTo(window_)) continue;
    // A key that reached the window was not taken by a focused button.
    if (enter && b->Default()) {
      QWidget* f = QApplication::focusWidget();
      if (f && qobject_cast<TtwSkinButton*>(f) && f != b) continue;
      b->ButtonClick();
      return true;
    }
    if (escape && b->Cancel() && b->CanFocused()) {
      b->ButtonClick();
      return true;
    }
  }
  return false;
}
