#pragma once
// The component that takes over a form's frame: the window loses the window
// manager's border and caption and gets the skin's instead (shaped outline,
// caption band, caption buttons and text), with moving, sizing, maximise,
// minimise, roll-up and the system menu handled here. The form's controls
// keep client coordinates: the frame widths become the form's contents
// margins.
#include <QBasicTimer>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QMenu>
#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <QRegion>
#include <functional>
#include <memory>
#include <vector>

#include "skin/data/twSkinData.h"
#include "skin/form/twFrameGeometry.h"
#include "skin/form/twSkinObjects.h"
#include "skin/menus/twSkinHint.h"
#include "skin/menus/twSkinMenus.h"

class TForm;
struct TMessage;
class TtwSkinData;
class TtwSkinStatusBar;
class TtwLayerManager;
class QMenu;
class QPainter;
class QShortcut;
class QMouseEvent;

enum TtwBorderIcon {
  biSystemMenu = 1, biMinimize = 2, biMaximize = 4, biRollUp = 8, biMinimizeToTray = 16
};
using TtwBorderIcons = int;  // a set of TtwBorderIcon bits
enum TtwPositionInMonitor { twpDefault, twpScreenCenter, twpDesktopCenter };
enum TtwClientInActiveEffectType { twieSemiTransparent, twieBlur };

// Private messages a frame answers for other components and processes.
inline constexpr uint32_t TW_MSG_QUERY_SKINNED = 45490;
inline constexpr uint32_t TW_MSG_PAINT_FRAME = 45513;
inline constexpr uint32_t TW_MSG_PAINT_FRAME_EX = 48203;
inline constexpr intptr_t kPaintFrameExKey = 16802;

// Window states of the frame:
//   Normal -> Minimized -> Normal;  Normal -> Maximized -> Normal.
// RolledUp is orthogonal (normal, or maximised with the extra flag).
enum class TtwFrameState { Normal, Minimized, Maximized };

class TtwSkinForm : public QObject {
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
  TtwSkinData* MenusSkinData = nullptr;
  TtwBorderIcons BorderIcons() const { return borderIcons_; }
  void SetBorderIcons(TtwBorderIcons icons);
  bool HideCaptionButtons = false;
  bool ShowIcon = false;
  bool DisableSystemMenu = false;
  bool AlwaysResize = false;
  TtwPositionInMonitor PositionInMonitor = twpDefault;
  bool MaximizeOnFullScreen = false;
  int MinWidth = 0, MinHeight = 0, MaxWidth = 0, MaxHeight = 0;
  int ClientWidth = 0, ClientHeight = 0;
  bool Magnetic = false;
  uint8_t MagneticSize = 5;
  bool AlphaBlend = false, AlphaBlendAnimation = false;
  uint8_t AlphaBlendValue = 200;
  bool ClientInActiveEffect = false;
  TtwClientInActiveEffectType ClientInActiveEffectType = twieSemiTransparent;
  QPixmap LogoBitMap;
  bool LogoBitMapTransparent = false;
  bool UseFormCursorInNCArea = false;
  TtwSkinStatusBar* StatusBar = nullptr;
  // The tray icon lands later; minimising to the tray needs one.
  QObject* TrayIcon = nullptr;
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
  bool UseSkinFontInMenu = true;
  int DefMenuItemHeight = 20;
  QFont DefMenuItemFont;
  int MaxMenuItemsInWindow = 0;
  bool MenusAlphaBlend = false, MenusAlphaBlendAnimation = false;
  uint8_t MenusAlphaBlendValue = 200;

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
  TtwFrameState FrameState() const { return state_; }
  bool RolledUp() const { return rolledUp_; }
  QRect NormalBounds() const { return normalBounds_; }
  bool Sizeable() const;
  bool WindowActive() const;
  int CaptionHeight() const;  // the skinless look's
  int MinimumWidth() const;
  int MinimumHeight() const;
  QSize MaximumSize() const;
  const TtwFrameGeometry& Geometry() const { return geo_; }
  const TtwFrameInfo& Info() const { return info_; }
  QRegion WindowRegion() const { return region_; }
  QMargins Margins() const;

  const std::vector<std::unique_ptr<TtwActiveSkinObject>>& Objects() const { return objects_; }
  int HotObject() const { return hot_; }
  int PressedObject() const { return pressed_; }
  TtwActiveSkinObject* FindObject(const QString& name) const;
  TtwSkinStdButtonObject* ButtonOfCommand(int command) const;

  // The hit-test code at p (window coordinates).
  int HitTest(QPoint p) const;
  // Everything the hit test reads, as it stands now.
  TtwHitTestInput HitInput() const;
  // The frame's text: the form's caption.
  QString CaptionText() const;

  // ---- window states ----
  void SetFrameState(TtwFrameState s);
  void Minimize();
  void Maximize();
  void Restore();
  void SetRolledUp(bool on);
  void MinimizeToTray();
  void RestoreFromTray();

  // The system menu: below the system-menu button, or at a screen point.
  // It opens in the frame's skinned menu controller; the entries are the
  // actions of SystemMenuItems().
  void OpenSystemMenu();
  void OpenSystemMenuAt(QPoint global);
  bool SystemMenuOpen() const { return skinMenu_ && skinMenu_->Visible(); }
  QMenu* SystemMenuItems() const { return sysMenuItems_; }
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

  // ---- used by the caption objects ----
  void RepaintObject(TtwActiveSkinObject* o);
  // Runs a window command once the current handler has returned.
  void PostCommand(int command);
  void RunCommand(int command);
  void StartMorphTimer();
  void StartAnimationTimer();
  bool EffectsEnabled() const;
  void ShowObjectGlow(TtwActiveSkinObject* o);
  void HideObjectGlow();
  void ReleaseCapture(TtwActiveSkinObject* o);

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;
  void timerEvent(QTimerEvent* e) override;

 private:
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
  void UpdateBands(bool active);
  TEdgeStretch BandEdges(const QImage& picture) const;
  void ComposeFinalBands(bool active);
  void DrawBands(QPainter& p, const QImage& top, const QImage& bottom, const QImage& left, const QImage& right);
  void UpdateSizeLimits();
  void EnforceMinimumSize();
  void ForceRelayout();
  void SetOuterGeometry(const QRect& r);
  void UpdateActive(bool active);
  void UpdateInactiveCover(bool active);
  void PaintSkinless(QPainter& p);
  void PaintBackground(QPainter& p, const QRegion& clip);
  void PrepareBackground();
  void PaintBands(QPainter& p);
  void UpdateHot(QPoint p);
  void ClearHover();
  void EnterObject(int index);
  void LeaveObject(int index);
  void MousePress(QMouseEvent* e);
  void MouseMove(QMouseEvent* e);
  void MouseRelease(QMouseEvent* e);
  void MouseDoubleClick(QMouseEvent* e);
  void UpdateCursor(QPoint p);
  void StartFadeIn();
  void FirstShow();
  QRect MonitorArea(bool workArea) const;

  TForm* form_ = nullptr;
  QPointer<TtwSkinData> skinData_;
  TtwBorderIcons borderIcons_ = biSystemMenu | biMinimize | biMaximize | biRollUp;
  bool skinnable_ = true;
  bool skinPresent_ = false;
  bool changing_ = false;
  TtwFrameInfo info_;
  TtwFrameGeometry geo_;
  QRegion region_;
  // Band pictures of the frame picture, keyed by the one size each follows.
  struct BandPair {
    int Size = -1;
    bool Active = true;
    QImage First, Second;  // top and bottom, or left and right
  };
  BandPair hBands_, vBands_;
  TEdgeStretch frameEdges_, inactiveEdges_;  // how each band of the two pictures is filled
  QImage scratch_[2];                        // the bands a pass composes but does not keep
  TtwFrameRegionCache regionCache_;
  QImage framePicture_, inactivePicture_;  // the skin's frame pictures, opaque 32-bit
  QImage background_;       // the client background picture of the skin
  QColor backgroundColor_;  // set when that picture is one colour
  QImage top_, bottom_, left_, right_;  // as shown: objects in, effect applied
  bool framesValid_ = false, framesActive_ = true;
  std::vector<std::unique_ptr<TtwActiveSkinObject>> objects_;
  int hot_ = -1, previousHot_ = -1, pressed_ = -1;
  TtwFrameState state_ = TtwFrameState::Normal;
  bool rolledUp_ = false, rolledUpWhileMaximized_ = false;
  QRect normalBounds_;
  int heightBeforeRollUp_ = 0;
  bool sizingOrMoving_ = false;
  bool firstShow_ = true;
  bool active_ = false;
  QMargins margins_;
  // Mouse drag on the frame.
  enum class Drag { None, PendingMove, Move, Size } drag_ = Drag::None;
  int dragHit_ = 0;
  QPoint dragStartGlobal_;
  QRect dragStartGeometry_;
  TtwMagnetState magnet_;
  QBasicTimer hoverTimer_, morphTimer_, animationTimer_, fadeTimer_;
  int fadeTarget_ = 255;
  TtwSkinMenu* skinMenu_ = nullptr;
  QPointer<QMenu> sysMenuItems_;
  QShortcut* sysMenuShortcut_ = nullptr;
  std::unique_ptr<TtwLayerManager> glow_;
  QWidget* inactiveCover_ = nullptr;
};
