// Glow frames: a translucent window that never takes input or focus, faded
// in on a timer.
#include "skin/draw/twLayerWindow.h"

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <QPainter>
#include <algorithm>

#include "skin/draw/twGuard.h"

TtwLayerWindow::TtwLayerWindow()
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus |
                           Qt::NoDropShadowWindowHint) {
  setAttribute(Qt::WA_TranslucentBackground);
  setAttribute(Qt::WA_ShowWithoutActivating);
  setAttribute(Qt::WA_NoSystemBackground);
  setFocusPolicy(Qt::NoFocus);
}

void TtwLayerWindow::SetPicture(const QImage& Picture) {
  picture_ = Picture;
  update();
}

void TtwLayerWindow::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setCompositionMode(QPainter::CompositionMode_Source);
  p.fillRect(rect(), Qt::transparent);
  p.drawImage(0, 0, picture_);
}

TtwLayerManager::TtwLayerManager(QObject* Owner) : QObject(Owner) {
  timer_.setInterval(25);
  connect(&timer_, &QTimer::timeout, this, &TtwLayerManager::FadeTick);
}

TtwLayerManager::~TtwLayerManager() {
  timer_.stop();
  window_.reset();
  bitmap_.reset();
}

namespace {

// On X11 a translucent window looks right only while a compositing manager
// runs, which is when the _NET_WM_CM_S<screen> selection has an owner. Asked
// on every show, so glow frames come back as soon as a compositor starts.
bool X11CompositorRuns() {
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  xcb_connection_t* c = x11 ? x11->connection() : nullptr;
  if (!c) return false;
  static xcb_atom_t atom = XCB_ATOM_NONE;
  if (atom == XCB_ATOM_NONE) {
    // The screen number follows the display name's ".N", as every X client reads it.
    const QByteArray display = qgetenv("DISPLAY");
    const int dot = display.lastIndexOf('.'), colon = display.lastIndexOf(':');
    const QByteArray screen = dot > colon ? display.mid(dot + 1) : QByteArray("0");
    const QByteArray name = "_NET_WM_CM_S" + screen;
    xcb_intern_atom_reply_t* r =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(name.size()), name.constData()), nullptr);
    if (!r) return false;
    atom = r->atom;
    free(r);
  }
  xcb_get_selection_owner_reply_t* owner = xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, atom), nullptr);
  const bool runs = owner && owner->owner != XCB_WINDOW_NONE;
  free(owner);
  return runs;
}

}  // namespace

bool TtwLayerManager::LayeredSupported() {
  if (!qGuiApp) return false;
  // Other platforms (offscreen among them) compose translucent windows
  // themselves; the state runs there even with nothing to show.
  if (QGuiApplication::platformName() != QLatin1String("xcb")) return true;
  return X11CompositorRuns();
}

void TtwLayerManager::ShowLayer(int x, int y, int Opacity, const QImage& Mask, const QImage& Picture) {
  if (!LayeredSupported()) return;
  if (window_) HideLayer();
  auto bitmap = std::make_unique<TtwBitmap32>();
  // A glow past the surface budget is left out: the control shows without it.
  const bool made = TwGuarded("glow", [&] {
    bitmap->Assign(Picture);
    bitmap->AlphaFromMask(Mask);
  });
  if (!made || bitmap->Empty()) return;
  bitmap->Alpha = true;
  bitmap_ = std::move(bitmap);
  visible_ = true;
  window_ = std::make_unique<TtwLayerWindow>();
  window_->setGeometry(x, y, std::max(1, bitmap_->Width()), std::max(1, bitmap_->Height()));
  if (!TopMost) window_->setWindowFlag(Qt::WindowStaysOnTopHint, false);
  Push(0);
  window_->show();
  target_ = std::clamp(Opacity, 0, 255);
  step_ = target_ / 10;
  current_ = 0;
  timer_.start();
}

void TtwLayerManager::FadeTick() {
  if (!window_) {
    timer_.stop();
    return;
  }
  // A target below 10 gives a step of 0: jump straight to it instead of
  // ticking for ever.
  current_ = step_ > 0 ? std::min(current_ + step_, target_) : target_;
  Push(current_);
  if (current_ >= target_) timer_.stop();
}

void TtwLayerManager::HideLayer() {
  if (!LayeredSupported()) return;
  timer_.stop();
  bitmap_.reset();
  visible_ = false;
  if (window_) {
    window_->hide();
    window_.reset();
  }
}

void TtwLayerManager::Push(int Opacity) {
  if (!window_ || !bitmap_) return;
  window_->SetPicture(bitmap_->Image());
  window_->setWindowOpacity(Opacity / 255.0);
}
