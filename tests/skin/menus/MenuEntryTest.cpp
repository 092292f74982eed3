// Drawing of menu entries: default and skinned looks, headers, marks, the
// frame's command glyphs, morphing and frame animation.
#include <gtest/gtest.h>

#include <QPainter>

#include "MenuFixtures.h"
#include "platform/ImageList.h"
#include "skin/data/twSkinRecords.h"
#include "skin/menus/twSkinMenuItem.h"

namespace {

using namespace twtest;

constexpr QRgb kWhite = 0xFFFFFFFF;
const auto kShadow = [] { return Sys(twsys::clBtnShadow); };
const auto kFace = [] { return Sys(twsys::clBtnFace); };
const auto kWindow = [] { return Sys(twsys::clWindow); };
const auto kText = [] { return Sys(twsys::clWindowText); };

TtwMenuItemData Item(const QString& caption, bool enabled = true) {
  TtwMenuItemData d;
  d.Caption = caption;
  d.Enabled = enabled;
  return d;
}

QImage Paint(const TtwMenuItemData& item, const TtwMenuEntryState& st, const TtwMenuPaintContext& ctx, int W = 120,
             int H = 20) {
  QImage img;
  PaintMenuEntry(img, W, H, item, st, ctx);
  return img;
}

TtwMenuPaintContext DefaultContext() {
  TtwMenuPaintContext c;
  c.DefaultFont = TwMenuSkinFont("DejaVu Sans", 11, 0);
  return c;
}

TEST(MenuItemData, SeparatorsHeadersAndAccelerators) {
  EXPECT_TRUE(Item("-").IsSeparator());
  EXPECT_FALSE(Item("-").IsHeader());
  EXPECT_TRUE(Item("-Files-", false).IsHeader());
  EXPECT_FALSE(Item("-Files-", true).IsHeader());  // an enabled one is plain text
  EXPECT_EQ(TwAccelerator("&Open"), QChar('o'));
  EXPECT_EQ(TwAccelerator("Save &As"), QChar('a'));
  EXPECT_EQ(TwAccelerator("Fish && Chips"), QChar());
  EXPECT_EQ(TwStripAccelerator("Fish && &Chips"), QString("Fish & Chips"));
}

TEST(MenuItemData, TakenFromAnAction) {
  QActionGroup group(nullptr);
  QAction a("&Radio");
  a.setCheckable(true);
  a.setChecked(true);
  a.setActionGroup(&group);
  a.setShortcut(QKeySequence("Ctrl+R"));
  a.setObjectName("TWF_CLOSE");
  const TtwMenuItemData d = TtwMenuItemData::FromAction(&a);
  EXPECT_TRUE(d.Checked);
  EXPECT_TRUE(d.Radio);
  EXPECT_EQ(d.ShortCut, QKeySequence("Ctrl+R").toString(QKeySequence::NativeText));
  EXPECT_EQ(d.Name, "TWF_CLOSE");
  QAction sep;
  sep.setSeparator(true);
  EXPECT_TRUE(TtwMenuItemData::FromAction(&sep).IsSeparator());
}

TEST(MenuEntryDefault, NormalActiveSeparatorAndHeader) {
  const auto ctx = DefaultContext();
  QImage img = Paint(Item("Open"), {}, ctx);
  EXPECT_EQ(img.pixel(5, 10), kFace());    // glyph column
  EXPECT_EQ(img.pixel(60, 1), kWindow());   // window colour beside it
  img = Paint(Item("Open"), {true}, ctx);
  EXPECT_EQ(img.pixel(0, 0), qRgb(0, 0, 0x80));           // navy frame
  EXPECT_EQ(img.pixel(60, 1), qRgb(0xB6, 0xBD, 0xD2));    // pale fill
  img = Paint(Item("-"), {true}, ctx, 120, 4);
  EXPECT_EQ(img.pixel(60, 2), kShadow());  // the line at half height
  EXPECT_EQ(img.pixel(5, 2), kFace());     // a separator never looks active
  EXPECT_EQ(img.pixel(60, 1), kWindow());
  img = Paint(Item("-Tools-", false), {}, ctx);
  EXPECT_EQ(img.pixel(1, 1), kShadow());
  EXPECT_EQ(img.pixel(118, 18), kShadow());
}

// The pixels a glyph sets, as strings of '#' and '.', for a readable table.
QStringList GlyphRows(const QString& name, int w, int h) {
  QImage img(w, h, QImage::Format_RGB32);
  img.fill(kWhite);
  QPainter p(&img);
  DrawMenuCommandGlyph(p, name, 0, 0, 0);
  p.end();
  QStringList rows;
  for (int y = 0; y < h; ++y) {
    QString r;
    for (int x = 0; x < w; ++x) r += img.pixel(x, y) == kWhite ? '.' : '#';
    rows << r;
  }
  return rows;
}

TEST(MenuEntryGlyphs, CommandGlyphsByName) {
  EXPECT_EQ(GlyphRows("TWF_MINITEM", 10, 10).mid(7),
            QStringList({"..........", ".########.", ".########."}));
  EXPECT_EQ(GlyphRows("TWF_MINTOTRAY", 8, 8).mid(1, 3), QStringList({"........", "..#####.", "..#####."}));
  const QStringList close = GlyphRows("TRAY_TWF_CLOSE", 11, 10);
  EXPECT_EQ(close[1], QString(".##.....##."));  // the two-pixel cross
  EXPECT_EQ(close[5], QString("....###...."));
  // Pen lines leave out their end point, so the triangle's tip is short.
  EXPECT_EQ(GlyphRows("TWF_ROLLUP", 11, 8)[3], QString("....##....."));
  EXPECT_EQ(GlyphRows("TWF_ROLLUP", 11, 8)[6], QString(".########.."));
  EXPECT_EQ(GlyphRows("TWF_MAXITEM", 11, 10)[1], QString("###########"));
  EXPECT_EQ(GlyphRows("TWF_MAXITEM", 11, 10)[5], QString("#.........#"));
  QImage none(4, 4, QImage::Format_RGB32);
  QPainter p(&none);
  EXPECT_FALSE(DrawMenuCommandGlyph(p, "Open", 0, 0, 0));
}

TEST(MenuEntryDefault, CloseGlyphShowsWithoutImageEvenUnchecked) {
  auto item = Item("Close");
  item.Name = "TWF_CLOSE";
  const QImage img = Paint(item, {}, DefaultContext());
  // Glyph origin (r.left + 2, centre - 4) = (4, 6): the cross's first pixel.
  EXPECT_EQ(img.pixel(4 + 1, 6 + 1), kText());
}

TEST(MenuEntryDefault, CheckedImageIsFramedAndHasNoCheckMark) {
  TImageList images(nullptr, 8, 8);
  QPixmap red(8, 8);
  red.fill(Qt::red);
  images.Add(red);
  auto ctx = DefaultContext();
  ctx.Images = &images;
  ctx.GlyphColumn = 13;
  auto item = Item("Picture");
  item.ImageIndex = 0;
  item.Checked = true;
  const QImage img = Paint(item, {}, ctx);
  // Image at (4, 6) 8 x 8; the frame one pixel outside it.
  EXPECT_EQ(img.pixel(8, 10), qRgb(255, 0, 0));
  EXPECT_EQ(img.pixel(3, 5), kText());
  EXPECT_EQ(img.pixel(12, 14), kText());
  // Without the image the same item shows the check mark instead.
  item.ImageIndex = 5;
  const QImage mark = Paint(item, {}, ctx);
  EXPECT_EQ(mark.pixel(5, 6 + 5), kText());
}

class MenuEntrySkinned : public ::testing::Test {
 protected:
  explicit MenuEntrySkinned(const QByteArray& extra = {}) : skin(extra) {}
  TtwMenuPaintContext Context() {
    TtwMenuPaintContext c;
    for (auto* r : skin.data.ObjectRecords())
      if (auto* m = dynamic_cast<TtwDataSkinMenuItem*>(r)) c.Record = m;
    c.ActivePicture = TwMenuItemPicture(&skin.data, c.Record);
    c.SkinData = &skin.data;
    c.DefaultFont = TwDefaultMenuFont();
    return c;
  }
  TMenuSkinFolder skin;
};

TEST_F(MenuEntrySkinned, PiecesOfEachLookStretchToTheEntry) {
  const auto ctx = Context();
  ASSERT_NE(ctx.Record, nullptr);
  ASSERT_NE(ctx.ActivePicture, nullptr);
  EXPECT_EQ(Paint(Item("Open"), {}, ctx, 100, 18).pixel(99, 0), kItemColour);
  EXPECT_EQ(Paint(Item("Open"), {true}, ctx, 100, 18).pixel(99, 0), kActiveColour);
  EXPECT_EQ(Paint(Item("Open"), {false, true}, ctx, 100, 18).pixel(99, 0), kActiveColour);  // down
  EXPECT_EQ(Paint(Item("-"), {}, ctx, 100, 4).pixel(50, 2), kDividerColour);
}

TEST_F(MenuEntrySkinned, TextColourFollowsTheState) {
  const auto ctx = Context();
  // Pixels of text in (about) colour c: glyph edges are smoothed.
  auto count = [](const QImage& img, QRgb c) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x) {
        const QRgb p = img.pixel(x, y);
        n += std::abs(qRed(p) - qRed(c)) + std::abs(qGreen(p) - qGreen(c)) + std::abs(qBlue(p) - qBlue(c)) < 60;
      }
    return n;
  };
  EXPECT_GT(count(Paint(Item("MMMM"), {}, ctx, 100, 18), 0xFF000000), 10);
  EXPECT_GT(count(Paint(Item("MMMM"), {true}, ctx, 100, 18), kWhite), 10);
  EXPECT_GT(count(Paint(Item("MMMM", false), {}, ctx, 100, 18), 0xFF808080), 10);
}

TEST_F(MenuEntrySkinned, MorphBlendsOnlyWithSkinEffects) {
  auto ctx = Context();
  auto* rec = const_cast<TtwDataSkinMenuItem*>(ctx.Record);
  rec->morphing = true;
  TtwMenuEntryState half{true};
  half.Morph = 0.5;
  const QRgb mid = Paint(Item(""), half, ctx, 100, 18).pixel(99, 0);
  EXPECT_NE(mid, kItemColour);
  EXPECT_NE(mid, kActiveColour);
  skin.data.SetEnableSkinEffects(false);
  EXPECT_EQ(Paint(Item(""), half, ctx, 100, 18).pixel(99, 0), kActiveColour);
}

TEST_F(MenuEntrySkinned, FrameAnimationPlaysSlicesLeftToRight) {
  auto ctx = Context();
  auto* rec = const_cast<TtwDataSkinMenuItem*>(ctx.Record);
  rec->animateskinrect = {30, 0, 110, 18};  // four 20-pixel frames side by side
  rec->framecount = 4;
  for (int k = 1; k <= 4; ++k) {
    TtwMenuEntryState st{true};
    st.Frame = k;
    EXPECT_EQ(qRed(Paint(Item(""), st, ctx, 100, 18).pixel(50, 9)), 0x40 * k - 1) << k;
  }
  TtwMenuEntryState after{true};
  after.Frame = 5;  // past the last frame: the active look
  EXPECT_EQ(Paint(Item(""), after, ctx, 100, 18).pixel(50, 9), kActiveColour);
  EXPECT_EQ(TwMenuFrameRect(*rec, 2), (TRect{50, 0, 70, 18}));
  // No frames at all rather than a division by zero.
  rec->framecount = 0;
  EXPECT_FALSE(TwMenuAnimates(ctx));
  EXPECT_EQ(TwMenuFrameRect(*rec, 1), TRect{});
  after.Frame = 1;
  EXPECT_EQ(Paint(Item(""), after, ctx, 100, 18).pixel(50, 9), kActiveColour);
}

}  // namespace
