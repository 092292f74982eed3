#pragma once
// Push buttons drawn from a button record: the windowed button (focus,
// default and cancel keys, modal result, glow frame), the windowless speed
// button and the speed button that opens a menu.
#include <QImage>
#include <QPixmap>
#include <QPointer>
#include <memory>

#include "platform/Clock.h"
#include "skin/controls/twSkinControlBase.h"
#include "skin/menus/twMenuMessages.h"
#include "skin/menus/twSkinImagesMenu.h"
#include "skin/menus/twSkinMenus.h"

class TtwLayerManager;
class TtwDialogButtons;
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

// The picture a button shows, by the rules of its family.
enum class TtwButtonPicture { Normal, Active, Down, Focused, Disabled, Morph, Transparent };

// The look a button paints from, computed once per paint from its state.
struct TtwButtonLook {
  bool enabled = true, hot = false, down = false, focused = false;
  bool pointerOver = false;  // the pointer itself, without focus or default
  double fade = 0;
  bool morphing = false;     // record morphing with skin effects on
  bool animating = false;    // a frame animation runs
  bool transparent = false;  // speed button only
  bool hasDisabledPiece = false, hasFocusedPiece = false;
};
// The first rule that applies, for the windowed button (speed false) or the
// speed button; no other code re-derives it.
TtwButtonPicture PickButtonPicture(const TtwButtonLook& l, bool speed);

// State, timers and painting both push-button families share.
//
//   Up --press / Space / SetDown(true)--> Down
//   Down --drag out--> Up (still held) --drag back--> Down
//   Down --release inside / Space up--> Up + click
//   Down --focus-out / disable / Escape / release outside--> Up, no click
//
// SetDown alone changes Down: it starts the repeat timer while the left
// button holds a repeating button down and stops it otherwise, runs the
// morph fade, repaints and releases grouped siblings.
template <class Base>
class TtwButtonParts : public Base {
 public:
  explicit TtwButtonParts(QWidget* parent);
  ~TtwButtonParts() override;

  std::function<void()> OnClick;
  // Painting hook: (canvas, text rectangle, down, hot, draw default).
  std::function<void(QPainter&, const TRect&, bool, bool, bool&)> OnPaint;

  bool UseSkinSize() const { return useSkinSize_; }
  void SetUseSkinSize(bool v);
  bool UseSkinFontColor() const { return useSkinFontColor_; }
  void SetUseSkinFontColor(bool v) { useSkinFontColor_ = v; this->update(); }
  bool Down() const { return down_; }
  void SetDown(bool v);
  int GroupIndex() const { return groupIndex_; }
  bool AllowAllUp() const { return allowAllUp_; }
  void SetAllowAllUp(bool v) { allowAllUp_ = v; }
  bool PointerOver() const { return pointerOver_; }
  bool LeftPressed() const { return leftPressed_; }
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
  bool MorphRunning() const { return morphTimer_ && morphTimer_->IsActive(); }
  bool AnimationRunning() const { return animTimer_ && animTimer_->IsActive(); }
  bool RepeatRunning() const { return repeatTimer_ && repeatTimer_->IsActive(); }
  const TtwButtonSkin& ButtonSkin() const { return skin_; }
  // The look the next paint uses.
  TtwButtonLook Look() const;

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
  virtual bool IsTransparent() const { return false; }
  // A flat speed button shows no frame animation.
  virtual bool AnimatesFrames() const { return true; }
  virtual QString ShownCaption() const { return this->caption_; }
  // A linked images menu's chosen entry: true with its picture; the caption
  // may be replaced by the entry's.
  virtual bool ImagesMenuContent(QImage& /*image*/, QString& /*caption*/) const { return false; }
  // Last word on where glyph and caption go, given the glyph's size: area
  // may shrink and the caption be shortened to fit it.
  virtual void FitContent(QPainter& /*p*/, TRect& /*area*/, QString& /*caption*/, QSize /*glyph*/) const {}
  // Images a tool bar gave the button, ahead of its own list (speed only).
  virtual TImageList* PickImageList(bool /*hotOrDown*/, bool& /*drawnEnabled*/) const { return imageList_; }
  QFont SkinOrDefaultFont() const;
  // The state piece over the face; returns the rectangle text goes in.
  TRect PaintBackground(QImage& bitmap, const TRect& piece);
  // Focus mark, paint hook, image and caption in the state's font colour.
  void PaintCaption(QImage& bitmap, const TRect& text, bool active, bool down);
  // Paints the picture the look picks.
  void PaintPicture(QImage& bitmap, const TtwButtonLook& l);
  // The glyph or image and caption, in r.
  void DrawContent(QPainter& p, const TRect& r, bool pressed, bool hotOrDown);
  void DrawMorph(QImage& bitmap);
  void StartMorph();
  void MorphTick();
  void StartAnimation(bool forward);
  void StopAnimation();
  void AnimationTick();
  void UpdateRepeat();
  void ApplyButtonSkin();
  void PressLeft();
  void ReleaseLeft(bool inside);
  // Left button released or taken away (focus-out, disable): the press ends
  // without a click.
  void CancelPress();
  void EnterLook();
  void LeaveLook();
  // While the left button is held, crossing the button's edge enters or
  // leaves the press (Qt keeps the pointer grabbed).
  void TrackPressedPointer(QPoint local);
  void SiblingsUp();
  void ResetMorph();

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
  TImageListRef imageList_;
  int imageIndex_ = -1;
  double fade_ = 0;
  int frameNumber_ = 0;
  bool animForward_ = true;
  std::unique_ptr<TwTimer> repeatTimer_, morphTimer_, animTimer_;
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

  // What the window's button list tells a registered button on every focus
  // change: whether Enter presses it, and whether the focus sits on a
  // control that is no button (a default button then looks hot).
  void SetFocusState(bool enterTarget, bool focusOnOtherControl);

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
  void FindSkinRecord() override;
  void PaintSkin(QImage& bitmap) override;
  void CaptionChanged() override;
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
  bool event(QEvent* e) override;

 private:
  // Registers with the window's button list while Default or Cancel is set.
  void Register();
  void ShowGlow();
  void HideGlow();
  void UpdateShortcut();

  bool alwaysShowLayeredFrame_ = false;
  bool enterTarget_ = false, focusOnOtherControl_ = false;
  bool default_ = false, cancel_ = false;
  int modalResult_ = 0;
  bool canFocused_ = true;
  int shortcutId_ = 0;
  std::unique_ptr<TtwLayerManager> glow_;
  QPointer<TtwDialogButtons> registeredWith_;
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
  // The images the tool bar the button sits on hands it; each reads null
  // once its list is destroyed.
  void SetBarImages(TImageList* images, TImageList* hot, TImageList* disabled);

  void ButtonClick() override;
  void ApplySkin() override;
  void PaintDefault(QImage& bitmap) override;

 signals:
  void clicked();

 protected:
  QString ShownCaption() const override { return showCaption_ ? caption_ : QString(); }
  bool IsTransparent() const override { return transparent_; }
  bool AnimatesFrames() const override { return !flat_; }
  TImageList* PickImageList(bool hotOrDown, bool& drawnEnabled) const override;
  bool SeeThrough() const override;
  void PaintSkin(QImage& bitmap) override;
  void CaptionChanged() override;
  void DrawTransparent(QImage& bitmap);
  void changeEvent(QEvent* e) override;
  bool event(QEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void enterEvent(QEnterEvent* e) override;
  void leaveEvent(QEvent* e) override;

  bool flat_ = false, transparent_ = false, showCaption_ = true;
  int widthWithCaption_ = 0, widthWithoutCaption_ = 0;
  TImageListRef barImages_, barHotImages_, barDisabledImages_;
  int shortcutId_ = 0;
};

enum TtwTrackPosition { twtpRight, twtpBottom };

// A speed button whose press (or a press on its arrow part) opens a menu.
// Tracked from the press that opens the menu until the menu's closed message.
class TtwSkinMenuSpeedButton : public TtwSkinSpeedButton {
  Q_OBJECT
 public:
  explicit TtwSkinMenuSpeedButton(QWidget* parent = nullptr);

  TtwSkinPopupMenu* SkinPopupMenu() const { return menu_; }
  void SetSkinPopupMenu(TtwSkinPopupMenu* m) { menu_ = m; }
  // Opened under the button in place of SkinPopupMenu; its choice is shown
  // on the button (picture and / or caption, as the two switches say).
  TtwSkinImagesMenu* SkinImagesMenu() const { return imagesMenu_; }
  void SetSkinImagesMenu(TtwSkinImagesMenu* m);
  bool UseImagesMenuImage() const { return useImagesMenuImage_; }
  void SetUseImagesMenuImage(bool v) { useImagesMenuImage_ = v; update(); }
  bool UseImagesMenuCaption() const { return useImagesMenuCaption_; }
  void SetUseImagesMenuCaption(bool v) { useImagesMenuCaption_ = v; update(); }
  bool TrackButtonMode() const { return trackButtonMode_; }
  void SetTrackButtonMode(bool v) { trackButtonMode_ = v; update(); }
  TtwTrackPosition TrackPosition() const { return trackPosition_; }
  void SetTrackPosition(TtwTrackPosition p) { trackPosition_ = p; update(); }
  bool NewStyle() const { return newStyle_; }
  void SetNewStyle(bool v);
  bool MenuTracked() const { return tracked_; }
  // Draws the plain arrow mark (of ArrowType's direction) in place of the
  // skin's marker.
  bool DrawStandardArrow() const { return drawStandardArrow_; }
  void SetDrawStandardArrow(bool v) { drawStandardArrow_ = v; update(); }
  int ArrowType() const { return arrowType_; }
  void SetArrowType(int direction) { arrowType_ = direction; update(); }
  // Where a press opens the menu, in control coordinates.
  QRect TrackArea() const;
  // The 15-pixel strip the arrow sits in.
  QRect ArrowStrip() const;
  // Where glyph and caption may go within area: never over the arrow strip.
  TRect ContentArea(const TRect& area) const;

  std::function<void(QObject*)> OnShowTrackMenu, OnHideTrackMenu;

 protected:
  void FindSkinRecord() override;
  void PaintSkin(QImage& bitmap) override;
  void PaintDefault(QImage& bitmap) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  bool event(QEvent* e) override;
  bool ImagesMenuContent(QImage& image, QString& caption) const override;
  // Keeps the content clear of the arrow; a caption too long for what is
  // left ends in "...".
  void FitContent(QPainter& p, TRect& area, QString& caption, QSize glyph) const override;

 private:
  void MenuClosed();
  void DrawMarker(QImage& bitmap);
  // Records whose body is split into a main part and the arrow strip.
  bool SplitBody() const;
  void PaintSplitBody(QImage& bitmap, const TtwButtonLook& l);
  void OpenMenu();

  QPointer<TtwSkinPopupMenu> menu_;
  QPointer<TtwSkinImagesMenu> imagesMenu_;
  QMetaObject::Connection imagesChoice_, imagesClosed_;
  bool useImagesMenuImage_ = false, useImagesMenuCaption_ = false;
  bool trackButtonMode_ = false, newStyle_ = false, tracked_ = false;
  bool drawStandardArrow_ = false;
  int arrowType_ = 4;  // down
  TtwTrackPosition trackPosition_ = twtpRight;
  TRect trackButtonRect_;
};

// Messages of the windowed button (posted to itself) and the menu button.
inline constexpr uint32_t SKIN_MSG_SHOW_GLOW = 1424;   // user base + 400
inline constexpr uint32_t SKIN_MSG_HIDE_GLOW = 1425;   // user base + 401
