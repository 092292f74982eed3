// The menu controller of a skinned form and the popup menu over QActions.
// The controller owns the open levels; it alone opens and closes them, so a
// level never outlives the menu state it belongs to.
#include "skin/menus/twSkinMenus.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QTimer>
#include <QTimerEvent>

#include "platform/Message.h"
#include "skin/data/twSkinData.h"
#include "skin/draw/twUtils.h"

namespace {
// Movement past which a button release with no press in the menu still
// chooses an entry (the press that opened the menu ends as a release).
constexpr int kReleaseSlop = 2;
// Closed level windows kept for the next opening (one per usual depth).
constexpr size_t kMaxSpareLevels = 3;
}  // namespace

TtwSkinMenu::TtwSkinMenu(QWidget* form, QObject* owner) : QObject(owner ? owner : form) { SetForm(form); }

TtwSkinMenu::~TtwSkinMenu() {
  closing_ = true;
  // deleteLater: a level's handler may be what is destroying this menu.
  for (auto* list : {&levels_, &retiring_, &spare_}) {
    for (auto* w : *list) {
      w->Retire();
      w->deleteLater();
    }
    list->clear();
  }
  if (form_) form_->removeEventFilter(this);
}

void TtwSkinMenu::SetForm(QWidget* form) {
  if (form_) form_->removeEventFilter(this);
  form_ = form;
  if (form_) form_->installEventFilter(this);
}

TtwSkinPopupWindow* TtwSkinMenu::Level(int i) const {
  return i >= 0 && i < LevelCount() ? levels_[size_t(i)] : nullptr;
}

void TtwSkinMenu::PopupMenuItems(QWidget* opener, TtwSkinData* data, bool upward, QMenu* items, const TRect& anchor,
                                 int first) {
  Open(opener, data, upward, items, nullptr, anchor, first);
}

void TtwSkinMenu::PopupMergedItems(QWidget* opener, TtwSkinData* data, bool upward, QMenu* items, QMenu* second,
                                   const TRect& anchor, int first) {
  Open(opener, data, upward, items, second, anchor, first);
}

void TtwSkinMenu::Open(QWidget* opener, TtwSkinData* data, bool upward, QMenu* items, QMenu* second,
                       const TRect& anchor, int first) {
  if (visible_) CloseMenu();
  CloseLevels(0);
  workArea_ = workAreaOverride_.IsEmpty() ? GetMonitorArea(form_, true) : workAreaOverride_;
  data_ = data;
  if (!items) return;
  QList<QAction*> actions = items->actions();
  if (first < 0 || first >= actions.size()) return;
  actions = actions.mid(first);
  if (second) actions = second->actions() + actions;
  first_ = true;
  visible_ = true;
  opener_ = opener;
  pressSeen_ = false;
  openCursor_ = CursorPos ? CursorPos() : QCursor::pos();
  emit MenuOpened();
  OpenLevel(items, actions, anchor, false, upward, second != nullptr);
  first_ = false;
  // Nothing to show: close again at once, so neither the opener nor the
  // form is left believing a menu is open.
  if (visible_ && levels_.empty()) CloseMenu();
}

void TtwSkinMenu::OpenLevel(QMenu* owner, const QList<QAction*>& actions, const TRect& anchor, bool subMenu,
                            bool upward, bool merged) {
  const int level = LevelCount();
  if (owner) {
    // Lets the menu's owner update its entries; it may close this menu.
    QPointer<QMenu> guard = owner;
    emit owner->aboutToShow();
    if (!guard || !visible_ || LevelCount() != level) return;
  }
  TtwSkinPopupWindow* w = nullptr;
  if (!spare_.empty()) {
    w = spare_.back();
    spare_.pop_back();
  } else {
    w = new TtwSkinPopupWindow(this);
  }
  w->Open(level, data_, owner, actions, merged);
  if (w->Count() == 0) {
    w->Retire();
    Recycle(w);
    return;
  }
  levels_.push_back(w);
  w->PlaceAt(anchor, workArea_, subMenu, upward);
  w->ShowLevel(AlphaBlend && AlphaBlendAnimation && level == 0 && first_, AlphaBlendValue);
}

void TtwSkinMenu::CloseLevels(int level) {
  level = std::max(0, level);
  while (LevelCount() > level) {
    TtwSkinPopupWindow* w = levels_.back();
    levels_.pop_back();
    if (waitWindow_ == w) StopWaiting();
    QPointer<QMenu> owner = w->OwnerMenu();
    w->Retire();
    Recycle(w);
    if (owner) emit owner->aboutToHide();
  }
  if (level > 0 || !visible_) return;
  visible_ = false;
  StopWaiting();
  notify_ = opener_;
  QPointer<QWidget> opener = opener_;
  opener_ = nullptr;
  if (opener) SendMessage(opener, SKIN_MSG_MENU_CLOSED);
  auto callback = std::move(onClose_);
  onClose_ = nullptr;
  if (callback) callback();
  emit MenuClosed();
}

void TtwSkinMenu::Recycle(TtwSkinPopupWindow* w) {
  retiring_.push_back(w);
  if (spareQueued_) return;
  spareQueued_ = true;
  QMetaObject::invokeMethod(
      this,
      [this] {
        spareQueued_ = false;
        for (auto* r : retiring_) {
          if (spare_.size() < kMaxSpareLevels) spare_.push_back(r);
          else delete r;
        }
        retiring_.clear();
      },
      Qt::QueuedConnection);
}

void TtwSkinMenu::CloseMenu() {
  CloseLevels(0);
  StopWaiting();
  if (form_) SendMessage(form_, SKIN_MSG_MENU_CLOSED);
}

void TtwSkinMenu::StopWaiting() {
  waitTimer_.stop();
  waitWindow_ = nullptr;
  waitEntry_ = -1;
}

void TtwSkinMenu::RunItem(TtwSkinPopupWindow* w, int entry, bool keyboard, bool click) {
  if (!w || entry < 0 || entry >= w->Count()) return;
  const auto& e = w->At(entry);
  QAction* a = e.Action;
  QMenu* sub = a ? a->menu() : nullptr;
  if (!sub) {
    StopWaiting();
    if (!click) {
      CloseLevels(w->Level() + 1);
      return;
    }
    // Every menu of the chain announces the choice, as a QMenu would.
    QList<QPointer<QMenu>> owners;
    for (int i = w->Level(); i >= 0; --i) owners.append(Level(i)->OwnerMenu());
    CloseMenu();
    QPointer<QAction> action = a;
    QPointer<QWidget> target = notify_;
    notify_ = nullptr;
    // Runs once this handler has returned and the levels are gone.
    QTimer::singleShot(0, qApp, [action, owners, target] {
      if (action) {
        action->trigger();
        for (const auto& m : owners)
          if (m && action) emit m->triggered(action);
      }
      if (target) SendMessage(target, SKIN_MSG_MENU_DONE);
    });
    return;
  }
  if (!click) {
    if (keyboard) return;
    CloseLevels(w->Level() + 1);
    waitWindow_ = w;
    waitEntry_ = entry;
    waitTimer_.start(kMenuWaitMs, this);
    return;
  }
  QPointer<QAction> action = a;
  QTimer::singleShot(0, qApp, [action] {
    if (action) action->trigger();
  });
  StopWaiting();
  CloseLevels(w->Level() + 1);
  const TRect r = e.Rect;
  const QPoint o = w->pos();
  w->SetDown(entry, true);
  OpenLevel(sub, sub->actions(), TRect{r.Left + o.x(), r.Top + o.y(), r.Right + o.x(), r.Bottom + o.y()}, true,
            false, false);
  if (LevelCount() <= w->Level() + 1 && !w->Retired()) w->SetDown(entry, false);
}

void TtwSkinMenu::timerEvent(QTimerEvent* e) {
  if (e->timerId() != waitTimer_.timerId()) return QObject::timerEvent(e);
  TtwSkinPopupWindow* w = waitWindow_;
  const int entry = waitEntry_;
  StopWaiting();
  if (std::find(levels_.begin(), levels_.end(), w) != levels_.end()) RunItem(w, entry, false, true);
}

bool TtwSkinMenu::KeyDown(int key, const QString& text) {
  TtwSkinPopupWindow* w = LastLevel();
  return visible_ && w && w->KeyDown(key, text);
}

TtwSkinPopupWindow* TtwSkinMenu::LevelAt(const QPoint& g) const {
  for (int i = LevelCount() - 1; i >= 0; --i) {
    TtwSkinPopupWindow* w = levels_[size_t(i)];
    if (w->Retired() || !w->isVisible() || !w->geometry().contains(g)) continue;
    const QPoint local = g - w->pos();
    if (!w->mask().isEmpty() && !w->mask().contains(local)) continue;
    return w;
  }
  return nullptr;
}

void TtwSkinMenu::RouteMouse(const QPoint& g) {
  TtwSkinPopupWindow* under = LevelAt(g);
  const std::vector<TtwSkinPopupWindow*> levels = levels_;
  for (TtwSkinPopupWindow* w : levels) {
    // An earlier level may have closed this one.
    if (std::find(levels_.begin(), levels_.end(), w) == levels_.end()) continue;
    w->MouseAt(g, w == under);
  }
}

void TtwSkinMenu::NotePress(const QPoint& g) {
  if (LevelAt(g)) pressSeen_ = true;
}

bool TtwSkinMenu::ReleaseCounts(const QPoint& g) const {
  return pressSeen_ || (g - openCursor_).manhattanLength() > kReleaseSlop;
}

void TtwSkinMenu::LevelClosedByPlatform(TtwSkinPopupWindow*) {
  if (!closing_ && visible_) CloseMenu();
}

bool TtwSkinMenu::eventFilter(QObject* watched, QEvent* e) {
  if (watched != form_ || !visible_) return QObject::eventFilter(watched, e);
  switch (e->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Hide:
    case QEvent::MouseButtonPress:
    case QEvent::NonClientAreaMouseButtonPress:
      CloseMenu();
      break;
    case QEvent::WindowDeactivate: {
      // Our own levels never take the activation; anything else does.
      auto* popup = qobject_cast<TtwSkinPopupWindow*>(QApplication::activePopupWidget());
      if (!popup) CloseMenu();
      break;
    }
    default:
      break;
  }
  return QObject::eventFilter(watched, e);
}

// ---- TtwSkinPopupMenu --------------------------------------------------------

TtwSkinPopupMenu::TtwSkinPopupMenu(QWidget* parent) : QMenu(parent) {}

TtwSkinMenu* TtwSkinPopupMenu::FindSkinMenu() const {
  if (skinMenu_) return skinMenu_;
  if (form_) return form_->findChild<TtwSkinMenu*>();
  for (QObject* o = parent(); o; o = o->parent()) {
    if (auto* w = qobject_cast<QWidget*>(o); w && w->isWindow()) return w->findChild<TtwSkinMenu*>();
  }
  return nullptr;
}

void TtwSkinPopupMenu::Popup(int X, int Y) {
  lastPoint_ = QPoint(X, Y);
  Open(nullptr, TRect{X, Y, X, Y}, false, false);
}

void TtwSkinPopupMenu::PopupAtControl(QWidget* control, const TRect& rect, bool upward) {
  Open(control, rect, upward, false);
}

void TtwSkinPopupMenu::PopupForControl(QWidget* control, int X, int Y) {
  lastPoint_ = QPoint(X, Y);
  Open(control, TRect{X, Y, X, Y}, false, true);
}

void TtwSkinPopupMenu::Open(QWidget* opener, const TRect& anchor, bool upward, bool needSkin) {
  TtwSkinMenu* m = FindSkinMenu();
  if (!m) return;
  TtwSkinData* data = skinData_ ? skinData_.data() : m->DefaultSkinData.data();
  if (needSkin && !data) return;
  m->PopupMenuItems(opener, data, upward, this, anchor, 0);
  if (m->Visible()) m->SetCloseCallback(OnMenuClose);
}
