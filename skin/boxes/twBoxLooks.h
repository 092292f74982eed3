#pragma once
// The default looks shared by the input boxes: the engine's system colours,
// fixed faces and the drop-down button.
#include <QPainter>

#include "skin/controls/twSkinControlBase.h"

namespace twBoxLooks {

// The drop-down list and the date edit's calendar fade in alike: opacity
// steps of this much (of 255) every step.
inline constexpr int kDropDownFadeStepMs = 5;
inline constexpr int kDropDownFadeStep = 10;

// The default looks' colours: the engine's system colours and fixed faces.
namespace C {
using namespace twDefaultColors;
inline const QColor BtnFace = SystemColor(COLOR_BTNFACE), BtnShadow = SystemColor(COLOR_BTNSHADOW),
             BtnText = SystemColor(COLOR_BTNTEXT), GrayText = SystemColor(COLOR_GRAYTEXT),
             Window = SystemColor(COLOR_WINDOW), WindowText = SystemColor(COLOR_WINDOWTEXT),
             Highlight = SystemColor(COLOR_HIGHLIGHT), HighlightText = SystemColor(COLOR_HIGHLIGHTTEXT),
             PanelBorder = SystemColor(COLOR_ACTIVEBORDER);
}  // namespace C

// A small filled down arrow centred in r.
inline void DrawDownArrow(QPainter& p, const QRect& r, const QColor& c) {
  const int cx = r.left() + r.width() / 2, cy = r.top() + r.height() / 2;
  for (int i = 0; i < 4; ++i) p.fillRect(cx - 3 + i, cy - 1 + i, 7 - 2 * i, 1, c);
}

// The drop-down button of the default look, by state.
inline void DrawDropButton(QPainter& p, const QRect& r, bool hot, bool down, bool enabled) {
  QColor frame = C::BtnShadow, fill = C::BtnFace;
  if (down && hot) {
    frame = C::HotFrame;
    fill = C::DownFill;
  } else if (hot) {
    frame = C::HotFrame;
    fill = C::HotFill;
  }
  p.fillRect(r, fill);
  QRect b = r;
  DrawBevel(p, b, frame, frame);
  DrawDownArrow(p, r.translated(down && hot ? 1 : 0, down && hot ? 1 : 0),
                enabled ? C::BtnText : C::GrayText);
}

// One state piece `src` of a custom-control record (its corner points and
// stretch flags) composed as nine pieces to `size`: the edit's separate
// button and the calendar's marked day.
inline QImage ComposeRecordPiece(const TtwSkinData& data, const TtwDataSkinControl* record, const TRect& src,
                                 const QSize& size) {
  TtwSkinGeometry g;
  g.Bind(data, record, false);
  QImage img;
  const TPieceAnchors a = g.SkinAnchors();
  ComposeNinePiece(g.SourcePicture, src, a, size.width(), size.height(),
                   ShiftAnchors(pmNinePiece, src, a, size.width(), size.height()), g.Edges(), true, g.StretchEffect(),
                   g.StretchType(), img);
  return img;
}

}  // namespace twBoxLooks
