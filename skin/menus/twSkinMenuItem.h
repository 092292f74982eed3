#pragma once
// One entry of a skinned popup menu: what painting reads of a menu item, the
// entry's look state, and the drawing of the skinned, header and default
// looks with their marks and command glyphs. Drawing is a pure function from
// (item, state, context) to the pixels of one entry-sized image.
#include <QFont>
#include <QImage>
#include <QString>
#include <functional>
#include <vector>

#include "skin/data/twTypes.h"

class QAction;
class QPainter;
class TImageList;
class TtwSkinData;
class TtwDataSkinMenuItem;

// What painting and sizing read of a menu item, taken once per entry.
struct TtwMenuItemData {
  QString Caption;   // with "&" accelerator markers; "-" is a separator
  QString ShortCut;  // readable shortcut text, empty for none
  QString Name;      // selects the frame's command glyphs
  QString Hint;
  bool Enabled = true;
  bool Checked = false;
  bool Radio = false;
  bool HasSubItems = false;
  int ImageIndex = -1;
  QImage Bitmap;

  bool IsSeparator() const { return Caption == QLatin1String("-"); }
  // A disabled "-Title-" caption titles a group of entries.
  bool IsHeader() const {
    return !Enabled && Caption.size() >= 2 && Caption.startsWith('-') && Caption.endsWith('-') && !IsSeparator();
  }
  static TtwMenuItemData FromAction(const QAction* a);
};

// The accelerator character of a caption (after "&", "&&" is a literal),
// lower-cased; a null QChar when there is none.
QChar TwAccelerator(const QString& caption);
// The caption as shown: accelerator markers removed.
QString TwStripAccelerator(const QString& caption);

// An entry's look: active (highlighted) or down (its sub-menu open) use the
// active look; Morph blends between the looks; Frame > 0 is a frame of the
// activation animation.
struct TtwMenuEntryState {
  bool Active = false;
  bool Down = false;
  double Morph = 0;
  int Frame = 0;
  bool ActiveLook() const { return Active || Down; }
};

// Replaces an entry's whole drawing; given the canvas, whether active and
// the text rectangle.
using TtwMenuDrawItem = std::function<void(QPainter& Canvas, bool Active, const TRect& TextRect)>;

// Three-piece bases already composed, by source, ends, stretch and width:
// a level's entries share their width, so each look is composed once.
class TtwMenuPieceCache {
 public:
  const QImage& Get(const QImage& pic, const TRect& src, int leftW, int rightW, bool stretch, int W);
  void Clear() { items_.clear(); }

 private:
  struct Key {
    const QImage* Pic;
    TRect Src;
    int LeftW, RightW, W;
    bool Stretch;
    friend bool operator==(const Key&, const Key&) = default;
  };
  std::vector<std::pair<Key, QImage>> items_;
};

// Everything outside the item that decides how its entry looks.
struct TtwMenuPaintContext {
  const TtwDataSkinMenuItem* Record = nullptr;  // null: default look
  const QImage* ActivePicture = nullptr;        // the record's active picture
  const TtwSkinData* SkinData = nullptr;        // header records, skin effects
  const TImageList* Images = nullptr;
  int GlyphColumn = 19;
  // Width of the widest picture among the level's entries (0 for none):
  // captions start clear of it, so pictures never run into the text.
  int ImageSpace = 0;
  // The window's background with its centre, for inactivetransparent records;
  // EntryOrigin is where the entry sits on it.
  const QImage* BackgroundCopy = nullptr;
  QPoint EntryOrigin;
  bool UseSkinFont = true;
  QFont DefaultFont;
  bool RightToLeft = false;
  TtwMenuDrawItem DrawItem;
  TtwMenuPieceCache* Pieces = nullptr;  // optional
  // Device pixels per pixel of the screen the menu shows on: entries are
  // painted at that density so text stays sharp on a high-density screen.
  qreal Dpr = 1;
};

// The menu's default item font: Arial, 14 pixels high, no style.
QFont TwDefaultMenuFont();
// A skin record's font: name, pixel height and fsbold/fsitalic/... bits.
QFont TwRecordFont(const QString& name, int height, uint8_t style);
// Where a caption starts, from the left of the text (or entry) rectangle.
int TwMenuCaptionOffset(const TtwMenuPaintContext& ctx);
// The font entries of this context are drawn in.
QFont TwMenuEntryFont(const TtwMenuPaintContext& ctx);

// The picture of the record's activepictureindex, or null when the index is
// not a valid picture (the entry then has no skinned pieces).
const QImage* TwMenuItemPicture(const TtwSkinData* data, const TtwDataSkinMenuItem* record);

// Whether the entry morphs, and whether it plays frames, under this skin.
bool TwMenuMorphs(const TtwMenuPaintContext& ctx);
bool TwMenuAnimates(const TtwMenuPaintContext& ctx);
// Frame k (1-based) of the record's animation strip; empty without frames.
TRect TwMenuFrameRect(const TtwDataSkinMenuItem& r, int k);

// Draws the whole entry into Target, which is (re)sized to W x H.
void PaintMenuEntry(QImage& Target, int W, int H, const TtwMenuItemData& item, const TtwMenuEntryState& state,
                    const TtwMenuPaintContext& ctx);

// The frame's system-menu command glyph of an item name at (x, y); false for
// names that have none.
bool DrawMenuCommandGlyph(QPainter& Canvas, const QString& Name, int x, int y, TColor c);

// System colours (0xFF high byte) the default look uses.
namespace twsys {
inline constexpr TColor clWindow = 0xFF000005;
inline constexpr TColor clWindowText = 0xFF000008;
inline constexpr TColor clInfoText = 0xFF000017;
inline constexpr TColor clInfoBk = 0xFF000018;
inline constexpr TColor clBtnFace = 0xFF00000F;
inline constexpr TColor clBtnShadow = 0xFF000010;
inline constexpr TColor clBtnText = 0xFF000012;
inline constexpr TColor clBtnHighlight = 0xFF000014;
}  // namespace twsys
