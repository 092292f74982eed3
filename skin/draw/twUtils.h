#pragma once
// Skin drawing primitives: fitting skin picture pieces into rectangles of any
// size, regions from mask pictures, glyph and caption layout, text helpers and
// small marks. All are stateless free functions; callers own every image and
// region they pass in or get back. Pictures are QImages; 32-bit formats are
// used directly, others are converted on the way in.
#include <QImage>
#include <QList>
#include <QRegion>
#include <QString>
#include <cstdint>
#include <vector>

#include "skin/data/twTypes.h"
#include "skin/draw/twSystemColors.h"

class QPainter;
class QWidget;

// ---- small geometry helpers ------------------------------------------------
inline int RectWidth(const TRect& r) { return r.Right - r.Left; }
inline int RectHeight(const TRect& r) { return r.Bottom - r.Top; }
inline bool IsNullRect(const TRect& r) { return r.Width() <= 0 || r.Height() <= 0; }
// Right and bottom count as inside here, unlike TRect's pixel coverage.
inline bool PointInRect(const TPoint& p, const TRect& r) {
  return r.Left <= p.X && p.X <= r.Right && r.Top <= p.Y && p.Y <= r.Bottom;
}
inline bool RectInRect(const TRect& inner, const TRect& outer) {
  return PointInRect(TPoint{inner.Left, inner.Top}, outer) &&
         PointInRect(TPoint{inner.Right, inner.Bottom}, outer);
}
inline TRect MakeRect(int l, int t, int r, int b) { return TRect{l, t, r, b}; }

// ---- piece geometry --------------------------------------------------------
// How a skin piece is fitted to a target.
enum TPieceMode : int {
  pmNone = -1,        // no piece: the caller draws its default look
  pmFixed = 0,        // copied 1:1, the target takes the piece's size
  pmNinePiece = 1,
  pmThreePieceH = 2,
  pmThreePieceV = 3,
};

// A piece's four inner corner points and client rectangle, relative to the
// piece's top-left corner.
struct TPieceAnchors {
  TPoint LT, RT, LB, RB;
  TRect ClRect;
  friend bool operator==(const TPieceAnchors&, const TPieceAnchors&) = default;
};

int PieceMode(const TRect& SkinRect, const TPieceAnchors& a);

// The anchors of a W x H target: corners keep their size, edges and centre
// take up the difference.
TPieceAnchors ShiftAnchors(int Mode, const TRect& SkinRect, const TPieceAnchors& a, int W, int H);

// Stretch flags of the four edges (true = stretch, false = tile).
struct TEdgeStretch {
  bool Left = false, Top = false, Right = false, Bottom = false;
  friend bool operator==(const TEdgeStretch&, const TEdgeStretch&) = default;
};

// StretchType of a stretched centre.
enum TStretchType : int { stFull = 0, stHorz = 1, stVert = 2 };

// Target images are (re)allocated only when their size differs; a new image
// takes the source's 32-bit format and starts transparent black.
void ComposeNinePiece(const QImage& Src, const TRect& SkinRect, const TPieceAnchors& a, int W, int H,
                      const TPieceAnchors& n, const TEdgeStretch& edges, bool DrawCentre,
                      bool CentreStretch, int StretchType, QImage& Target);
void ComposeThreePieceH(const QImage& Src, const TRect& SkinRect, int LeftW, int RightW, bool Stretch,
                        int W, QImage& Target);
void ComposeThreePieceV(const QImage& Src, const TRect& SkinRect, int TopH, int BottomH, bool Stretch,
                        int H, QImage& Target);
void ComposeMiddleH(const QImage& Src, const TRect& SkinRect, int LeftW, int RightW, bool Stretch, int W,
                    QImage& Target);
// Target must already have its size; ClRect is relative to SrcRect.
void ComposeClientStretched(QImage& Target, const QImage& Src, const TRect& SrcRect, const TRect& ClRect,
                            bool DrawCentre);
void ComposeBorderBands(const QImage& Src, const TRect& SkinRect, const TPieceAnchors& a,
                        const TPieceAnchors& n, int W, int H, const TEdgeStretch& edges, QImage& Top,
                        QImage& Bottom, QImage& Left, QImage& Right);
void ComposeMaskBands(const QImage& Mask, const TPieceAnchors& a, const TPieceAnchors& n, int W,
                      QImage& Top, QImage& Bottom, QImage& Left, QImage& Right);

// Pixel copy of Src's rectangle s into Dst's rectangle d, by nearest pixel
// when the sizes differ. Empty rectangles copy nothing (never mirrored);
// pixels outside either image are skipped.
void CopyPixels(QImage& Dst, const TRect& d, const QImage& Src, const TRect& s);
// Tiles piece s of Src along band d from its start, cutting the last tile.
void TileH(QImage& Dst, const TRect& d, const QImage& Src, const TRect& s);
void TileV(QImage& Dst, const TRect& d, const QImage& Src, const TRect& s);
// Source column for destination column c of a nearest-pixel stretch of sw
// source columns onto dw (halves round to even, never past the last column).
int StretchSourceIndex(int c, int sw, int dw);

// ---- regions ---------------------------------------------------------------
// Run rectangles of a mask: one per maximal run of pure-black pixels per row.
struct TRegionData {
  TRect Bound;               // (dx, dy, dx + width, dy + height)
  std::vector<QRect> Rects;  // y-x sorted, ready for QRegion::setRects
  // Size the operating system's region-data layout would take.
  size_t SizeInBytes() const { return Rects.empty() && Bound.IsEmpty() ? 0 : 32 + 16 * Rects.size(); }
};
TRegionData MaskToRunList(const QImage& Bmp, int dx, int dy);
QRegion RegionFromRunList(const TRegionData& data);
// An empty QRegion means "no region": the window stays rectangular.
QRegion RegionFromMask(const QImage& Bmp);
QRegion FrameRegionFromMask(const QImage& Mask, const TPieceAnchors& a, const TPieceAnchors& n, int W);

// ---- glyphs and text -------------------------------------------------------
void DrawStripFrame(QPainter& Canvas, int x, int y, int FrameNumber, int FrameCount, const QImage& Strip);

struct TGlyphTextLayout {
  TPoint Glyph, Text;
  friend bool operator==(const TGlyphTextLayout&, const TGlyphTextLayout&) = default;
};
// Layout 0 glyph left, 1 right, 2 above, 3 below; Margin -1 centres the pair.
TGlyphTextLayout LayoutGlyphText(int Layout, const TRect& R, int GlyphW, int GlyphH, int TextW, int TextH,
                                 int Margin, int Spacing);
void DrawListGlyphText(QPainter& Canvas, const TRect& R, const QString& Caption, const QList<QImage>& Images,
                       int ImageIndex, int Layout, int Margin, int Spacing, bool Enabled, bool PressedOffset,
                       bool Marker, TColor MarkerColor);
void DrawStripGlyphText(QPainter& Canvas, const TRect& R, const QString& Caption, const QImage& Strip,
                        int FrameCount, int FrameNumber, int Layout, int Margin, int Spacing,
                        bool PressedOffset, bool Marker, TColor MarkerColor);

void PaintUnderlay(QWidget* Control, QPainter& Canvas);

void FitTextEllipsis(QPainter& Canvas, QString& Text, int Width);
void FitWideTextEllipsis(QPainter& Canvas, QString& Text, int Width);
// Flags are Qt::AlignmentFlag | Qt::TextFlag values; returns the text height.
int DrawWideText(QPainter& Canvas, const QString& Text, const TRect& R, int Flags);
int WideTextWidth(QPainter& Canvas, const QString& Text);
int WideTextHeight(QPainter& Canvas, const QString& Text);
void DrawTextVCenter(QPainter& Canvas, const QString& Text, const TRect& R);
void DrawTextIndented(QPainter& Canvas, const QString& Text, const TRect& R, int ExtraIndent = 0);
void DrawDottedFocus(QPainter& Canvas, const TRect& R);

// ---- colours and marks -----------------------------------------------------
TColor ColorToRGB(TColor c);   // 0x00BBGGRR with system colours resolved
TColor ShadeColor(TColor c, int Percent);
void DrawDropMark(QPainter& Canvas, const TRect& R, TColor c);
void DrawArrowMark(QPainter& Canvas, const TRect& R, TColor c, int Direction);
void DrawCheckMark(QPainter& Canvas, int x, int y, TColor c);
void DrawFrame3D(QPainter& Canvas, const TRect& R, TColor Light, TColor Dark);
TRect GetMonitorArea(const QWidget* Window, bool WorkArea);
