// The framework's alignment layout: aligned children take their edge in
// creation order, anchored ones follow their parent's client size.
#include "platform/Align.h"

#include <QCoreApplication>
#include <QEvent>
#include <QHash>
#include <QPointer>
#include <QWidget>

namespace {

const char* const kAlign = "tw_align";
const char* const kAnchors = "tw_anchors";
const char* const kHosted = "tw_align_hosted";
const char* const kWatched = "tw_align_watched";
const char* const kDisabled = "tw_align_disabled";
const char* const kBusy = "tw_align_busy";
const char* const kLastSize = "tw_align_last_size";

// Watches containers (resize, children leaving) and aligned children (shown,
// hidden, resized, moved to another parent).
class AlignWatcher : public QObject {
 public:
  static AlignWatcher* Instance() {
    static AlignWatcher* w = [] {
      auto* a = new AlignWatcher;
      // Lives as long as the application object.
      if (QCoreApplication::instance()) a->setParent(QCoreApplication::instance());
      return a;
    }();
    return w;
  }

 protected:
  bool eventFilter(QObject* o, QEvent* e) override;
};

bool IsBusy(const QWidget* w) { return w->property(kBusy).toBool(); }

void Host(QWidget* parent) {
  if (!parent || parent->property(kHosted).toBool()) return;
  parent->setProperty(kHosted, true);
  parent->setProperty(kLastSize, AlignClientRectOf(parent).size());
  parent->installEventFilter(AlignWatcher::Instance());
}

void Watch(QWidget* child) {
  if (child->property(kWatched).toBool()) return;
  child->setProperty(kWatched, true);
  child->installEventFilter(AlignWatcher::Instance());
}

// Non-aligned children follow the anchored edges by the parent's size change.
void ApplyAnchors(QWidget* parent, const QSize& oldSize, const QSize& newSize) {
  const int dw = newSize.width() - oldSize.width();
  const int dh = newSize.height() - oldSize.height();
  if (dw == 0 && dh == 0) return;
  for (QObject* o : parent->children()) {
    auto* c = qobject_cast<QWidget*>(o);
    if (!c || c->isWindow() || WidgetAlign(c) != TAlign::alNone) continue;
    const TAnchors a = WidgetAnchors(c);
    if (a == DefaultAnchors()) continue;
    QRect g = c->geometry();
    int x = g.x(), y = g.y(), w = g.width(), h = g.height();
    if (a & akRight) {
      if (a & akLeft) w += dw; else x += dw;
    } else if (!(a & akLeft)) {
      x += dw / 2;  // neither: keeps its place relative to the centre
    }
    if (a & akBottom) {
      if (a & akTop) h += dh; else y += dh;
    } else if (!(a & akTop)) {
      y += dh / 2;
    }
    SetWidgetBounds(c, x, y, w < 0 ? 0 : w, h < 0 ? 0 : h);
  }
}

// Anchors follow the client area, not the outer size: a frame growing
// around an unchanged client area moves nothing.
void Relayout(QWidget* parent) {
  const QSize cur = AlignClientRectOf(parent).size();
  const QVariant last = parent->property(kLastSize);
  if (last.isValid() && last.toSize() != cur) {
    parent->setProperty(kLastSize, cur);
    ApplyAnchors(parent, last.toSize(), cur);
  } else {
    parent->setProperty(kLastSize, cur);
  }
  AlignChildren(parent);
}

bool AlignWatcher::eventFilter(QObject* o, QEvent* e) {
  auto* w = qobject_cast<QWidget*>(o);
  if (!w) return false;
  switch (e->type()) {
    case QEvent::Resize:
      if (w->property(kHosted).toBool() && !IsBusy(w)) Relayout(w);
      if (WidgetAlign(w) != TAlign::alNone && w->parentWidget() && !IsBusy(w->parentWidget()))
        AlignChildren(w->parentWidget());
      break;
    case QEvent::ShowToParent:
    case QEvent::HideToParent:
      if (WidgetAlign(w) != TAlign::alNone && w->parentWidget()) AlignChildren(w->parentWidget());
      break;
    case QEvent::ParentChange:
      if (WidgetAlign(w) != TAlign::alNone && w->parentWidget()) {
        Host(w->parentWidget());
        AlignChildren(w->parentWidget());
      }
      break;
    case QEvent::ChildRemoved:
      if (w->property(kHosted).toBool()) {
        // The child may be half destroyed: realign once control returns.
        QPointer<QWidget> guard(w);
        QMetaObject::invokeMethod(
            w, [guard] { if (guard) AlignChildren(guard); }, Qt::QueuedConnection);
      }
      break;
    default:
      break;
  }
  return false;
}

}  // namespace

void SetWidgetBounds(QWidget* w, int left, int top, int width, int height) {
  if (!w) return;
  if (auto* t = dynamic_cast<TBoundsTarget*>(w)) {
    t->SetBounds(left, top, width, height);
    return;
  }
  const QSize old = w->size();
  w->setGeometry(left, top, width < 0 ? 0 : width, height < 0 ? 0 : height);
  BoundsChanged(w, old);
}

void BoundsChanged(QWidget* w, const QSize& oldSize) {
  if (!w) return;
  // Hidden widgets get their resize event only when shown; lay out now.
  if (w->size() != oldSize && w->property(kHosted).toBool() && !IsBusy(w)) Relayout(w);
  QWidget* p = w->parentWidget();
  if (p && !w->isWindow() && WidgetAlign(w) != TAlign::alNone && !IsBusy(p)) AlignChildren(p);
}

void SetWidgetAlign(QWidget* w, TAlign align) {
  if (!w) return;
  const TAlign old = WidgetAlign(w);
  w->setProperty(kAlign, int(align));
  Watch(w);
  if (QWidget* p = w->parentWidget()) {
    Host(p);
    if (old != align) AlignChildren(p);
  }
}

TAlign WidgetAlign(const QWidget* w) {
  const QVariant v = w ? w->property(kAlign) : QVariant();
  return v.isValid() ? TAlign(v.toInt()) : TAlign::alNone;
}

void SetWidgetAnchors(QWidget* w, TAnchors anchors) {
  if (!w) return;
  w->setProperty(kAnchors, int(anchors));
  if (QWidget* p = w->parentWidget()) Host(p);
}

TAnchors WidgetAnchors(const QWidget* w) {
  const QVariant v = w ? w->property(kAnchors) : QVariant();
  return v.isValid() ? TAnchors(v.toInt()) : DefaultAnchors();
}

QRect AlignClientRectOf(const QWidget* parent) {
  if (auto* h = dynamic_cast<const TAlignHost*>(parent)) return h->AlignClientRect();
  return parent->contentsRect();
}

void DisableAlign(QWidget* parent) {
  if (parent) parent->setProperty(kDisabled, parent->property(kDisabled).toInt() + 1);
}

void EnableAlign(QWidget* parent) {
  if (!parent) return;
  const int n = parent->property(kDisabled).toInt();
  parent->setProperty(kDisabled, n > 0 ? n - 1 : 0);
  AlignChildren(parent);
}

void AlignChildren(QWidget* parent) {
  if (!parent || IsBusy(parent) || parent->property(kDisabled).toInt() > 0) return;
  parent->setProperty(kBusy, true);
  const QRect cr = AlignClientRectOf(parent);
  int l = cr.x(), t = cr.y(), r = cr.x() + cr.width(), b = cr.y() + cr.height();

  // Children in creation order, grouped by alignment in the framework's order.
  QList<QWidget*> kids;
  for (QObject* o : parent->children()) {
    auto* c = qobject_cast<QWidget*>(o);
    if (c && !c->isWindow() && !c->isHidden() && WidgetAlign(c) != TAlign::alNone) kids << c;
  }
  const TAlign order[] = {TAlign::alTop, TAlign::alBottom, TAlign::alLeft, TAlign::alRight,
                          TAlign::alClient};
  for (TAlign a : order) {
    for (QWidget* c : kids) {
      if (WidgetAlign(c) != a) continue;
      const int w = c->width(), h = c->height();
      switch (a) {
        case TAlign::alTop:
          SetWidgetBounds(c, l, t, r - l, h);
          t += c->height();
          break;
        case TAlign::alBottom:
          SetWidgetBounds(c, l, b - h, r - l, h);
          if (c->height() != h) c->move(c->x(), b - c->height());
          b -= c->height();
          break;
        case TAlign::alLeft:
          SetWidgetBounds(c, l, t, w, b - t);
          l += c->width();
          break;
        case TAlign::alRight:
          SetWidgetBounds(c, r - w, t, w, b - t);
          if (c->width() != w) c->move(r - c->width(), c->y());
          r -= c->width();
          break;
        case TAlign::alClient:
          SetWidgetBounds(c, l, t, r - l, b - t);
          break;
        default:
          break;
      }
      if (r < l) r = l;
      if (b < t) b = t;
    }
  }
  parent->setProperty(kBusy, false);
}
