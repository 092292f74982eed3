#pragma once
// The windowed push button: focus, default/cancel keys, modal result.
#include <QPixmap>
#include <QPointer>
#include <QTimer>

#include "skin/controls/twSkinControlBase.h"

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

class TtwSkinButton : public TtwSkinCustomControl {
  Q_OBJECT
 public:
  explicit TtwSkinButton(QWidget* parent = nullptr);
  ~TtwSkinButton() override;

  // Called on every click, before the clicked() signal.
  std::function<void()> OnClick;

  bool UseSkinSize() const { return useSkinSize_; }
  void SetUseSkinSize(bool v);
  bool UseSkinFontColor() const { return useSkinFontColor_; }
  void SetUseSkinFontColor(bool v) { useSkinFontColor_ = v; update(); }
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

  bool Down() const { return down_; }
  void SetDown(bool v);
  int GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int g);
  bool AllowAllUp() const { return allowAllUp_; }
  void SetAllowAllUp(bool v) { allowAllUp_ = v; }
  bool PointerOver() const { return pointerOver_; }

  bool RepeatMode() const { return repeatMode_; }
  void SetRepeatMode(bool v) { repeatMode_ = v; }
  int RepeatInterval() const { return repeatInterval_; }
  void SetRepeatInterval(int ms) { repeatInterval_ = ms; }

  QPixmap Glyph() const { return glyph_; }
  void SetGlyph(const QPixmap& g) { glyph_ = g; update(); }
  int NumGlyphs() const { return numGlyphs_; }
  void SetNumGlyphs(int n);
  int Margin() const { return margin_; }
  void SetMargin(int m);
  int Spacing() const { return spacing_; }
  void SetSpacing(int s) { spacing_ = s; update(); }
  TButtonLayout Layout() const { return layout_; }
  void SetLayout(TButtonLayout l) { layout_ = l; update(); }
  TImageList* ImageList() const { return imageList_; }
  void SetImageList(TImageList* l) { imageList_ = l; update(); }
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int i) { imageIndex_ = i; update(); }

  // The click: modal result, then OnClick and clicked().
  virtual void ButtonClick();
  // Programmatic press, as a mouse click would.
  void Click() { ButtonClick(); }

  void PaintDefault(QImage& bitmap) override;
  void FitToSkin(int& width, int& height) override;

 signals:
  void clicked();
  void doubleClicked();

 protected:
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
  bool eventFilter(QObject* watched, QEvent* e) override;
  bool event(QEvent* e) override;

 private:
  bool Focused() const;
  bool LooksHot() const;
  bool LooksDown() const;
  void WatchWindow();
  void StopRepeat();
  void DrawCaptionAndImage(QPainter& p, const QRect& r, const QColor& color, bool pressed);

  bool alwaysShowLayeredFrame_ = false;
  bool useSkinFontColor_ = true;
  bool useSkinSize_ = true;
  bool repeatMode_ = false;
  int repeatInterval_ = 100;
  bool enterTarget_ = false;
  bool allowAllUp_ = false;
  bool allUpCheck_ = false;
  bool default_ = false;
  bool cancel_ = false;
  int modalResult_ = 0;
  bool canFocused_ = true;
  bool down_ = false;
  bool pointerOver_ = false;
  bool leftPressed_ = false;
  int groupIndex_ = 0;
  QPixmap glyph_;
  int numGlyphs_ = 1;
  int margin_ = -1;
  int spacing_ = 1;
  TButtonLayout layout_ = blGlyphLeft;
  TImageList* imageList_ = nullptr;
  int imageIndex_ = -1;
  QTimer* repeatTimer_ = nullptr;
  QPointer<QWidget> watchedWindow_;
};
