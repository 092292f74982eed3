#pragma once
// The four skinned control bases. Windowed and windowless controls are both
// QWidgets; a windowless one only never takes the focus and has no region.
// Every control paints its whole face into one image and copies it in one
// step; the image has the screen's device pixel ratio, skin pieces are
// scaled onto it by nearest pixel and text is drawn at full resolution.
#include <QColor>
#include <QFont>
#include <QImage>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>

#include "platform/Align.h"
#include "platform/ImageList.h"
#include "skin/data/twSkinData.h"
#include "skin/data/twSkinnable.h"
#include "skin/data/twTypes.h"
#include "skin/controls/twFillPlan.h"
#include "skin/draw/twSystemColors.h"
#include "skin/draw/twUtils.h"

class TtwSkinData;
class TtwDataSkinControl;

// A parent's background changed: see-through children repaint.
inline constexpr uint32_t SKIN_MSG_BACKGROUND_CHANGED = 1284;  // user base + 260
// A skinned control reports to its parent that its bounds were set (WParam:
// the control as a QWidget*); a container that places its children (the
// tool bar centres them) answers by moving it. Private to the engine.
inline constexpr uint32_t SKIN_MSG_CHILD_BOUNDS = 1286;  // user base + 262

// An image list reference that reads null once the list is destroyed.
using TImageListRef = QPointer<TImageList>;

// Fixed colours of the default looks: the hot and pressed faces (Windows
// values 8388608, 13811126 and 11899781); everything else is a system colour.
namespace twDefaultColors {
inline const QColor HotFrame{0x00, 0x00, 0x80};
inline const QColor HotFill{0xB6, 0xBD, 0xD2};
inline const QColor DownFill{0x85, 0x92, 0xB5};
// Names for system colours some callers still use.
inline const QColor BtnFace = SystemColor(COLOR_BTNFACE);
inline const QColor BtnShadow = SystemColor(COLOR_BTNSHADOW);
inline const QColor BtnHighlight = SystemColor(COLOR_BTNHIGHLIGHT);
inline const QColor BtnText = SystemColor(COLOR_BTNTEXT);
inline const QColor GrayText = SystemColor(COLOR_GRAYTEXT);
}  // namespace twDefaultColors

// The default font of skinned controls: Arial, 14 pixels, no style.
QFont TwDefaultFont();
// A record's font: name, pixel height and style bits.
QFont TwSkinFont(const QString& name, int height, uint8_t style);

// A one-pixel bevel: top and left in tl, right and bottom in br; r shrinks by
// one pixel on each side.
void DrawBevel(QPainter& p, QRect& r, const QColor& tl, const QColor& br);

// The logical size of a face image (its pixel size over its pixel ratio).
QSize LogicalSize(const QImage& img);
// Draws a piece composed at logical size onto a face image: 1:1 at ratio 1,
// nearest pixel above it, so skin pieces stay crisp.
void DrawLogical(QImage& face, const QPoint& at, const QImage& piece);

// A record's piece geometry and its fit to the control's current size.
// Pictures are shallow copies taken on every bind, so a reloaded skin can
// never leave a control pointing into freed pixels.
struct TtwSkinGeometry {
  TPoint LeftTopPoint, RightTopPoint, LeftBottomPoint, RightBottomPoint;
  TRect PieceRect, SkinClientRect;
  TPoint FitLeftTop, FitRightTop, FitLeftBottom, FitRightBottom;
  TRect FitClientRect;
  int PieceMode = pmNone;
  // stretcheffect, stretchtype, leftstretch, topstretch, rightstretch, bottomstretch
  uint8_t StretchFlags[6] = {0, 0, 0, 0, 0, 0};
  QImage SourcePicture, SourceMask;

  bool StretchEffect() const { return StretchFlags[0] != 0; }
  int StretchType() const { return StretchFlags[1]; }
  TPieceAnchors SkinAnchors() const;
  TPieceAnchors FitAnchors() const;
  TEdgeStretch Edges() const;
  // The client part of the piece, in picture coordinates.
  TRect ClientPiece() const;

  // Copies a custom-control record's geometry and resolves its pictures; any
  // other record gives PieceMode -1 (nothing is fitted or drawn from it).
  void Bind(const TtwSkinData& data, const TtwDataSkinControl* record, bool withMask);
  void Unbind();
  // Fits W x H to the piece and sets the fitted geometry.
  void Fit(int& W, int& H);
  // A rectangle in piece coordinates moved to the control's W x H.
  TRect Map(const TRect& r, int W, int H) const;
  // Draws `piece` (PieceRect or a state rectangle of its size) for the
  // current PieceMode into face; mode 1 only unless skipNine.
  void PaintPiece(QImage& face, const TRect& piece, bool skipNine) const;
};

// Binding, hints and painting shared by both families.
class TtwSkinWidget : public QWidget, public TBoundsTarget, public TtwSkinnable {
  Q_OBJECT
 public:
  explicit TtwSkinWidget(QWidget* parent = nullptr);
  ~TtwSkinWidget() override;

  TtwSkinData* SkinData() const override { return skinData_; }
  virtual void SetSkinData(TtwSkinData* data);
  QString SkinDataName() const { return skinDataName_; }
  // Takes effect at the next lookup (every paint, size change and apply).
  virtual void SetSkinDataName(const QString& name) { skinDataName_ = name; }
  int RecordIndex() const { return recordIndex_; }
  // The bound record, or null.
  const TtwDataSkinControl* Record() const;

  virtual void FindSkinRecord();
  virtual void PaintDefault(QImage& bitmap);
  virtual void PaintSkin(QImage& bitmap);
  void ApplySkin() override;
  void ForgetSkinRecord() override { recordIndex_ = -1; }

  QString HintTitle() const override { return hintTitle_; }
  void SetHintTitle(const QString& t) { hintTitle_ = t; }
  int HintImageIndex() const override { return hintImageIndex_; }
  void SetHintImageIndex(int i) { hintImageIndex_ = i; }
  TImageList* HintImageList() const override { return hintImageList_; }
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

  // The face as a paint draws it, at ratio dpr; null for a zero size.
  QImage RenderFace(qreal dpr = 1.0);

 protected:
  virtual void CaptionChanged() { update(); }
  void paintEvent(QPaintEvent* e) override;
  void enterEvent(QEnterEvent* e) override;
  void leaveEvent(QEvent* e) override;
  // Paints the whole face into bitmap (already of the control's size).
  virtual void PaintFace(QImage& bitmap);
  void RenderFaceInto(QImage& img);
  // Fills the part of the face a paint will show.
  void FillFace(QImage& face, const QColor& c) const;
  // Fills area of the face from a piece of picture (see PlanFill), where
  // the paint will show.
  void FillFromPicture(QImage& face, const QImage& picture, const TRect& piece, const TRect& area,
                       TFillMode mode) const;
  // DrawLogical, copying only what the paint will show.
  void DrawVisible(QImage& face, const QPoint& at, const QImage& piece) const;
  // The parent's look shows through this control (see-through faces).
  virtual bool SeeThrough() const { return false; }
  // The bound record's pieces paint every pixel: no fill first.
  virtual bool SkinCoversFace() const { return false; }
  // A font with the skin's character set applied: Qt fonts are Unicode, so
  // nothing changes; kept as the one place fonts pass through.
  QFont WithCharSet(const QFont& f) const { return f; }
  bool ResourceCharSet() const;

  QPointer<TtwSkinData> skinData_;
  QString skinDataName_;
  QString hintTitle_;
  int hintImageIndex_ = 0;
  TImageListRef hintImageList_;
  int recordIndex_ = -1;
  QString caption_;
  // The part of the face a paint will show; parts of a face outside it may
  // be left undrawn.
  QRegion paintRegion_;
};

// Windowed: takes the focus when its class wants it, has a region, hears
// the background-changed message.
class TtwSkinControl : public TtwSkinWidget {
  Q_OBJECT
 public:
  explicit TtwSkinControl(QWidget* parent = nullptr);
  ~TtwSkinControl() override;

  bool IsWindowedSkinControl() const override { return true; }
  bool PaintingFromSystem() const { return paintingFromSystem_; }
  virtual void BackgroundChanged() {}
  // Sends the background-changed message to every child control.
  void NotifyChildrenBackground();

 protected:
  bool event(QEvent* e) override;
  void paintEvent(QPaintEvent* e) override;

  bool paintingFromSystem_ = false;
};

// The custom parts both families share: default font and sizes, the record's
// geometry, fitting and piece drawing.
template <class Base>
class TtwSkinCustomParts : public Base {
 public:
  explicit TtwSkinCustomParts(QWidget* parent);

  int DefaultWidth() const { return defaultWidth_; }
  void SetDefaultWidth(int w);
  int DefaultHeight() const { return defaultHeight_; }
  void SetDefaultHeight(int h);
  QFont DefaultFont() const { return defaultFont_; }
  void SetDefaultFont(const QFont& f);
  QColor DefaultFontColor() const { return defaultFontColor_; }
  void SetDefaultFontColor(const QColor& c);
  bool UseSkinFont() const { return useSkinFont_; }
  void SetUseSkinFont(bool v) {
    useSkinFont_ = v;
    this->update();
  }
  const TtwSkinGeometry& Geometry() const { return geo_; }
  int PieceMode() const { return geo_.PieceMode; }
  virtual void DefaultFontChanged() {}
  virtual void FitToSkin(int& width, int& height);
  TRect MapSkinRect(const TRect& r) const { return geo_.Map(r, this->width(), this->height()); }

  void FindSkinRecord() override;
  void PaintDefault(QImage& bitmap) override;
  void PaintSkin(QImage& bitmap) override;
  void ApplySkin() override;
  void SetBounds(int left, int top, int width, int height) override;

 protected:
  bool SkinCoversFace() const override {
    return this->recordIndex_ != -1 && geo_.PieceMode != pmNone && !geo_.SourcePicture.isNull();
  }
  // Windowed controls update their region here.
  virtual void SizeFitted() {}

  int defaultWidth_ = 0, defaultHeight_ = 0;
  QFont defaultFont_;
  QColor defaultFontColor_ = SystemColor(COLOR_BTNTEXT);
  bool useSkinFont_ = true;
  TtwSkinGeometry geo_;
};

class TtwSkinCustomControl : public TtwSkinCustomParts<TtwSkinControl> {
  Q_OBJECT
 public:
  explicit TtwSkinCustomControl(QWidget* parent = nullptr);
  ~TtwSkinCustomControl() override;

  bool CompositePaint() const { return compositePaint_; }
  void SetCompositePaint(bool v) { compositePaint_ = v; }
  bool FillClientFromSkin() const { return fillClientFromSkin_; }
  void SetFillClientFromSkin(bool v) { fillClientFromSkin_ = v; }

  virtual void UpdateRegion();
  // Mode 1 pieces are left to the composite path when it is on.
  void PaintSkin(QImage& bitmap) override { geo_.PaintPiece(bitmap, geo_.PieceRect, UsesComposite()); }
  // A record without a client piece has no bands to split: it is drawn whole.
  bool UsesComposite() const {
    return compositePaint_ && geo_.PieceMode == pmNinePiece && !geo_.SkinClientRect.IsEmpty();
  }

 protected:
  void SizeFitted() override { UpdateRegion(); }
  bool SkinCoversFace() const override {
    return TtwSkinCustomParts::SkinCoversFace() && (!UsesComposite() || fillClientFromSkin_);
  }
  void PaintFace(QImage& bitmap) override;
  // The frame bands, the client fill and PaintSkin on the top band.
  void PaintComposite(QImage& bitmap);

  bool compositePaint_ = false;
  bool fillClientFromSkin_ = true;

 private:
  // What the composite bands were last composed from: the same picture,
  // pieces and size compose the same bands, so they are kept.
  struct TBandsKey {
    qint64 Picture = 0;
    TRect Piece;
    TPieceAnchors Skin, Fit;
    int W = -1, H = -1;
    TEdgeStretch Edges;
    friend bool operator==(const TBandsKey&, const TBandsKey&) = default;
  };
  TBandsKey bandsKey_;
  QImage bands_[4];  // top, bottom, left, right of the composite path
  QImage topFace_;   // the top band with what PaintSkin draws on it
};

// Windowless: never takes the focus.
class TtwGraphicSkinControl : public TtwSkinWidget {
  Q_OBJECT
 public:
  explicit TtwGraphicSkinControl(QWidget* parent = nullptr);
  ~TtwGraphicSkinControl() override;
  bool IsWindowedSkinControl() const override { return false; }
};

class TtwGraphicSkinCustomControl : public TtwSkinCustomParts<TtwGraphicSkinControl> {
  Q_OBJECT
 public:
  explicit TtwGraphicSkinCustomControl(QWidget* parent = nullptr);
};

extern template class TtwSkinCustomParts<TtwSkinControl>;
extern template class TtwSkinCustomParts<TtwGraphicSkinControl>;

// The skin-change walk a skinned form makes over its controls: before the
// change windowed controls of `data` forget their records; after it every
// control of `data` (every control when data is null) applies the new skin.
void ForgetSkinRecords(QWidget* root, TtwSkinData* data);
void ApplySkinToControls(QWidget* root, TtwSkinData* data);
