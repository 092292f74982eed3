#pragma once
// Bitmap effects: a 24-bit working copy for inactive looks and morphing
// (TtwEffectBmp) and a 32-bit picture with alpha, colour key, nearest-pixel
// stretching and stack blur (TtwBitmap32), plus glowing and reflected text.
#include <QImage>
#include <QString>
#include <functional>

#include "skin/data/twTypes.h"

class QPainter;
class QPaintDevice;
class QRandomGenerator;

// A colour 0x00BBGGRR as the opaque pixel 0xFFRRGGBB (system colours resolved).
uint32_t ColorToPixel(TColor c);

class TtwEffectBmp {
 public:
  // Inactive effects and morph kinds, numbered as the skin records store them.
  enum : int { ieBrightness = 0, ieDarkness, ieGrayscale, ieNoise, ieSplitBlur, ieInvert };
  enum : int { mkDefault = 0, mkGradient, mkLeftGradient, mkRightGradient, mkLeftSlide, mkRightSlide, mkPush };

  explicit TtwEffectBmp(const QImage& Source);
  TtwEffectBmp(int W, int H);

  int Width() const { return img_.width(); }
  int Height() const { return img_.height(); }
  const QImage& Image() const { return img_; }
  QImage& Image() { return img_; }
  void Draw(QPainter& Canvas, int x, int y) const;

  void Brightness(double x);
  void Darkness(double x);
  void Greyscale();
  void Invert();
  void Noise(int Amount);
  void Noise(int Amount, QRandomGenerator& Rng);
  void SplitBlur(int Distance);
  // The effect of a skin's inactive-effect value with its fixed argument;
  // unknown values read as greyscale.
  void ApplyInactiveEffect(int Effect);

  // The receiver holds the normal picture, Other the hot one; X = 0 shows the
  // normal picture and X = 1 the hot one, whatever the kind.
  void Morph(const TtwEffectBmp& Other, double X, int Kind);
  void Blend(const TtwEffectBmp& Other, double X);
  void CentreGradient(const TtwEffectBmp& Other, double X);
  void LeftGradient(const TtwEffectBmp& Other, double X);
  void RightGradient(const TtwEffectBmp& Other, double X);
  void LeftSlide(const TtwEffectBmp& Other, double X);
  void RightSlide(const TtwEffectBmp& Other, double X);
  void Push(const TtwEffectBmp& Other, double X);

 private:
  bool SameSize(const TtwEffectBmp& o) const {
    return !img_.isNull() && o.img_.width() == img_.width() && o.img_.height() == img_.height();
  }
  // Handles X at or past the ends; true when nothing is left to do.
  bool MorphEnds(const TtwEffectBmp& Other, double X);
  QImage img_;  // Format_RGB32
};

// A live drawing surface, not a stored picture: skin packages keep theirs as
// bitmap files (TtwBitmap), which decode to the QImage this one is given.
class TtwBitmap32 {
 public:
  TtwBitmap32() = default;
  TtwBitmap32(int W, int H);
  ~TtwBitmap32();
  TtwBitmap32(const TtwBitmap32&) = delete;
  TtwBitmap32& operator=(const TtwBitmap32&) = delete;

  int Width() const { return img_.width(); }
  int Height() const { return img_.height(); }
  bool Empty() const { return img_.isNull(); }
  void SetSize(int W, int H);
  // ARGB32 pixels 0xAARRGGBB, not premultiplied.
  const QImage& Image() const { return img_; }
  QImage& Image() { return img_; }
  // A painter on the pixels, made on first use; ends before any resize.
  QPainter* Canvas();
  void ReleaseCanvas();

  QString Name;
  bool Transparent = false;
  bool Alpha = false;

  void Assign(const TtwBitmap32& Other);
  // 32-bit pictures keep their alpha (and set the alpha flag when it is
  // neither 0 nor 255 somewhere); other pictures become opaque.
  void Assign(const QImage& Picture);
  // Any other graphic: painted scaled over magenta; magenta pixels keep
  // their previous value.
  void AssignGraphic(int W, int H, const std::function<void(QPainter&, const QRect&)>& Paint);
  void AssignTo(QImage& Target) const;

  void FillAlpha(uint8_t Value);
  uint32_t Pixel(int x, int y) const;
  void SetPixel(int x, int y, uint32_t Value);
  uint32_t* ScanLine(int y);

  // Mode by the flags: alpha blend, else colour key 0x7F007F, else plain copy.
  void Draw(QPainter& Dc, int x, int y);
  void Draw(QPainter& Dc, const TRect& Src, const TRect& Dst);
  void Draw(TtwBitmap32& Dst, int x, int y);
  void Draw(TtwBitmap32& Dst, const TRect& Src, const TRect& DstRect);
  // The scanline path, onto any 32-bit image; Clip (in Dst's pixels), when
  // not null, limits what is touched.
  void DrawOnto(QImage& Dst, const TRect& Src, const TRect& DstRect, const QRect& Clip = QRect()) const;

  void StackBlur(int Radius);
  void MakeColorTransparent(TColor Color);
  void AlphaFromMask(const QImage& Mask);

  // The live bitmap whose pixels a paint device is, or null.
  static TtwBitmap32* FromDevice(const QPaintDevice* Device);

 private:
  QImage img_;
  QPainter* canvas_ = nullptr;
  bool registered_ = false;
};

// Text effects: the effect first, then the text itself in the canvas's font
// and pen colour with a clear background. Flags are Qt alignment/text flags.
void DrawGlowText(QPainter& Canvas, const QString& Text, const TRect& R, int Flags, int GlowSize,
                  TColor GlowColor, int Offset);
void DrawSoftGlowText(QPainter& Canvas, const QString& Text, const TRect& R, int Flags, TColor GlowColor);
void DrawReflectionText(QPainter& Canvas, const QString& Text, const TRect& R, int Flags, TColor Color,
                        int Offset);

// An inactive window's veil: Veil at alpha 170 blended over the client snapshot.
void BlendInactiveCover(TtwBitmap32& Veil, QImage& Snapshot);
