#pragma once
// The component that takes over a form's frame: the window loses the window
// manager's border and caption and gets the skin's instead (shaped outline,
// caption band, caption buttons and text), with moving, sizing, maximise,
// minimise, roll-up and the system menu handled here. The form's controls
// keep client coordinates: the frame widths become the form's contents
// margins. The code is split by concern: twSkinForm.cpp (life, settings,
// timers), twSkinFormSkin.cpp (skin, geometry, hit test), twSkinFormPaint.cpp,
// twSkinFormObjects.cpp (the objects' host), twSkinFormMenus.cpp,
// twSkinFormInput.cpp (events, mouse) and twSkinFormStates.cpp (window states).
#include <QColor>
#include <QFont>
#include <QImage>
#include <QMenu>
#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <QRegion>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "platform/Clock.h"
#include "skin/data/twSkinData.h"
#include "skin/form/twFrameGeometry.h"
#include "skin/form/twFrameMover.h"
#include "skin/form/twFramePainter.h"
#include "skin/form/twSystemMenu.h"
#include "skin/form/twWindowState.h"
#include "skin/form/twSkinObjects.h"
#include "skin/menus/twSkinHint.h"
#include "skin/menus/twSkinMenus.h"
#include "skin/menus/twTrayIcon.h"

class TForm;
struct TMessage;
class TtwSkinData;
class TtwSkinStatusBar;
class TtwLayerManager;
class QMenu;
class QPainter;
class QShortcut;
class QScreen;
class QMouseEvent;

enum TtwPositionInMonitor { twpDefault, twpScreenCenter, twpDesktopCenter };
enum TtwClientInActiveEffectType { twieSemiTransparent, twieBlur };

// Private messages a frame answers for other components and processes.
inline constexpr uint32_t TW_MSG_QUERY_SKINNED = 45490;
inline constexpr uint32_t TW_MSG_PAINT_FRAME = 45513;
inline constexpr uint32_t TW_MSG_PAINT_FRAME_EX = 48203;
inline constexpr intptr_t kPaintFrameExKey = 16802;

class TtwSkinForm;

// A setting whose assignment the frame hears of: callers write it like a
// plain field, and a change at run time takes effect at once.
template <class T>
class TtwFrameSetting {
 public:
  using Changed = void (TtwSkinForm::*)();
  TtwFrameSetting(TtwSkinForm* frame, Changed changed, T value) : frame_(frame), changed_(changed), value_(value) {}
  TtwFrameSetting(const TtwFrameSetting&) = delete;
  TtwFrameSetting& operator=(const TtwFrameSetting& o) { return *this = o.value_; }
  TtwFrameSetting& operator=(const T& v) {
    if (value_ == v) return *this;
    value_ = v;
    (frame_->*changed_)();
    return *this;
  }
  operator const T&() const { return value_; }
  const T& Value() const { return value_; }

 private:
  TtwSkinForm* frame_;
  Changed changed_;
  T value_;
};

class TtwSkinForm : public QObject, public TtwCaptionObjectHost {
  Q_OBJECT
 public:
  // owner must be a form; anything else raises EError. The form becomes
  // frameless and gets the skinless frame until a skin is applied.
  explicit TtwSkinForm(QObject* owner);
  ~TtwSkinForm() override;

  TForm* Form() const { return form_; }

  // ---- published settings ----
  TtwSkinData* SkinData() const { return skinData_; }
  // Applies a skin that is already loaded at once.
  void SetSkinData(TtwSkinData* data);
  TtwFrameSetting<TtwSkinData*> MenusSkinData{this, &TtwSkinForm::PushMenuSettings, nullptr};
  TtwBorderIcons BorderIcons() const { return borderIcons_; }
  void SetBorderIcons(TtwBorderIcons icons);
  TtwFrameSetting<bool> HideCaptionButtons{this, &TtwSkinForm::ObjectSettingsChanged, false};
  TtwFrameSetting<bool> ShowIcon{this, &TtwSkinForm::ObjectSettingsChanged, false};
  TtwFrameSetting<bool> DisableSystemMenu{this, &TtwSkinForm::ObjectSettingsChanged, false};
  bool AlwaysResize = false;
  TtwPositionInMonitor PositionInMonitor = twpDefault;
  bool MaximizeOnFullScreen = false;
  int MinWidth = 0, MinHeight = 0, MaxWidth = 0, MaxHeight = 0;
  int ClientWidth = 0, ClientHeight = 0;
  bool Magnetic = false;
  uint8_t MagneticSize = 5;
  TtwFrameSetting<bool> AlphaBlend{this, &TtwSkinForm::ApplyOpacity, false};
  bool AlphaBlendAnimation = false;
  TtwFrameSetting<uint8_t> AlphaBlendValue{this, &TtwSkinForm::ApplyOpacity, 200};
  bool ClientInActiveEffect = false;
  TtwClientInActiveEffectType ClientInActiveEffectType = twieSemiTransparent;
  QPixmap LogoBitMap;
  bool LogoBitMapTransparent = false;
  bool UseFormCursorInNCArea = false;
  TtwSkinStatusBar* StatusBar = nullptr;
  // Minimising to the tray needs one. Assigning hides its icon (unless
  // AlwaysShowInTray) and gives it the restore / close menu when it has none.
  TtwFrameSetting<QPointer<TtwTrayIcon>> TrayIcon{this, &TtwSkinForm::TrayIconChanged, nullptr};
  bool AlwaysShowInTray = false, AlwaysMinimizeToTray = false;
  // The timed hint shown over caption objects (with ShowObjectHint).
  QPointer<TtwSkinHint> SkinHint;
  bool ShowObjectHint = false, UseDefaultObjectHint = true;
  QMenu* SystemMenu = nullptr;
  bool UseDefaultSysMenu = true;
  QFont DefCaptionFont;
  QColor DefCaptionFontColor;
  QFont DefInActiveCaptionFont;
  QColor DefInActiveCaptionFontColor;
  // The menu settings go to the frame's menu controller as they change, so
  // every skinned popup menu of the form draws with them.
  TtwFrameSetting<bool> UseSkinFontInMenu{this, &TtwSkinForm::PushMenuSettings, true};
  TtwFrameSetting<int> DefMenuItemHeight{this, &TtwSkinForm::PushMenuSettings, 20};
  TtwFrameSetting<QFont> DefMenuItemFont{this, &TtwSkinForm::PushMenuSettings, QFont()};
  TtwFrameSetting<int> MaxMenuItemsInWindow{this, &TtwSkinForm::PushMenuSettings, 0};
  TtwFrameSetting<bool> MenusAlphaBlend{this, &TtwSkinForm::PushMenuSettings, false};
  TtwFrameSetting<bool> MenusAlphaBlendAnimation{this, &TtwSkinForm::PushMenuSettings, false};
  TtwFrameSetting<uint8_t> MenusAlphaBlendValue{this, &TtwSkinForm::PushMenuSettings, 200};

  // ---- events ----
  std::function<void(QPainter&, const TRect&, bool)> OnCaptionPaint;
  std::function<void(const QString&, QPainter&, const TRect&)> OnPaintEvent;
  std::function<void(const QString&)> OnMouseEnterEvent, OnMouseLeaveEvent;
  std::function<void(const QString&, int, int, const TRect&, Qt::MouseButton)> OnMouseDownEvent,
      OnMouseUpEvent;
  std::function<void(const QString&, int, int, const TRect&)> OnMouseMoveEvent;
  std::function<void(const QString&, bool&)> OnActivateCustomObject;
  std::function<void()> OnChangeSkinData, OnBeforeChangeSkinData, OnAfterChangeSkinData, OnActivate,
      OnDeActivate, OnSkinMenuOpen, OnSkinMenuClose, OnChangeRollUpState, OnMinimizeToTray,
      OnRestoreFromTray, OnMinimize, OnRestore, OnMaximize;

  // ---- state ----
  bool Skinnable() const { return skinnable_; }
  bool SkinPresent() const { return skinPresent_; }
  TtwFrameState FrameState() const { return ws_.Frame; }
  bool RolledUp() const { return ws_.RolledUp; }
  const TtwWindowState& WindowState() const override { return ws_; }
  // Whether the skin's frame surrounds the client (a skinnable form whose
  // border style is not none).
  bool Framed() const;
  QRect NormalBounds() const { return normalBounds_; }
  bool Sizeable() const;
  bool WindowActive() const override;
  int CaptionHeight() const;  // the skinless look's
  int MinimumWidth() const;
  int MinimumHeight() const;
  QSize MaximumSize() const;
  const TtwFrameGeometry& Geometry() const { return geo_; }
  const TtwFrameInfo& Info() const override { return info_; }
  QRegion WindowRegion() const { return region_; }
  QMargins Margins() const;

  const std::vector<std::unique_ptr<TtwActiveSkinObject>>& Objects() const { return objects_; }
  int HotObject() const { return hot_; }
  int PressedObject() const { return pressed_; }
  TtwActiveSkinObject* FindObject(const QString& name) const;
  TtwSkinStdButtonObject* ButtonOfCommand(TtwFrameCommand command) const;

  // The hit-test code at p (window coordinates).
  int HitTest(QPoint p) const;
  // Everything the hit test reads, as it stands now.
  TtwHitTestInput HitInput() const;
  // The frame's text: the form's caption.
  QString CaptionText() const override;

  // ---- window states ----
  void SetFrameState(TtwFrameState s);
  void Minimize();
  void Maximize();
  void Restore();
  void SetRolledUp(bool on);
  // Does everything a change of state implies: size limits, outer
  // geometry, bands, caption objects, the status bar's grip and the events.
  void ApplyWindowState(const TtwWindowState& to);
  void MinimizeToTray();
  void RestoreFromTray();

  // The system menu: below the system-menu button, or at a screen point.
  // It opens in the frame's skinned menu controller; the entries are the
  // actions of SystemMenuItems().
  void OpenSystemMenu();
  void OpenSystemMenuAt(QPoint global);
  bool SystemMenuOpen() const { return skinMenu_ && skinMenu_->Visible(); }
  QMenu* SystemMenuItems() const { return sysMenuItems_; }
  // The menu the frame gave its tray icon (null when the icon had its own).
  TtwSkinPopupMenu* TrayMenu() const { return trayMenu_; }
  TtwSkinMenu* SkinMenu() const { return skinMenu_; }

  // Paints the whole frame (bands and objects) into p, window coordinates.
  void PaintFrame(QPainter& p);
  // The four band images of the current size and look (for tests and tools).
  void ComposeBands(QImage& top, QImage& bottom, QImage& left, QImage& right, bool active);
  // Rebuilds geometry, layout, region and bands for the current size.
  void Rebuild();

  // The glow layer of caption buttons, and the cover of an inactive client
  // area (null until first needed).
  TtwLayerManager* GlowLayer() const { return glow_.get(); }
  QWidget* InactiveCover() const { return inactiveCover_; }

  void RunCommand(TtwFrameCommand command);

  // ---- the caption objects' host ----
  void RepaintObject(TtwActiveSkinObject* o) override;
  void PostCommand(TtwFrameCommand command) override;
  void PostObjectMenu(const QString& name) override;
  void StartMorphTimer() override;
  void StartAnimationTimer() override;
  bool EffectsEnabled() const override;
  bool ShowsWindowIcon() const override { return ShowIcon; }
  QIcon WindowIcon() const override;
  void ShowObjectGlow(TtwActiveSkinObject* o) override;
  void HideObjectGlow() override;
  void ReportMouse(TtwObjectEvent e, const TtwActiveSkinObject& o, int x, int y, Qt::MouseButton button) override;
  bool PaintUserObject(const TtwActiveSkinObject& o, QPainter& canvas) override;
  bool PaintCaption(QPainter& canvas, const TRect& r, bool active) override;

  // Attaches a menu to the caption button of that name (kept across skin
  // changes); a press opens it below the button, or above with upward.
  void SetObjectMenu(const QString& name, QMenu* menu, bool upward = false);
  // A monitor was added, removed or resized: a maximised window keeps its
  // monitor's work area, a normal one stays within the new limits.
  void WorkAreaChanged();

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void ConnectTimers();
  void ObjectSettingsChanged();
  void ApplyOpacity();
  void PushMenuSettings();
  void TrayIconChanged();
  // The application's visible windows, the main one first.
  QList<QWidget*> VisibleWindows() const;
  TtwSkinData* MenuSkinData() const;
  bool HandleEvent(QEvent* e);
  bool HandleMessage(TMessage& m);
  void ApplySkin();
  void BeforeSkinChange();
  void WalkSkinnables(bool forget);
  void BuildObjects();
  void ApplyBorderIcons();
  void Layout();
  void UpdateMargins();
  void UpdateRegion();
  void ApplyWindowShape();
  TtwFramePaint PaintInput() const;
  TtwMoverLimits MoverLimits() const;
  void UpdateSizeLimits();
  void EnforceMinimumSize();
  void ForceRelayout();
  void SetOuterGeometry(const QRect& r);
  void UpdateActive(bool active);
  void OpenObjectMenu(const QString& name);
  void WatchScreen(QScreen* screen);
  void UpdateInactiveCover(bool active);
  void UpdateHot(QPoint p);
  void ClearHover();
  void EnterObject(int index);
  void LeaveObject(int index);
  void MousePress(QMouseEvent* e);
  void MouseMove(QMouseEvent* e);
  void MouseRelease(QMouseEvent* e);
  void MouseDoubleClick(QMouseEvent* e);
  void StartSizing(int hit, QPoint global);
  void UpdateCursor(QPoint p);
  void StartFadeIn();
  void FirstShow();
  QRect MonitorArea(bool workArea) const;
  QRect TargetBounds(const TtwWindowState& from, const TtwWindowState& to);
  void ShowClient(bool show);
  void HideCompanions();
  void ShowCompanions();

  TForm* form_ = nullptr;
  QPointer<TtwSkinData> skinData_;
  TtwBorderIcons borderIcons_ = biSystemMenu | biMinimize | biMaximize | biRollUp;
  bool skinnable_ = true;
  bool skinPresent_ = false;
  bool changing_ = false;
  TtwFrameInfo info_;
  TtwFrameGeometry geo_;
  QRegion region_;
  TtwFrameRegionCache regionCache_;
  TtwFramePainter painter_;
  std::vector<std::unique_ptr<TtwActiveSkinObject>> objects_;
  int hot_ = -1, previousHot_ = -1, pressed_ = -1;
  TtwWindowState ws_;
  QRect normalBounds_;
  // Children hidden while the frame alone shows (rolled up or minimised).
  std::vector<QPointer<QWidget>> hiddenChildren_;
  // The application's other windows hidden while the main window is minimised.
  std::vector<QPointer<QWidget>> companions_;
  int heightBeforeRollUp_ = 0;
  bool firstShow_ = true;
  bool active_ = false;
  QMargins margins_;
  TtwFrameMover mover_;
  TwTimer hoverTimer_, morphTimer_, animationTimer_, fadeTimer_;
  int fadeTarget_ = 255;
  TtwSkinMenu* skinMenu_ = nullptr;
  struct ObjectMenu {
    QPointer<QMenu> Menu;
    bool Upward = false;
  };
  std::map<QString, ObjectMenu> objectMenus_;
  QPointer<QMenu> sysMenuItems_;
  QPointer<TtwSkinPopupMenu> trayMenu_;
  QShortcut* sysMenuShortcut_ = nullptr;
  std::unique_ptr<TtwLayerManager> glow_;
  QWidget* inactiveCover_ = nullptr;
};
