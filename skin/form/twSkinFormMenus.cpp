// The skinned frame's menus: the system menu built from its table, and the
// menus attached to caption buttons. Both open in the frame's one skinned
// menu controller and let their button up when they close.
#include "skin/form/twSkinForm.h"

#include <QTimer>

#include "platform/Application.h"
#include "platform/Form.h"
#include "skin/data/twSkinData.h"

void TtwSkinForm::OpenSystemMenu() {
  TtwSkinStdButtonObject* b = ButtonOfCommand(TtwFrameCommand::SystemMenu);
  QPoint at;
  if (b && b->Visible && b->Enabled && !b->ObjectRect.IsEmpty())
    at = QPoint(b->ObjectRect.Left, b->ObjectRect.Bottom);
  else
    at = QPoint(margins_.left(), margins_.top());
  OpenSystemMenuAt(form_->mapToGlobal(at));
}

void TtwSkinForm::OpenSystemMenuAt(QPoint global) {
  if (DisableSystemMenu) return;
  skinMenu_->CloseMenu();
  delete sysMenuItems_;
  // The entries live in a plain menu that is never shown: the skinned
  // controller draws them.
  auto* menu = new QMenu(form_);
  menu->setObjectName(QStringLiteral("TwSystemMenu"));
  sysMenuItems_ = menu;
  TtwSkinData* data = MenuSkinData();
  TtwSystemMenuInput in;
  in.State = ws_;
  in.Icons = borderIcons_;
  in.HasSystemMenu = SystemMenu != nullptr;
  in.UseDefaultSysMenu = UseDefaultSysMenu;
  for (const TtwSystemMenuEntry& e : SystemMenuEntries(in)) {
    if (e.IsSeparator()) {
      menu->addSeparator();
      continue;
    }
    TtwResourceStrData* rs = data ? data->ResourceStrData() : nullptr;
    QString caption = rs ? rs->GetResStr(QString::fromLatin1(e.Key)) : QString();
    if (caption.isEmpty()) caption = QString::fromLatin1(e.BuiltIn);
    QAction* a = menu->addAction(caption);
    a->setObjectName(QString::fromLatin1(e.Name));
    if (*e.Shortcut) a->setShortcut(QKeySequence(QString::fromLatin1(e.Shortcut)));
    // The controller runs an entry after the menu has closed.
    connect(a, &QAction::triggered, this, [this, c = e.Command] { Guarded([&] { RunCommand(c); }); });
  }
  if (SystemMenu) {
    if (!menu->actions().isEmpty()) menu->addSeparator();
    for (QAction* a : SystemMenu->actions()) menu->addAction(a);
  }
  PushMenuSettings();
  skinMenu_->SetCloseCallback([this] {
    if (TtwSkinStdButtonObject* b = ButtonOfCommand(TtwFrameCommand::SystemMenu)) b->SetDown(false);
    pressed_ = -1;
    if (OnSkinMenuClose) OnSkinMenuClose();
  });
  if (OnSkinMenuOpen) OnSkinMenuOpen();
  skinMenu_->PopupMenuItems(form_, data, false, menu, TRect{global.x(), global.y(), global.x(), global.y()});
}

void TtwSkinForm::SetObjectMenu(const QString& name, QMenu* menu, bool upward) {
  objectMenus_[name] = ObjectMenu{menu, upward};
  if (auto* b = dynamic_cast<TtwSkinButtonObject*>(FindObject(name))) {
    b->Menu = menu;
    b->MenuUpward = upward;
  }
}

void TtwSkinForm::PostObjectMenu(const QString& name) {
  QTimer::singleShot(0, this, [this, name] { Guarded([&] { OpenObjectMenu(name); }); });
}

// The objects may be rebuilt while the menu is open: the button is found by
// its name again when the menu closes.
void TtwSkinForm::OpenObjectMenu(const QString& name) {
  auto* b = dynamic_cast<TtwSkinButtonObject*>(FindObject(name));
  if (!b || !b->Menu) return;
  ClearHover();
  const QPoint topLeft = form_->mapToGlobal(QPoint(b->ObjectRect.Left, b->ObjectRect.Top));
  const TRect anchor{topLeft.x(), topLeft.y(), topLeft.x() + b->ObjectRect.Width(),
                     topLeft.y() + b->ObjectRect.Height()};
  PushMenuSettings();
  if (OnSkinMenuOpen) OnSkinMenuOpen();
  skinMenu_->PopupMenuItems(form_, MenuSkinData(), b->MenuUpward, b->Menu, anchor);
  skinMenu_->SetCloseCallback([this, name] {
    if (TtwActiveSkinObject* o = FindObject(name)) o->SetDown(false);
    pressed_ = -1;
    if (OnSkinMenuClose) OnSkinMenuClose();
  });
}
