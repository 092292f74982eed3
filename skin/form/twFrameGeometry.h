#pragma once
// Where everything of a skinned frame lies for a window of a given size: the
// shifted [FORMINFO] points and rectangles, the margins around the client
// area, the window region, the size limits, the caption objects' row, the
// hit-test codes and the places the window goes when minimised or
// maximised. Pure functions of their inputs; nothing here paints.
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QRegion>
#include <QSize>
#include <functional>
#include <vector>

#include "skin/data/twTypes.h"
#include "skin/draw/twUtils.h"

class TtwSkinData;

// The answers of the frame's hit test; 0 only for points outside the window.
enum TtwHitCode : int {
  htNowhere = 0,
  htClient = 1,
  htCaption = 2,
  htLeft = 10,
  htRight = 11,
  htTop = 12,
  htTopLeft = 13,
  htTopRight = 14,
  htBottom = 15,
  htBottomLeft = 16,
  htBottomRight = 17,
  htObject = 19,
};
inline bool IsSizingHit(int code) { return code >= htLeft && code <= htBottomRight; }

// The skinless look's caption band height.
inline constexpr int kSkinlessCaptionHeight = 19;
inline constexpr int kSkinlessToolCaptionHeight = 15;
inline constexpr int kSkinlessBorder = 3;
inline constexpr int kSkinlessMinWidth = 120;

// The [FORMINFO] values the frame geometry is made from, in picture
// coordinates.
struct TtwFrameInfo {
  int PictureWidth = 0, PictureHeight = 0;
  TPoint LT, RT, LB, RB;
  TRect ClientRect, CaptionRect, ButtonsRect, MaskRect;
  TPoint HitLT, HitRT, HitLB, HitRB;
  int BorderWidth = 0;
  int FormMinWidth = 0;
  int ButtonsOffset = 0;
  bool ButtonsInLeft = false;

  static TtwFrameInfo Of(const TtwSkinData& data);
  TPieceAnchors Anchors() const { return TPieceAnchors{LT, RT, LB, RB, ClientRect}; }
};

// The frame of a W x H window.
struct TtwFrameGeometry {
  int W = 0, H = 0;
  int DW = 0, DH = 0;  // the window's size less the frame picture's
  TPoint LT, RT, LB, RB;
  TRect ClientRect, CaptionRect, ButtonsRect, MaskRect;
  bool ButtonsOnLeft = false;
  TPoint HitLT, HitRT, HitLB, HitRB;

  TPieceAnchors Anchors() const { return TPieceAnchors{LT, RT, LB, RB, ClientRect}; }
};
TtwFrameGeometry FrameGeometry(const TtwFrameInfo& info, int W, int H);

// Widths of the frame around the client area: left, top, right, bottom.
QMargins FrameMargins(const TtwFrameInfo& info);
QMargins SkinlessFrameMargins(int captionHeight);

// The skinless look's caption row for a window `width` wide: squares of
// `buttonSize` from the right border leftwards for `rightButtons` buttons,
// the system-menu square at the left border when there is one, the caption
// between them.
inline constexpr int kSkinlessButtonSize = 17, kSkinlessToolButtonSize = 13;
inline constexpr int kSkinlessButtonTop = 4;
struct TtwSkinlessCaption {
  std::vector<TRect> Buttons;  // right to left
  TRect SystemButton;          // empty without one
  TRect Caption;
};
TtwSkinlessCaption SkinlessCaptionLayout(int width, int buttonSize, int captionHeight, int rightButtons,
                                         bool systemButton);

// The window's outline from the mask picture; an empty region when the
// window stays rectangular (no mask).
QRegion FrameRegion(const TtwFrameInfo& info, const QImage& mask, const TtwFrameGeometry& g);

// The same outline kept band by band: the top and bottom bands follow the
// width alone and the side bands the height alone, so a resize along one
// axis rebuilds only the bands it changes.
class TtwFrameRegionCache {
 public:
  QRegion Region(const TtwFrameInfo& info, const QImage& mask, const TtwFrameGeometry& g);
  // Forgets every band (a new skin may keep the same mask picture).
  void Clear() { *this = TtwFrameRegionCache{}; }

 private:
  qint64 maskKey_ = 0;
  int width_ = -1, height_ = -1;
  QRegion top_, bottom_, left_, right_;  // each at its own band's origin
  // The top and bottom bands at the picture's width, and whether their
  // middle pieces are one colour a row (then every width derives from them).
  QRegion baseTop_, baseBottom_;
  bool topAlike_ = false, bottomAlike_ = false;
};

// Size limits of the frame.
struct TtwSizeLimitInput {
  bool Skin = false;
  int PictureWidth = 0, PictureHeight = 0, ClientRectHeight = 0, FormMinWidth = 0;
  int CaptionHeight = kSkinlessCaptionHeight;  // skinless look
  int MinWidth = 0, MinHeight = 0, MaxWidth = 0, MaxHeight = 0;
  bool Minimized = false, RolledUp = false;
};
int FrameMinWidth(const TtwSizeLimitInput& in);
int FrameMinHeight(const TtwSizeLimitInput& in);
QSize FrameMaxSize(const TtwSizeLimitInput& in, const QRect& monitorArea);

// Caption objects placed by the frame: what layout needs to know of each.
struct TtwLayoutItem {
  enum Kind { kOther, kButton, kCaption } kind = kOther;
  int Command = -1;        // stdbutton / animate command, -1 for others
  bool InPicture = false;  // part of the frame picture (skinrectinapicture = 0)
  bool Visible = true;
  TRect SkinRect;
  QSize Size;              // placed size (skinrect size unless told)
  TRect Rect;              // result, window coordinates
};
// Lays out the objects for geometry g (in list order, results in Rect).
void LayoutFrameObjects(const TtwFrameInfo& info, const TtwFrameGeometry& g,
                        std::vector<TtwLayoutItem>& items);
// Where a frame-picture rectangle lies in the shifted frame.
TRect MapFramePictureRect(const TtwFrameInfo& info, const TRect& r, int dW, int dH);

// Everything the hit test reads.
struct TtwHitTestInput {
  bool Skin = false;
  TtwFrameGeometry G;      // with a skin
  QRegion Region;          // with a mask: the window region
  bool HasMask = false;
  int BorderWidth = 0;
  int W = 0, H = 0;        // skinless (and the window size)
  int CaptionHeight = kSkinlessCaptionHeight;
  TRect CaptionRect;       // the caption object (skinless: the caption band)
  TRect HotRect;           // the hot object's rectangle, empty when none is hot
  bool Sizeable = false, Maximized = false, Minimized = false, RolledUp = false;
  bool SizingOrMoving = false;
};
int FrameHitTest(const TtwHitTestInput& in, QPoint p);

// Where a secondary window's caption bar goes when minimised: along the
// bottom of the work area, right of the bars already there (`taken`), rows
// stacking upwards. Ends when every slot is taken (bottom-left then).
QPoint MinimizedBarPosition(const QRect& workArea, QSize bar, const std::function<bool(QPoint)>& taken);

// The maximised bounds: the monitor, or its work area (one pixel in from
// every side on a primary monitor without a task bar).
QRect MaximizedBounds(const QRect& monitor, const QRect& workArea, const QRect& primaryScreen,
                      bool fullScreen);

// Edge snapping of a window being dragged.
struct TtwMagnetState {
  bool Snapped[4] = {false, false, false, false};  // left, top, right, bottom
  QPoint Remembered;  // cursor at the drag's start or the last snap
};
QPoint MagneticPosition(const QRect& proposed, const QRect& area, QPoint cursor, int size,
                        TtwMagnetState& state);
