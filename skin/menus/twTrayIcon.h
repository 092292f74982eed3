#pragma once
// The tray icon: TtwTrayIcon puts a picture into the desktop's notification
// area, turns the mouse on it into click, double-click and menu events,
// opens a skinned popup menu there, cycles through an image list, and holds
// the application's windows while they are minimised to the tray. The
// notification area is reached through TtwTrayBackend, so tests use a fake.
//
// Icon states (SetState is the one place that changes them):
//   Hidden --show icon--> Shown --hide icon--> Hidden
//   Hidden, Shown --HideMainWindow, when a tray exists--> HoldingMainWindow
//   HoldingMainWindow --ShowMainWindow, or the tray going away--> Shown
//   HoldingMainWindow --hide icon--> Hidden, the windows shown first
// Windows are held only while the icon is up and a tray exists, so a window
// is never hidden with no way back.
#include <QIcon>
#include <QList>
#include <QPoint>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QWidget>
#include <functional>

#include "platform/Clock.h"

class TImageList;
class TtwSkinMenu;
class TtwSkinPopupMenu;

// Longest tooltip the tray takes, in characters.
inline constexpr int kTrayTipMaxChars = 127;
// How often the platform backend looks, while its icon is up, whether the
// tray came or went: the platform announces neither (a restarted tray must
// get the icon back, a vanished one must give held windows back).
inline constexpr int kTrayHostPollMs = 1000;

// The hint cut to at most maxChars characters, never inside one: a
// character is what the user sees as one (a surrogate pair, a base letter
// with its combining marks).
QString TwTrayTip(const QString& hint, int maxChars = kTrayTipMaxChars);

// One mouse message from the tray, in global coordinates.
struct TtwTrayMouseEvent {
  enum TKind { Move, Down, Up, DoubleClick };
  TKind Kind = Move;
  Qt::MouseButton Button = Qt::NoButton;
  Qt::KeyboardModifiers Shift;
  QPoint Pos;
};

// What the tray icon needs of the desktop's notification area.
class TtwTrayBackend : public QObject {
  Q_OBJECT
 public:
  using QObject::QObject;
  // Whether the desktop has a notification area now.
  virtual bool Available() const = 0;
  // Puts the icon into the area (again); an empty tip shows none.
  virtual void Add(const QIcon& icon, const QString& tip) = 0;
  virtual void Modify(const QIcon& icon, const QString& tip) = 0;
  virtual void Delete() = 0;
  virtual void ShowBalloon(const QString& title, const QString& text, QSystemTrayIcon::MessageIcon icon,
                           int ms) = 0;

 signals:
  void Mouse(const TtwTrayMouseEvent& e);
  void BalloonClicked();
  // The area's host started (true) or went away (false).
  void HostChanged(bool available);
};

// The platform's notification area through QSystemTrayIcon. Where Qt's own
// tray window is reachable (the X11 embedding tray) its mouse events give
// every message; elsewhere (a D-Bus tray, other platforms) Qt reports only
// activations, which become a press and a release at the cursor: no moves,
// and no press held past the double-click time.
class TtwQtTrayBackend : public TtwTrayBackend {
  Q_OBJECT
 public:
  explicit TtwQtTrayBackend(QObject* parent = nullptr);
  ~TtwQtTrayBackend() override;
  bool Available() const override;
  void Add(const QIcon& icon, const QString& tip) override;
  void Modify(const QIcon& icon, const QString& tip) override;
  void Delete() override;
  void ShowBalloon(const QString& title, const QString& text, QSystemTrayIcon::MessageIcon icon, int ms) override;
  // Whether whole mouse messages reach us (Qt's tray window was found).
  bool RawMouse() const { return raw_ != nullptr; }
  // Where the icon stands on the screen; empty when it is not shown.
  QRect Geometry() const { return tray_->geometry(); }

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void Activated(QSystemTrayIcon::ActivationReason reason);
  void FindTrayWindow(const QList<QWidget*>& before);
  void PollHost();

  QSystemTrayIcon* tray_;
  QPointer<QWidget> raw_;
  TwTimer poll_;
  bool available_ = false;
};

enum class TtwTrayState { Hidden, Shown, HoldingMainWindow };

class TtwTrayIcon : public QObject {
  Q_OBJECT
 public:
  // owner: when a widget, its window is the one minimising sends to the tray
  // and MinimizedOnStart starts hidden. backend: taken over; null for the
  // platform's.
  explicit TtwTrayIcon(QObject* owner = nullptr, TtwTrayBackend* backend = nullptr);
  ~TtwTrayIcon() override;

  // ---- properties ----
  // The picture shown; a null icon shows the application's (or a plain one).
  QIcon Icon() const { return icon_; }
  void SetIcon(const QIcon& icon);
  bool IconVisible() const { return state_ != TtwTrayState::Hidden; }
  void SetIconVisible(bool on);
  TImageList* IconList() const { return iconList_; }
  void SetIconList(TImageList* list);
  int IconIndex() const { return iconIndex_; }
  // Clamped into the list (its picture becomes the icon); 0 without pictures.
  void SetIconIndex(int index);
  bool CycleIcons() const { return cycle_; }
  void SetCycleIcons(bool on);
  int AnimateTimerInterval() const { return interval_; }
  // 0 stops the cycling until an interval is set.
  void SetAnimateTimerInterval(int ms);
  QString Hint() const { return hint_; }
  void SetHint(const QString& hint);
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool on);
  TtwSkinPopupMenu* PopupMenu() const;
  void SetPopupMenu(TtwSkinPopupMenu* menu);
  bool Enabled = true;  // mouse messages are handled
  bool PopupByLeftButton = false;
  bool MinimizedOnStart = false;
  bool MinimizeToTray = true;  // minimising the owner's window goes to the tray

  std::function<void()> OnClick, OnDblClick, OnBalloonHintClick;
  std::function<void(Qt::MouseButton, Qt::KeyboardModifiers, int X, int Y)> OnMouseDown, OnMouseUp;
  std::function<void(Qt::KeyboardModifiers, int X, int Y)> OnMouseMove;
  std::function<void(int NextIndex)> OnCycle;

  // ---- state ----
  TtwTrayState State() const { return state_; }
  // Entering HoldingMainWindow hides `windows`; leaving it shows the held
  // ones and `windows`. With no tray, holding is refused and the windows
  // minimise the ordinary way instead.
  void SetState(TtwTrayState state, const QList<QWidget*>& windows = {});
  // Minimise to the tray: hides the windows and shows the icon. False when
  // there is no tray (the windows were minimised instead).
  bool HideMainWindow(const QList<QWidget*>& windows);
  // Shows the held windows and `windows`, restored, the first in front.
  void ShowMainWindow(const QList<QWidget*>& windows = {});
  QList<QWidget*> HeldWindows() const;
  // Closes w (its close query may refuse; false then). A held window closes
  // hidden, and Qt quits on the last window closed only when a visible one
  // closes: when nothing is left on the screen or in the tray, the program
  // quits here, as it would have for a visible window.
  bool CloseWindow(QWidget* w);

  // After the properties are set (the window description read): applies
  // MinimizedOnStart and shows or hides the icon.
  void Loaded();
  // Sends the icon and tip to the tray when the icon is up.
  void Refresh();
  // The picture the tray shows and the tip it shows (empty for none).
  QIcon EffectiveIcon() const;
  QString TipText() const;
  void ShowBalloonHint(const QString& title, const QString& text,
                       QSystemTrayIcon::MessageIcon icon = QSystemTrayIcon::Information, int ms = 10000);
  // Opens the skinned popup menu at global point g.
  void PopupAt(const QPoint& g);
  TtwTrayBackend* Backend() const { return backend_; }

 signals:
  void StateChanged(TtwTrayState state);

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void HandleMouse(const TtwTrayMouseEvent& e);
  void ClickTimeout();
  void CycleTick();
  void UpdateCycleTimer();
  void HostChanged(bool available);
  void ShowWindows(const QList<QWidget*>& windows);

  TtwTrayBackend* backend_;
  TtwTrayState state_ = TtwTrayState::Hidden;
  bool added_ = false;  // the backend holds the icon
  QIcon icon_;
  QPointer<TImageList> iconList_;
  int iconIndex_ = 0;
  bool cycle_ = false;
  int interval_ = 0;
  QString hint_;
  bool showHint_ = true;
  QPointer<TtwSkinPopupMenu> popupMenu_;
  TtwSkinMenu* ownMenu_ = nullptr;  // for a menu that finds no skinned form
  QPointer<QWidget> ownerWindow_;
  QList<QPointer<QWidget>> held_;
  TwTimer clickTimer_, cycleTimer_;
  bool clickStarted_ = false, clickReady_ = false, doubleClicked_ = false;
};
