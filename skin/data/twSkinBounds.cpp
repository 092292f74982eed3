// One bound for every number a skin description holds, applied once after a
// load: rectangles and points within the skin's pictures, sizes and offsets
// within a screen, font heights, intervals and alpha values within reason.
#include "skin/data/twSkinBounds.h"

#include <algorithm>

#include "skin/data/twSkinDescription.h"
#include "skin/data/twSkinPackage.h"

namespace {

class TBounder final : public TtwFieldVisitor {
 public:
  TBounder(TtwSkinExtent pictures, QStringList& log) : log_(log) {
    // A skin without pictures has nothing to place; sizes still get a bound.
    width_ = pictures.width > 0 ? pictures.width : kMaxSkinExtent;
    height_ = pictures.height > 0 ? pictures.height : kMaxSkinExtent;
  }
  void Section(const QString& name) { section_ = name; }

  void String(const char*, QString&, const QString&) override {}
  void Color(const char*, TColor&, TColor) override {}
  void Bool(const char*, bool&) override {}
  void FontStyle(const char*, uint8_t&) override {}
  void StretchType(const char*, uint8_t&) override {}
  void MorphKind(const char*, uint8_t&) override {}
  void Alignment(const char*, uint8_t&) override {}
  void Command(const char*, uint8_t&) override {}

  void Integer(const char* key, int32_t& f, int32_t def) override {
    const QLatin1String k(key);
    int32_t low = -kMaxSkinExtent, high = kMaxSkinExtent;
    if (k.endsWith(QLatin1String("interval"))) low = 0, high = kMaxSkinIntervalMs;
    else if (k.endsWith(QLatin1String("alphablendvalue"))) low = 0, high = 255;
    else if (k.endsWith(QLatin1String("fontheight"))) low = -kMaxSkinFontHeight, high = kMaxSkinFontHeight;
    if (f >= low && f <= high) return;
    Note(key, QString::number(f));
    f = def;
  }
  void Rect(const char* key, TRect& f) override {
    // Reading drops signs, so only the far edges can run off.
    if (std::max(f.Left, f.Right) <= width_ && std::max(f.Top, f.Bottom) <= height_) return;
    Note(key, QStringLiteral("%1,%2,%3,%4").arg(f.Left).arg(f.Top).arg(f.Right).arg(f.Bottom));
    f = TRect{};
  }
  void Point(const char* key, TPoint& f) override {
    if (f.X <= width_ && f.Y <= height_) return;
    Note(key, QStringLiteral("%1,%2").arg(f.X).arg(f.Y));
    f = TPoint{};
  }

 private:
  void Note(const char* key, const QString& value) {
    log_.append(QStringLiteral("[%1] %2: %3").arg(section_, QLatin1String(key), value));
  }
  QStringList& log_;
  QString section_;
  int32_t width_, height_;
};

}  // namespace

TtwSkinExtent TwPackageExtent(const TtwSkinPackage& pkg) {
  TtwSkinExtent e;
  auto take = [&e](const TtwBitmap& b) {
    e.width = std::max(e.width, b.Width());
    e.height = std::max(e.height, b.Height());
  };
  take(pkg.Picture);
  take(pkg.InactivePicture);
  take(pkg.Mask);
  for (const TtwBitmap& b : pkg.ActivePictures) take(b);
  return e;
}

QStringList TwBoundSkinValues(TtwSkinDescription& d, TtwSkinExtent pictures) {
  QStringList log;
  TBounder b(pictures, log);
  b.Section(QStringLiteral("FORMINFO"));
  d.form.VisitFields(b);
  b.Section(QStringLiteral("POPUPWINDOW"));
  d.popup.VisitFields(b);
  b.Section(QStringLiteral("HINTWINDOW"));
  d.hint.VisitFields(b);
  for (TtwDataSkinObject* r : d.objects) {
    b.Section(r->IDName);
    r->VisitFields(b);
  }
  for (TtwDataSkinControl* r : d.controls) {
    b.Section(r->IDName);
    r->VisitFields(b);
  }
  return log;
}
