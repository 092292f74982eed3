#pragma once
// Geometry of a popup-menu level as functions from sizes to rectangles: the
// window size, the skin frame moved to that size, the scrolled view of the
// entries and the window's place on the monitor. Nothing here paints.
#include <QFont>
#include <QHash>
#include <QSize>
#include <QString>
#include <vector>

#include "skin/data/twTypes.h"

class QFontMetrics;
class TtwDataSkinPopupWindow;
class TtwDataSkinMenuItem;

// Height of the scroll bands at the top and bottom of a scrolling level.
inline constexpr int kMenuScrollBand = 10;

// The skin values sizing reads; Skinned only when the level has both a
// usable popup-window record and a menu-item record.
struct TtwMenuMetrics {
  bool Skinned = false;
  int PictureW = 0, PictureH = 0;  // the popup window's picture
  TPoint LT, RT, LB, RB;           // its corner points
  TRect ItemsRect;
  TRect ItemSkinRect, ItemTextRect, DividerRect;
  int DefItemHeight = 20;
  int GlyphColumn = 19;
  static TtwMenuMetrics From(const TtwDataSkinPopupWindow* w, const TtwDataSkinMenuItem* item, int picW, int picH,
                             int defItemHeight, int glyphColumn);
};

// Width an entry's text needs: caption, or caption, two blanks and the
// shortcut, plus 2.
int MenuItemTextWidth(const QFontMetrics& fm, const QString& caption, const QString& shortCut);
int MenuItemHeight(const TtwMenuMetrics& m, bool separator);

// The text widths already measured, by font and text.
class TtwMenuWidthCache {
 public:
  int Width(const QFont& f, const QString& caption, const QString& shortCut);

 private:
  static constexpr qsizetype kMaxEntries = 4096;
  QHash<QString, int> widths_;
};

struct TtwMenuSizing {
  QSize Size;
  bool Scrolling = false;
  bool Limited = false;  // cut by the maximum item count, not the screen
};
// The level's size for entries of these text widths and separator flags.
// Merged levels (two item lists) keep the longer default frame and, when
// limited, scroll like the others.
TtwMenuSizing MenuWindowSize(const TtwMenuMetrics& m, const std::vector<int>& textWidths,
                             const std::vector<bool>& separators, int maxItems, int workAreaHeight,
                             bool merged = false);

// The skin frame's points and items rectangle moved to a W x H window.
struct TtwMenuFrame {
  TPoint LT, RT, LB, RB;
  TRect Items;
  friend bool operator==(const TtwMenuFrame&, const TtwMenuFrame&) = default;
};
TtwMenuFrame MenuFrame(const TtwMenuMetrics& m, int W, int H);

// The entries' rectangles from FirstVisible on; entries before it and from
// the first that does not fit are not shown.
struct TtwMenuView {
  std::vector<TRect> Rects;
  std::vector<bool> Shown;
  int FirstVisible = 0;
  int VisibleCount = 0;
  bool ShowsLast() const { return !Shown.empty() && Shown.back(); }
};
TtwMenuView LayoutMenuView(const TRect& items, const std::vector<int>& heights, int firstVisible, bool scrolling);
// The first visible entry that lets the last entries fill the view (Up from
// the top wraps to it).
int MenuLastPageStart(const TRect& items, const std::vector<int>& heights);
// Scroll band rectangles of a scrolling level.
TRect MenuTopBand(const TtwMenuMetrics& m, const TtwMenuFrame& f, int W);
TRect MenuBottomBand(const TtwMenuMetrics& m, const TtwMenuFrame& f, int W, int H);

// Where a level goes: anchor A (a point has zero size) in screen
// coordinates, inside work area WA.
struct TtwMenuPlaceInput {
  TRect Anchor, WorkArea;
  QSize Size;
  int ItemsTop = 0;
  bool Scrolling = false, Limited = false, SubMenu = false, Upward = false;
};
QPoint PlaceMenu(const TtwMenuPlaceInput& in);
