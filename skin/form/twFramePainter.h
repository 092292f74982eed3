#pragma once
// Paints a skinned frame from what it is given: the frame's geometry, the
// skin's pictures, the caption objects (each draws its own look) and the
// active flag. It keeps the band pictures between paints and asks nothing
// of the window.
#include <QColor>
#include <QFont>
#include <QImage>
#include <QPixmap>
#include <QPointer>
#include <QRegion>
#include <memory>
#include <vector>

#include "skin/data/twSkinData.h"
#include "skin/draw/twUtils.h"
#include "skin/form/twFrameGeometry.h"
#include "skin/form/twSkinObjects.h"

class QPainter;

// One paint's input.
struct TtwFramePaint {
  const TtwFrameGeometry* Geometry = nullptr;  // W and H are the window's size
  const std::vector<std::unique_ptr<TtwActiveSkinObject>>* Objects = nullptr;
  bool Active = true;
  QRect Client;  // the client area, window coordinates
  // The skinless look's caption.
  QString Caption;
  int CaptionHeight = 0;
  QFont Font;
  QColor FontColor;
  // Centred on the client background when set.
  const QPixmap* Logo = nullptr;
};

class TtwFramePainter {
 public:
  // Takes the skin's frame and background pictures; null data: the skinless look.
  void SetSkin(TtwSkinData* data, const TtwFrameInfo& info);
  // Something an object draws changed: the composed inactive bands go.
  void Invalidate() { framesValid_ = false; }

  // The bands and objects, or the skinless look.
  void PaintFrame(QPainter& p, const TtwFramePaint& in);
  // The client area's background within clip.
  void PaintBackground(QPainter& p, const QRegion& clip, const TtwFramePaint& in) const;
  // The four clean band pictures for the geometry and look.
  void ComposeBands(const TtwFrameGeometry& g, bool active, QImage& top, QImage& bottom, QImage& left,
                    QImage& right);

 private:
  void UpdateBands(const TtwFrameGeometry& g, bool active);
  TEdgeStretch BandEdges(const QImage& picture) const;
  void PaintBands(QPainter& p, const TtwFramePaint& in);
  void ComposeFinalBands(const TtwFramePaint& in);
  void PaintSkinless(QPainter& p, const TtwFramePaint& in) const;
  static void DrawBands(QPainter& p, int W, int H, const QImage& top, const QImage& bottom, const QImage& left,
                        const QImage& right);

  QPointer<TtwSkinData> data_;
  TtwFrameInfo info_;
  // Band pictures of the frame picture, keyed by the one size each follows.
  struct BandPair {
    int Size = -1;
    bool Active = true;
    QImage First, Second;  // top and bottom, or left and right
  };
  BandPair hBands_, vBands_;
  TEdgeStretch frameEdges_, inactiveEdges_;  // how each band of the two pictures is filled
  QImage scratch_[2];                        // the bands a pass composes but does not keep
  QImage framePicture_, inactivePicture_;    // the skin's frame pictures, opaque 32-bit
  QImage background_;                        // the client background picture of the skin
  QColor backgroundColor_;                   // set when that picture is one colour
  QImage top_, bottom_, left_, right_;       // as shown: objects in, effect applied
  bool framesValid_ = false, framesActive_ = true;
};
