#pragma once
// Glow frames: a click-through, non-activating, translucent top-level window
// showing a per-pixel-alpha picture that fades in.
#include <QImage>
#include <QObject>
#include <QTimer>
#include <QWidget>
#include <memory>

#include "skin/draw/tweffects.h"

class TtwLayerWindow : public QWidget {
  Q_OBJECT
 public:
  TtwLayerWindow();
  void SetPicture(const QImage& Picture);
  const QImage& Picture() const { return picture_; }

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  QImage picture_;
};

class TtwLayerManager : public QObject {
  Q_OBJECT
 public:
  explicit TtwLayerManager(QObject* Owner = nullptr);
  ~TtwLayerManager() override;

  // Shows Picture at (x, y) in screen coordinates with its alpha taken from
  // Mask, fading in to Opacity (0..255).
  void ShowLayer(int x, int y, int Opacity, const QImage& Mask, const QImage& Picture);
  void HideLayer();
  // One step of the fade; the timer calls it every 25 ms.
  void FadeTick();

  bool TopMost = true;
  bool Visible() const { return visible_; }
  int TargetOpacity() const { return target_; }
  int OpacityStep() const { return step_; }
  int CurrentOpacity() const { return current_; }
  bool Fading() const { return timer_.isActive(); }
  TtwLayerWindow* Window() const { return window_.get(); }
  const TtwBitmap32* Bitmap() const { return bitmap_.get(); }

  // Whether the display can show translucent top-level windows.
  static bool LayeredSupported();

 private:
  void Push(int Opacity);

  std::unique_ptr<TtwLayerWindow> window_;
  std::unique_ptr<TtwBitmap32> bitmap_;
  QTimer timer_;
  bool visible_ = false;
  int target_ = 0, step_ = 0, current_ = 0;
};
