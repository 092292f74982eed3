#pragma once
// The four skinned control bases. Windowed and windowless controls are both
// QWidgets; a windowless one only never takes the focus. Every control paints
// its whole face into an image of its own size and copies it in one step.
#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>

#include "platform/Align.h"
#include "skin/data/twTypes.h"

class TtwSkinData;
class TImageList;

// Messages between skinned controls (window-message numbers).
inline constexpr uint32_t SKIN_MSG_BACKGROUND_CHANGED = 1284;  // user base + 260

// Colours of the default look (no skin record bound). They stand in for the
// desktop's system colours, so every unskinned control agrees.
namespace twDefaultColors {
inline const QColor BtnFace{0xF3, 0xF5, 0xF8};
inline const QColor BtnShadow{0xAE, 0xB8, 0xC6};
inline const QColor BtnHighlight{0xFF, 0xFF, 0xFF};
inline const QColor BtnText{0x1E, 0x2A, 0x38};
inline const QColor GrayText{0x9A, 0xA3, 0xAE};
inline const QColor Window{0xFF, 0xFF, 0xFF};
inline const QColor WindowText{0x1E, 0x2A, 0x38};
inline const QColor Highlight{0x3D, 0x7B, 0xD9};
inline const QColor HighlightText{0xFF, 0xFF, 0xFF};
inline const QColor PanelFace{0xFA, 0xFB, 0xFC};
inline const QColor PanelBorder{0xC9, 0xD1, 0xDC};
inline const QColor CaptionBand{0xE6, 0xEB, 0xF2};
inline const QColor CaptionText{0x2B, 0x3A, 0x4E};
inline const QColor StatusFace{0xE9, 0xED, 0xF2};
// Hot and pressed faces of the default look (Windows values 8388608,
// 13811126 and 11899781).
inline const QColor HotFrame{0x00, 0x00, 0x80};
inline const QColor HotFill{0xB6, 0xBD, 0xD2};
inline const QColor DownFill{0x85, 0x92, 0xB5};
}  // namespace twDefaultColors

// Windows colour 0x00BBGGRR to QColor and back.
QColor ColorFromTColor(TColor c);
TColor TColorFromColor(const QColor& c);

// The default font of skinned controls: Arial, 14 pixels, no style.
QFont TwDefaultFont();

// A one-pixel bevel: top and left in tl, right and bottom in br; r shrinks by
// one pixel on each side.
void DrawBevel(QPainter& p, QRect& r, const QColor& tl, const QColor& br);

// Shared part of the windowed and windowless bases: binding to a record.
class TtwSkinControl : public QWidget, public TBoundsTarget {
  Q_OBJECT
 public:
  explicit TtwSkinControl(QWidget* parent = nullptr);
  ~TtwSkinControl() override;

  // Binding.
  TtwSkinData* SkinData() const { return skinData_; }
  virtual void SetSkinData(TtwSkinData* data);
  QString SkinDataName() const { return skinDataName_; }
  virtual void SetSkinDataName(const QString& name);
  int RecordIndex() const { return recordIndex_; }

  virtual void FindSkinRecord();
  virtual void PaintDefault(QImage& bitmap);
  virtual void PaintSkin(QImage& bitmap);
  virtual void ApplySkin();
  virtual void ForgetSkinRecord();
  virtual void BackgroundChanged();

  // Read by the skinned hint; the control itself does nothing with them.
  QString HintTitle() const { return hintTitle_; }
  void SetHintTitle(const QString& t) { hintTitle_ = t; }
  int HintImageIndex() const { return hintImageIndex_; }
  void SetHintImageIndex(int i) { hintImageIndex_ = i; }
  TImageList* HintImageList() const { return hintImageList_; }
  void SetHintImageList(TImageList* l) { hintImageList_ = l; }

  std::function<void(QObject* sender)> OnMouseEnter, OnMouseLeave;

  // Geometry: every change goes through SetBounds.
  void SetBounds(int left, int top, int width, int height) override;
  int Left() const { return x(); }
  int Top() const { return y(); }
  int Width() const { return width(); }
  int Height() const { return height(); }
  void SetLeft(int v) { SetBounds(v, y(), width(), height()); }
  void SetTop(int v) { SetBounds(x(), v, width(), height()); }
  void SetWidth(int v) { SetBounds(x(), y(), v, height()); }
  void SetHeight(int v) { SetBounds(x(), y(), width(), v); }
  TAlign Align() const { return WidgetAlign(this); }
  void SetAlign(TAlign a) { SetWidgetAlign(this, a); }
  TAnchors Anchors() const { return WidgetAnchors(this); }
  void SetAnchors(TAnchors a) { SetWidgetAnchors(this, a); }

  bool Enabled() const { return isEnabled(); }
  void SetEnabled(bool e) { setEnabled(e); }
  // The control's own visibility, whether or not its parent is shown.
  bool Visible() const { return !isHidden(); }
  void SetVisible(bool v) { setVisible(v); }
  QString Caption() const { return caption_; }
  void SetCaption(const QString& c);

  bool PaintingFromSystem() const { return paintingFromSystem_; }

  // Sends the background-changed message to every child control.
  void NotifyChildrenBackground();

  // Paints the control's face into a fresh image of its size (as a paint
  // does); a null image for a zero size.
  QImage RenderFace();

 protected:
  virtual void CaptionChanged() { update(); }
  bool event(QEvent* e) override;
  void paintEvent(QPaintEvent* e) override;
  void enterEvent(QEnterEvent* e) override;
  void leaveEvent(QEvent* e) override;
  // Draws the face for a paint: default or skin look into bitmap.
  virtual void PaintFace(QImage& bitmap);

  bool paintingFromSystem_ = false;
  TtwSkinData* skinData_ = nullptr;
  QString skinDataName_;
  QString hintTitle_;
  int hintImageIndex_ = 0;
  TImageList* hintImageList_ = nullptr;
  int recordIndex_ = -1;
  QString caption_;
};

// Geometry copied from a record and fitted to the current size.
struct TtwSkinGeometry {
  TPoint LeftTopPoint, RightTopPoint, LeftBottomPoint, RightBottomPoint;
  TRect PieceRect, SkinClientRect;
  TPoint FitLeftTop, FitRightTop, FitLeftBottom, FitRightBottom;
  TRect FitClientRect;
  int PieceMode = 0;
  uint8_t StretchFlags[6] = {0, 0, 0, 0, 0, 0};
  const QImage* SourcePicture = nullptr;
  const QImage* SourceMask = nullptr;
};

class TtwSkinCustomControl : public TtwSkinControl {
  Q_OBJECT
 public:
  explicit TtwSkinCustomControl(QWidget* parent = nullptr);
  ~TtwSkinCustomControl() override;

  bool CompositePaint() const { return compositePaint_; }
  void SetCompositePaint(bool v) { compositePaint_ = v; }
  bool FillClientFromSkin() const { return fillClientFromSkin_; }
  void SetFillClientFromSkin(bool v) { fillClientFromSkin_ = v; }

  int DefaultWidth() const { return defaultWidth_; }
  void SetDefaultWidth(int w);
  int DefaultHeight() const { return defaultHeight_; }
  void SetDefaultHeight(int h);
  QFont DefaultFont() const { return defaultFont_; }
  void SetDefaultFont(const QFont& f);
  // Colour of the default font (text of the default look).
  QColor DefaultFontColor() const { return defaultFontColor_; }
  void SetDefaultFontColor(const QColor& c);
  bool UseSkinFont() const { return useSkinFont_; }
  void SetUseSkinFont(bool v);

  const TtwSkinGeometry& Geometry() const { return geo_; }
  int PieceMode() const { return geo_.PieceMode; }
  // Bound to a record whose picture is at hand: the face comes from the
  // skin; otherwise the default look is drawn.
  bool SkinLook() const { return recordIndex_ != -1 && geo_.SourcePicture; }

  void FindSkinRecord() override;
  void PaintDefault(QImage& bitmap) override;
  void PaintSkin(QImage& bitmap) override;
  void ApplySkin() override;
  void SetBounds(int left, int top, int width, int height) override;

  virtual void DefaultFontChanged() {}
  virtual void FitToSkin(int& width, int& height);
  virtual void UpdateRegion();
  TRect MapSkinRect(const TRect& r) const;

 protected:
  bool compositePaint_ = false;
  bool fillClientFromSkin_ = true;
  int defaultWidth_ = 0, defaultHeight_ = 0;
  QFont defaultFont_;
  QColor defaultFontColor_ = twDefaultColors::BtnText;
  bool useSkinFont_ = true;
  TtwSkinGeometry geo_;
};

// Windowless family: the same binding and painting, never focused.
class TtwGraphicSkinControl : public QWidget, public TBoundsTarget {
  Q_OBJECT
 public:
  explicit TtwGraphicSkinControl(QWidget* parent = nullptr);
  ~TtwGraphicSkinControl() override;

  TtwSkinData* SkinData() const { return skinData_; }
  virtual void SetSkinData(TtwSkinData* data);
  QString SkinDataName;  // a plain field in this family
  int RecordIndex() const { return recordIndex_; }

  virtual void FindSkinRecord();
  virtual void PaintDefault(QImage& bitmap);
  virtual void PaintSkin(QImage& bitmap);
  virtual void ApplySkin();
  virtual void ForgetSkinRecord();

  QString HintTitle() const { return hintTitle_; }
  void SetHintTitle(const QString& t) { hintTitle_ = t; }
  int HintImageIndex() const { return hintImageIndex_; }
  void SetHintImageIndex(int i) { hintImageIndex_ = i; }
  TImageList* HintImageList() const { return hintImageList_; }
  void SetHintImageList(TImageList* l) { hintImageList_ = l; }
  std::function<void(QObject* sender)> OnMouseEnter, OnMouseLeave;

  void SetBounds(int left, int top, int width, int height) override;
  TAlign Align() const { return WidgetAlign(this); }
  void SetAlign(TAlign a) { SetWidgetAlign(this, a); }
  TAnchors Anchors() const { return WidgetAnchors(this); }
  void SetAnchors(TAnchors a) { SetWidgetAnchors(this, a); }
  QString Caption() const { return caption_; }
  void SetCaption(const QString& c) { caption_ = c; update(); }
  QImage RenderFace();

 protected:
  void paintEvent(QPaintEvent* e) override;
  void enterEvent(QEnterEvent* e) override;
  void leaveEvent(QEvent* e) override;

  TtwSkinData* skinData_ = nullptr;
  QString hintTitle_;
  int hintImageIndex_ = 0;
  TImageList* hintImageList_ = nullptr;
  int recordIndex_ = -1;
  QString caption_;
};

class TtwGraphicSkinCustomControl : public TtwGraphicSkinControl {
  Q_OBJECT
 public:
  explicit TtwGraphicSkinCustomControl(QWidget* parent = nullptr);

  int DefaultWidth() const { return defaultWidth_; }
  void SetDefaultWidth(int w);
  int DefaultHeight() const { return defaultHeight_; }
  void SetDefaultHeight(int h);
  QFont DefaultFont() const { return defaultFont_; }
  void SetDefaultFont(const QFont& f);
  bool UseSkinFont() const { return useSkinFont_; }
  void SetUseSkinFont(bool v) { useSkinFont_ = v; update(); }
  const TtwSkinGeometry& Geometry() const { return geo_; }

  void FindSkinRecord() override;
  void PaintDefault(QImage& bitmap) override;
  void ApplySkin() override;
  void SetBounds(int left, int top, int width, int height) override;
  virtual void DefaultFontChanged() {}
  virtual void FitToSkin(int& width, int& height);

 protected:
  int defaultWidth_ = 0, defaultHeight_ = 0;
  QFont defaultFont_;
  bool useSkinFont_ = true;
  TtwSkinGeometry geo_;
};
