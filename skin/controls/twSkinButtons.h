#pragma once
// Push buttons drawn from a button record: the windowed button (focus,
// default and cancel keys, modal result, glow frame), the windowless speed
// button and the speed button that opens a menu.
#include <QImage>
#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <memory>

#include "skin/controls/twSkinControlBase.h"
#include "skin/menus/twMenuMessages.h"
#include "skin/menus/twSkinMenus.h"

#include <QMenu>
class TtwLayerManager;
class TtwDataSkinButtonControl;

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// Timer steps of the button looks.
inline constexpr int kRepeatFirstDelayMs = 500;
inline constexpr int kMorphStepMs = 20;
inline constexpr double kMorphStep = 0.2;

// Copies of a button record, with the empty-rectangle fallbacks applied.
struct TtwButtonSkin {
  QString fontname = QStringLiteral("Arial");
  uint8_t fontstyle = 0;
  int fontheight = 14;
  TColor fontcolor = 0, activefontcolor = 0, downfontcolor = 0, disabledfontcolor = 0;
  TRect activeskinrect, downskinrect, disabledskinrect, focusedskinrect, animateskinrect;
  int framecount = 0, animateinterval = 25;
  bool morphing = false;
  uint8_t morphkind = 0;
  bool showfocus = false;
  TRect menumarkerflatrect, menumarkerrect, menumarkeractiverect, menumarkerdownrect;
  TColor menumarkertransparentcolor = 0;
  int glowlayerpictureindex = -1, glowlayermaskpictureindex = -1;
  int glowlayeroffsetleft = 0, glowlayeroffsetright = 0, glowlayeroffsettop = 0, glowlayeroffsetbottom = 0;
  int glowlayershowoffsetx = 0, glowlayershowoffsety = 0, glowlayeralphablendvalue = 255;

  void Copy(const TtwDataSkinButtonControl& r, const TRect& skinrect, bool speed);
  // Frame k (1-based) of the animation strip.
  TRect AnimationFrame(int k, const TRect& skinrect) const;
};

// The look a button paints from, computed once per paint.
struct TtwButtonLook {
  bool enabled = true, hot = false, down = false, focused = false;
  double fade = 0;
};

// State, timers and painting both push-button families share. Transitions:
// press -> Down (and repeat timer), release inside -> up and click, release
// outside -> up without a click; enter/leave drive PointerOver and the morph
// or frame animation; every timer stops itself when its work is done.
template <class Base>
class TtwButtonParts : public Base {
 public:
  explicit TtwButtonParts(QWidget* parent);
  ~TtwButtonParts() override;

  std::function<void()> OnClick;
  // Painting hook: (canvas, text rectangle, down, hot, draw default).
  std::function<void(QPainter&, const TRect&, bool, bool, bool&)> OnPaint;

  bool UseSkinSize() const { return useSkinSize_; }
  void SetUseSkinSize(bool v) { useSkinSize_ = v; this->update(); }
  bool UseSkinFontColor() const { return useSkinFontColor_; }
  void SetUseSkinFontColor(bool v) { useSkinFontColor_ = v; this->update(); }
  bool Down() const { return down_; }
  void SetDown(bool v);
  int GroupIndex() const { return groupIndex_; }
  bool AllowAllUp() const { return allowAllUp_; }
  void SetAllowAllUp(bool v) { allowAllUp_ = v; }
  bool PointerOver() const { return pointerOver_; }
  bool RepeatMode() const { return repeatMode_; }
  void SetRepeatMode(bool v) { repeatMode_ = v; }
  int RepeatInterval() const { return repeatInterval_; }
  void SetRepeatInterval(int ms) { repeatInterval_ = ms; }
  QImage Glyph() const { return glyph_; }
  void SetGlyph(const QImage& g) { glyph_ = g; this->update(); }
  void SetGlyph(const QPixmap& g) { SetGlyph(g.toImage()); }
  int NumGlyphs() const { return numGlyphs_; }
  void SetNumGlyphs(int n) { numGlyphs_ = std::clamp(n, 1, 4); this->update(); }
  int Margin() const { return margin_; }
  void SetMargin(int m) { if (m >= -1) { margin_ = m; this->update(); } }
  int Spacing() const { return spacing_; }
  void SetSpacing(int s) { spacing_ = s; this->update(); }
  TButtonLayout Layout() const { return layout_; }
  void SetLayout(TButtonLayout l) { layout_ = l; this->update(); }
  TImageList* ImageList() const { return imageList_; }
  void SetImageList(TImageList* l) { imageList_ = l; this->update(); }
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int i) { imageIndex_ = i; this->update(); }

  double FadeLevel() const { return fade_; }
  int FrameNumber() const { return frameNumber_; }
  bool Morphing() const;
  bool MorphRunning() const { return morphTimer_ && morphTimer_->isActive(); }
  bool RepeatRunning() const { return repeatTimer_ != nullptr; }
  const TtwButtonSkin& ButtonSkin() const { return skin_; }

  void FindSkinRecord() override;
  void FitToSkin(int& width, int& height) override;
  void PaintDefault(QImage& bitmap) override;
  virtual void PaintState(QImage& bitmap, const TRect& piece, bool active, bool down);
  virtual void ButtonClick();
  void Click() { ButtonClick(); }

 protected:
  // Focus counts for the windowed button only.
  virtual bool Focused() const { return false; }
  virtual bool LooksHot() const { return pointerOver_; }
  virtual bool IsSpeed() const { return true; }
  virtual QString ShownCaption() const { return this->caption_; }
  TtwButtonLook Look() const;
  QFont SkinOrDefaultFont() const;
  // The glyph or image and caption, in r.
  void DrawContent(QPainter& p, const TRect& r, bool pressed, bool hotOrDown);
  void DrawMorph(QImage& bitmap);
  void StartMorph();
  void MorphTick();
  void StartAnimation(bool forward);
  void StopAnimation();
  void AnimationTick();
  void StartRepeat();
  void StopRepeat();
  void ApplyButtonSkin();
  void PressLeft();
  // Returns true when the button was down and the release clicks.
  void ReleaseLeft(bool inside);
  void EnterLook();
  void LeaveLook();
  // While the left button is held, crossing the button's edge enters or
  // leaves the press (Qt keeps the pointer grabbed).
  void TrackPressedPointer(QPoint local);
  void SiblingsUp();

  TtwButtonSkin skin_;
  bool useSkinFontColor_ = true, useSkinSize_ = true;
  bool repeatMode_ = false;
  int repeatInterval_ = 100;
  bool allowAllUp_ = false, allUpCheck_ = false;
  bool down_ = false, pointerOver_ = false, leftPressed_ = false;
  int groupIndex_ = 0;
  QImage glyph_;
  int numGlyphs_ = 1, margin_ = -1, spacing_ = 1;
  TButtonLayout layout_ = blGlyphLeft;
  TImageList* imageList_ = nullptr;
  int imageIndex_ = -1;
  double fade_ = 0;
  int frameNumber_ = 0;
  bool animForward_ = true;
  std::unique_ptr<QTimer> repeatTimer_, morphTimer_, animTimer_;
};

class TtwSkinButton : public TtwButtonParts<TtwSkinCustomControl> {
  Q_OBJECT
 public:
  explicit TtwSkinButton(QWidget* parent = nullptr);
  ~TtwSkinButton() override;

  bool AlwaysShowLayeredFrame() const { return alwaysShowLayeredFrame_; }
  void SetAlwaysShowLayeredFrame(bool v) { alwaysShowLayeredFrame_ = v; }
  int ModalResult() const { return modalResult_; }
  void SetModalResult(int r) { modalResult_ = r; }
  bool Default() const { return default_; }
  void SetDefault(bool v);
  bool Cancel() const { return cancel_; }
  void SetCancel(bool v);
  bool CanFocused() const { return canFocused_; }
  void SetCanFocused(bool v);
  bool EnterTarget() const { return enterTarget_; }
  void SetGroupIndex(int g);
  // The glow window, shown over the button while it is hot.
  TtwLayerManager* GlowLayer() const { return glow_.get(); }

  void ButtonClick() override;
  void ApplySkin() override;
  void ForgetSkinRecord() override;

 signals:
  void clicked();
  void doubleClicked();

 protected:
  bool Focused() const override { return hasFocus() && canFocused_; }
  bool LooksHot() const override;
  bool IsSpeed() const override { return false; }
  void PaintSkin(QImage& bitmap) override;
  void CaptionChanged() override { update(); }
  void changeEvent(QEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void keyReleaseEvent(QKeyEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
  void enterEvent(QEnterEvent* e) override;
  void leaveEvent(QEvent* e) override;
  void hideEvent(QHideEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;
  bool event(QEvent* e) override;

 private:
  void WatchWindow();
  void ShowGlow();
  void HideGlow();

  bool alwaysShowLayeredFrame_ = false;
  bool enterTarget_ = false;
  bool default_ = false, cancel_ = false;
  int modalResult_ = 0;
  bool canFocused_ = true;
  std::unique_ptr<TtwLayerManager> glow_;
  QPointer<QWidget> watchedWindow_;
};

class TtwSkinSpeedButton : public TtwButtonParts<TtwGraphicSkinCustomControl> {
  Q_OBJECT
 public:
  explicit TtwSkinSpeedButton(QWidget* parent = nullptr);
  ~TtwSkinSpeedButton() override;

  bool Flat() const { return flat_; }
  void SetFlat(bool v);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool v);
  bool ShowCaption() const { return showCaption_; }
  void SetShowCaption(bool v);
  int WidthWithCaption() const { return widthWithCaption_; }
  void SetWidthWithCaption(int w) { widthWithCaption_ = w; }
  int WidthWithoutCaption() const { return widthWithoutCaption_; }
  void SetWidthWithoutCaption(int w) { widthWithoutCaption_ = w; }
  void SetGroupIndex(int g) { groupIndex_ = g; }

  void ButtonClick() override;
  void ApplySkin() override;
  void PaintDefault(QImage& bitmap) override;

 signals:
  void clicked();

 protected:
  QString ShownCaption() const override { return showCaption_ ? caption_ : QString(); }
  bool SeeThrough() const override;
  void PaintSkin(QImage& bitmap) override;
  void DrawTransparent(QImage& bitmap);
  void changeEvent(QEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void enterEvent(QEnterEvent* e) override;
  void leaveEvent(QEvent* e) override;

  bool flat_ = false, transparent_ = false, showCaption_ = true;
  int widthWithCaption_ = 0, widthWithoutCaption_ = 0;
};

enum TtwTrackPosition { twtpRight, twtpBottom };

// A speed button whose press (or a press on its arrow part) opens a menu.
class TtwSkinMenuSpeedButton : public TtwSkinSpeedButton {
  Q_OBJECT
 public:
  explicit TtwSkinMenuSpeedButton(QWidget* parent = nullptr);

  TtwSkinPopupMenu* SkinPopupMenu() const { return menu_; }
  void SetSkinPopupMenu(TtwSkinPopupMenu* m) { menu_ = m; }
  bool TrackButtonMode() const { return trackButtonMode_; }
  void SetTrackButtonMode(bool v) { trackButtonMode_ = v; update(); }
  TtwTrackPosition TrackPosition() const { return trackPosition_; }
  void SetTrackPosition(TtwTrackPosition p) { trackPosition_ = p; update(); }
  bool NewStyle() const { return newStyle_; }
  void SetNewStyle(bool v);
  bool MenuTracked() const { return tracked_; }
  // Where a press opens the menu, in control coordinates.
  QRect TrackArea() const;

  std::function<void(QObject*)> OnShowTrackMenu, OnHideTrackMenu;

 protected:
  void FindSkinRecord() override;
  void PaintSkin(QImage& bitmap) override;
  void PaintDefault(QImage& bitmap) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  bool event(QEvent* e) override;

 private:
  void MenuClosed();
  void DrawMarker(QImage& bitmap);

  void OpenMenu();

  QPointer<TtwSkinPopupMenu> menu_;
  bool trackButtonMode_ = false, newStyle_ = false, tracked_ = false;
  TtwTrackPosition trackPosition_ = twtpRight;
  TRect trackButtonRect_;
};

// Messages of the windowed button (posted to itself) and the menu button.
inline constexpr uint32_t SKIN_MSG_SHOW_GLOW = 1424;   // user base + 400
inline constexpr uint32_t SKIN_MSG_HIDE_GLOW = 1425;   // user base + 401
