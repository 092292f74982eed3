// Filling an area with a piece: the plan as a table, then the panels that
// use it (client texture, background pictures, see-through client fills).
#include "QtApp.h"
#include "SkinFixture.h"
#include "skin/controls/twFillPlan.h"
#include "skin/controls/twSkinPanels.h"
#include "skin/data/twSkinIni.h"

namespace {

using twtest::From;
using twtest::TFixtureSkin;

TEST(FillPlan, EachModeCoversTheAreaWithExactCopies) {
  const TRect piece{10, 20, 14, 23};  // 4 x 3
  struct Case {
    const char* what;
    TRect area;
    TFillMode mode;
    std::vector<TFillBlit> plan;
  };
  const Case cases[] = {
      {"full", {0, 0, 9, 5}, TFillMode::Full, {{piece, {0, 0, 9, 5}}}},
      {"tile, last row and column cut", {1, 2, 10, 6}, TFillMode::Tile,
       {{{10, 20, 14, 23}, {1, 2, 5, 5}}, {{10, 20, 14, 23}, {5, 2, 9, 5}}, {{10, 20, 11, 23}, {9, 2, 10, 5}},
        {{10, 20, 14, 21}, {1, 5, 5, 6}}, {{10, 20, 14, 21}, {5, 5, 9, 6}}, {{10, 20, 11, 21}, {9, 5, 10, 6}}}},
      {"tile, exact fit", {0, 0, 8, 3}, TFillMode::Tile,
       {{piece, {0, 0, 4, 3}}, {piece, {4, 0, 8, 3}}}},
      {"horz: columns of the full height", {0, 0, 10, 7}, TFillMode::Horz,
       {{piece, {0, 0, 4, 7}}, {piece, {4, 0, 8, 7}}, {{10, 20, 12, 23}, {8, 0, 10, 7}}}},
      {"vert: rows of the full width", {0, 0, 9, 7}, TFillMode::Vert,
       {{piece, {0, 0, 9, 3}}, {piece, {0, 3, 9, 6}}, {{10, 20, 14, 21}, {0, 6, 9, 7}}}},
      {"empty area", {5, 5, 5, 9}, TFillMode::Tile, {}},
  };
  for (const Case& c : cases) EXPECT_EQ(PlanFill(piece, c.area, c.mode), c.plan) << c.what;
  EXPECT_TRUE(PlanFill(TRect{}, TRect{0, 0, 9, 9}, TFillMode::Full).empty());
  EXPECT_EQ(FillModeOf(false, twtok::sthorz), TFillMode::Tile);
  EXPECT_EQ(FillModeOf(true, twtok::stfull), TFillMode::Full);
  EXPECT_EQ(FillModeOf(true, twtok::sthorz), TFillMode::Horz);
  EXPECT_EQ(FillModeOf(true, twtok::stvert), TFillMode::Vert);
}

TEST(FillPlan, RunningAPlanCopiesOnlyInsideTheClip) {
  QImage face(10, 6, QImage::Format_RGB32);
  face.fill(Qt::black);
  RunFill(face, twtest::CodedSheet(twtest::kSheetTag), PlanFill(TRect{10, 20, 14, 23}, TRect{0, 0, 10, 6}, TFillMode::Tile),
          QRect(3, 1, 4, 3));
  EXPECT_EQ(face.pixel(2, 1), qRgb(0, 0, 0));
  EXPECT_EQ(From(face, 3, 1), QPoint(13, 21));
  EXPECT_EQ(From(face, 4, 3), QPoint(10, 20));  // the second tile, both ways
  EXPECT_EQ(face.pixel(7, 1), qRgb(0, 0, 0));
  EXPECT_EQ(face.pixel(3, 4), qRgb(0, 0, 0));
}

TEST(FillPlan, ATinyTiledPieceFillsTheSamePixelsFromAShortPlan) {
  const QImage sheet = twtest::CodedSheet(twtest::kSheetTag);
  const TRect area{3, 2, 203, 152};  // 200 x 150
  struct Case {
    TRect piece;
    TFillMode mode;
    size_t maxCopies;
  };
  const Case cases[] = {
      {{10, 20, 11, 21}, TFillMode::Tile, 12},  // one pixel: 30,000 copies unwidened
      {{10, 20, 13, 22}, TFillMode::Tile, 12},
      {{10, 20, 12, 23}, TFillMode::Horz, 4},
      {{10, 20, 14, 21}, TFillMode::Vert, 3},
      {{10, 20, 11, 21}, TFillMode::Full, 1},
  };
  for (const Case& c : cases) {
    QImage direct(210, 160, QImage::Format_RGB32), widened(210, 160, QImage::Format_RGB32);
    direct.fill(Qt::black);
    widened.fill(Qt::black);
    RunFill(direct, sheet, PlanFill(c.piece, area, c.mode), direct.rect());
    const TFillSource src = WidenTiledPiece(sheet, c.piece, c.mode);
    const std::vector<TFillBlit> plan = PlanFill(src.Piece, area, c.mode);
    RunFill(widened, src.Picture, plan, widened.rect());
    EXPECT_EQ(widened, direct) << int(c.mode) << " " << c.piece.Width();
    EXPECT_LE(plan.size(), c.maxCopies) << int(c.mode) << " " << c.piece.Width();
  }
  // A piece reaching off its picture is left to the careful copies.
  const TRect off{sheet.width() - 1, 0, sheet.width() + 1, 1};
  EXPECT_EQ(WidenTiledPiece(sheet, off, TFillMode::Tile).Piece, off);
}

// The panel record with its client piece (23, 3)..(37, 17), 14 x 14.
QList<QPair<QByteArray, QByteArray>> PanelStretch(const char* type) {
  return {{"[panel]\r\npictureindex=0\r\n",
           QByteArray("[panel]\r\npictureindex=0\r\nstretcheffect=1\r\nstretchtype=") + type + "\r\n"}};
}

TEST(FillPlan, PanelClientFillsFollowTheStretchTypeInBothCompositePaths) {
  struct Case {
    const char* type;
    QPoint at, from;  // a client pixel of the 50 x 40 panel (client 44 x 34 at (3, 3))
    QPoint textureEnd;  // the last pixel when the texture fills the whole 50 x 40
  };
  const int down = 3 + StretchSourceIndex(33, 14, 34), across = 23 + StretchSourceIndex(43, 14, 44);
  const Case cases[] = {
      {"sthorz", {3 + 15, 3}, {24, 3}, {23 + 7, 3 + StretchSourceIndex(39, 14, 40)}},  // columns 14 wide, 1:1
      {"sthorz", {3, 3 + 33}, {23, down}, {23 + 7, 3 + StretchSourceIndex(39, 14, 40)}},  // stretched down
      {"stvert", {3, 3 + 15}, {23, 4}, {23 + StretchSourceIndex(49, 14, 50), 3 + 11}},    // rows 14 high, 1:1
      {"stvert", {3 + 43, 3}, {across, 3}, {23 + StretchSourceIndex(49, 14, 50), 3 + 11}},  // stretched across
      {"stfull", {3 + 43, 3 + 33}, {across, down},
       {23 + StretchSourceIndex(49, 14, 50), 3 + StretchSourceIndex(39, 14, 40)}},
  };
  for (const Case& c : cases) {
    TFixtureSkin skin(twtest::kSheetTag, PanelStretch(c.type));
    QWidget parent;
    // The composite path (frame bands around the fill) and the client
    // texture alone (no border): the same fill.
    for (bool texture : {false, true}) {
      auto* p = new TtwSkinPanel(&parent);
      if (texture) p->SetBorderStyle(bvNone);
      p->SetSkinData(&skin.data);
      p->SetBounds(0, 0, 50, 40);
      const QImage face = p->RenderFace();
      const QPoint at = texture ? c.at - QPoint(3, 3) : c.at;
      // The texture fills the whole panel from its corner: scale its case.
      if (!texture) EXPECT_EQ(From(face, at.x(), at.y()), c.from) << c.type;
      else EXPECT_EQ(From(face, 0, 0), QPoint(23, 3)) << c.type;
      EXPECT_EQ(From(face, 49, 39), texture ? c.textureEnd : QPoint(39, 19)) << c.type;
    }
  }
}

TEST(FillPlan, SeeThroughPanelsShowTheirParentUnderTheirOutline) {
  TFixtureSkin skin;
  QWidget parent;
  auto* back = new TtwSkinPanel(&parent);
  back->SetSkinData(&skin.data);
  back->SetBounds(0, 0, 100, 80);
  for (bool caption : {false, true}) {
    auto* p = caption ? new TtwSkinGroupBox(back) : new TtwSkinPanel(back);
    p->SetSkinData(&skin.data);
    p->SetBounds(10, 10, 60, 50);
    p->SetTransparentMode(true);
    p->SetCaption(QStringLiteral("G"));
    const QImage face = p->RenderFace();
    // Inside: the parent's client tiles, continued from the parent's corner.
    EXPECT_EQ(From(face, 30, 40), QPoint(23 + (40 - 3) % 14, 3 + (50 - 3) % 14)) << caption;
    // The outline in the skin's button shadow.
    EXPECT_EQ(QColor(face.pixel(59, 40)), QColor(0x80, 0x80, 0x80)) << caption;
    EXPECT_EQ(QColor(face.pixel(30, 49)), QColor(0x80, 0x80, 0x80)) << caption;
    delete p;
  }
}

TEST(FillPlan, BackgroundPicturesAreTheWholeLook) {
  struct Case {
    const char* type;
    QPoint at, from;  // in the 50 x 40 panel; picture 0 is 100 x 100
  };
  const Case cases[] = {
      {"stfull", {3, 3}, {0, 0}},  // stretched into the client rectangle
      {"stfull", {46, 36}, {StretchSourceIndex(43, 100, 44), StretchSourceIndex(33, 100, 34)}},
      {"sthorz", {49, 0}, {49, 0}},  // 100 wide: one column, cut
      {"sthorz", {0, 39}, {0, StretchSourceIndex(39, 100, 40)}},  // stretched to the height
      {"stvert", {49, 0}, {StretchSourceIndex(49, 100, 50), 0}},  // stretched to the width
      {"stvert", {0, 39}, {0, 39}},
  };
  for (const Case& c : cases) {
    TFixtureSkin skin(twtest::kSheetTag,
                      {{"[panel]\r\npictureindex=0\r\n", QByteArray("[panel]\r\npictureindex=0\r\nbgpictureindex=0\r\n"
                                                                    "stretcheffect=1\r\nstretchtype=") +
                                                             c.type + "\r\n"}});
    QWidget parent;
    auto* p = new TtwSkinPanel(&parent);
    p->SetSkinData(&skin.data);
    p->SetBounds(0, 0, 50, 40);
    EXPECT_EQ(From(p->RenderFace(), c.at.x(), c.at.y()), c.from) << c.type << " " << c.at.x() << "," << c.at.y();
  }
  // stfull leaves the frame's part of the panel plain.
  TFixtureSkin skin(twtest::kSheetTag, {{"[panel]\r\npictureindex=0\r\n",
                                         "[panel]\r\npictureindex=0\r\nbgpictureindex=0\r\nstretcheffect=1\r\n"}});
  QWidget parent;
  auto* p = new TtwSkinPanel(&parent);
  p->SetSkinData(&skin.data);
  p->SetBounds(0, 0, 50, 40);
  EXPECT_EQ(QColor(p->RenderFace().pixel(0, 0)), SystemColor(COLOR_BTNFACE));
}

}  // namespace
