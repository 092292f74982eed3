#pragma once
// Edge alignment of child widgets, the way the program's windows expect it:
// aligned children are placed in creation order (hidden ones take no room),
// top ones stack down from the top edge, bottom ones up from the bottom,
// left ones line up from the left edge, right ones from the right edge, and
// a client-aligned child fills what is left. Non-aligned children follow
// their anchors when the parent is resized.
#include <QFlags>
#include <QRect>
#include <QSize>

class QWidget;

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

enum TAnchorKind { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };
Q_DECLARE_FLAGS(TAnchors, TAnchorKind)
Q_DECLARE_OPERATORS_FOR_FLAGS(TAnchors)
inline constexpr TAnchors DefaultAnchors() { return TAnchors(akLeft) | akTop; }

// A widget whose size changes must pass through its own rule (size fitting)
// implements this; the layout then places it through SetBounds.
class TBoundsTarget {
 public:
  virtual ~TBoundsTarget() = default;
  virtual void SetBounds(int left, int top, int width, int height) = 0;
};

// A container whose children are aligned inside something other than its
// contents rectangle (a caption band, a scrolled strip) implements this.
class TAlignHost {
 public:
  virtual ~TAlignHost() = default;
  virtual QRect AlignClientRect() const = 0;
};

// Placing any widget: through SetBounds when it is a TBoundsTarget, else
// QWidget::setGeometry.
void SetWidgetBounds(QWidget* w, int left, int top, int width, int height);
inline void SetWidgetBounds(QWidget* w, const QRect& r) {
  SetWidgetBounds(w, r.x(), r.y(), r.width(), r.height());
}

// Setting an alignment installs the layout on the widget's parent (once) and
// realigns the parent's children at once.
void SetWidgetAlign(QWidget* w, TAlign align);
TAlign WidgetAlign(const QWidget* w);
void SetWidgetAnchors(QWidget* w, TAnchors anchors);
TAnchors WidgetAnchors(const QWidget* w);

// The rectangle children are aligned in: AlignClientRect of a TAlignHost,
// else the contents rectangle.
QRect AlignClientRectOf(const QWidget* parent);

// Lays out the aligned children of parent now. Does nothing while alignment
// is disabled for parent (a rolled-up panel) or already running for it.
void AlignChildren(QWidget* parent);
// To be called after a widget's geometry was set outside the layout (our
// controls' SetBounds does it): lays out its own children when its size
// changed, and realigns its parent when it is aligned there.
void BoundsChanged(QWidget* w, const QSize& oldSize);
void DisableAlign(QWidget* parent);
void EnableAlign(QWidget* parent);  // realigns
