// Faults of the panels, labels and bars: the grip sizes its window and its
// panels know where it is, a splitter bound to an unusable record keeps its
// size, an auto-sized label fits a new skin, image lists may go while their
// bar is shown, and the looks that had no pixel test (captions by alignment,
// vertical three-piece, hot tool-bar images, the ellipsis itself).
#include <QPainter>
#include <QTest>

#include "QtApp.h"
#include "SkinFixture.h"
#include "platform/ImageList.h"
#include "platform/Message.h"
#include "skin/controls/twSkinBars.h"
#include "skin/controls/twSkinButtons.h"
#include "skin/controls/twSkinLabels.h"
#include "skin/controls/twSkinPanels.h"

namespace {

using twtest::From;
using twtest::TFixtureSkin;

class Faults : public ::testing::Test {
 protected:
  void SetUp() override { twtest::ParkPointer(); }
};

// A top-level window that records the sizing requests it is sent.
class RecordingWindow : public QWidget {
 public:
  QList<TMessage> messages;

 protected:
  bool event(QEvent* e) override {
    if (TMessage* m = MessageOf(e); m && m->Msg == WM_NCLBUTTONDOWN) {
      messages << *m;
      m->Result = 1;
      return true;
    }
    return QWidget::event(e);
  }
};

TEST_F(Faults, APressOnTheGripAsksTheWindowToSizeFromItsBottomRightCorner) {
  RecordingWindow window;
  window.setGeometry(100, 100, 300, 200);
  auto* bar = new TtwSkinStatusBar(&window);
  bar->SetBounds(0, 179, 300, 21);
  bar->SetSizeGrip(true);
  window.show();
  const QRect grip = bar->GripRect();
  ASSERT_FALSE(grip.isEmpty());
  EXPECT_EQ(bar->HitTest(grip.center()), kHitBottomRight);
  EXPECT_EQ(bar->HitTest(QPoint(5, 5)), kHitClient);

  QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(5, 5));  // not on the grip
  EXPECT_TRUE(window.messages.isEmpty());
  QTest::mousePress(bar, Qt::LeftButton, {}, grip.center());
  ASSERT_EQ(window.messages.size(), 1);
  const TMessage m = window.messages[0];
  const QPoint g = bar->mapToGlobal(grip.center());
  EXPECT_EQ(m.Msg, WM_NCLBUTTONDOWN);
  EXPECT_EQ(m.WParam, 17);
  EXPECT_EQ(m.LParam, (intptr_t(g.y()) << 16) | (g.x() & 0xFFFF));

  // The frame hides the grip of a maximised window with the show-grip
  // switch; a bar built without a grip never gets one from it.
  bar->SetShowGrip(false);
  EXPECT_EQ(bar->HitTest(grip.center()), kHitClient);
  auto* plain = new TtwSkinStatusBar(&window);
  plain->SetShowGrip(false);
  plain->SetShowGrip(true);
  EXPECT_FALSE(plain->GripShown());
}

TEST_F(Faults, TheStatusBarTellsItsPanelsTheirSkinAndWhereTheGripIs) {
  TFixtureSkin skin;
  QWidget window;
  window.resize(300, 200);
  auto* bar = new TtwSkinStatusBar(&window);
  bar->SetBounds(0, 179, 300, 21);
  auto* beside = new TtwSkinStatusPanel(bar);  // right-aligned: ends where the grip starts
  beside->SetBounds(0, 0, 80, 21);
  beside->SetAlign(TAlign::alRight);
  auto* over = new TtwSkinStatusPanel(bar);  // placed by hand over the bar's right end
  over->SetBounds(200, 0, 100, 21);
  bar->SetSizeGrip(true);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  const QRect grip = bar->GripRect();
  ASSERT_FALSE(grip.isEmpty());
  EXPECT_EQ(beside->BarGrip(), grip.translated(-beside->pos()));
  EXPECT_LE(beside->geometry().right(), grip.left());
  EXPECT_EQ(over->BarGrip(), grip.translated(-over->pos()));
  // The panel over the grip leaves it to the bar: seen and pressed there.
  EXPECT_EQ(bar->childAt(grip.center()), nullptr);
  EXPECT_EQ(bar->childAt(grip.left() - 2, grip.center().y()), over);

  // The grip follows the bar's width, and the panels hear of it.
  bar->SetBounds(0, 179, 260, 21);
  const QRect moved = bar->GripRect();
  EXPECT_EQ(beside->BarGrip(), moved.translated(-beside->pos()));
  EXPECT_EQ(over->BarGrip(), moved.translated(-over->pos()));
  EXPECT_EQ(bar->childAt(moved.center()), nullptr);

  // Hidden (maximised window): the panels know of no grip and are whole again.
  bar->SetShowGrip(false);
  EXPECT_TRUE(beside->BarGrip().isNull());
  EXPECT_TRUE(over->BarGrip().isNull());
  EXPECT_TRUE(over->mask().isEmpty());
  EXPECT_EQ(bar->childAt(moved.center()), over);

  // Skin data goes to the panels, also to one made after the bar was skinned.
  bar->SetSkinData(&skin.data);
  EXPECT_EQ(beside->SkinData(), &skin.data);
  auto* later = new TtwSkinStatusPanel(bar);
  later->show();
  QApplication::processEvents();
  EXPECT_EQ(later->SkinData(), &skin.data);
}

TEST_F(Faults, ASplitterOnAnEmptyOrForeignRecordKeepsItsDefaultSize) {
  struct Case {
    const char* what;
    QByteArray from, to;
    const char* name;
  };
  const Case cases[] = {
      {"empty skinrect", "skinrect=80,0,85,20", "skinrect=0,0,0,0", "vsplitter"},
      {"record of another class", "", "", "panel"},
  };
  for (const Case& c : cases) {
    TFixtureSkin skin(twtest::kSheetTag, c.from, c.to);
    QWidget area;
    area.resize(100, 60);
    auto* sp = new TtwSkinSplitter(&area);
    sp->SetAlign(TAlign::alLeft);
    sp->SetSkinDataName(QString::fromLatin1(c.name));
    sp->SetSkinData(&skin.data);
    EXPECT_EQ(sp->RecordIndex(), -1) << c.what;
    EXPECT_EQ(sp->width(), sp->DefaultSize()) << c.what;
  }
}

TEST_F(Faults, AnAutoSizedLabelFitsItsTextAgainAfterAReskin) {
  TFixtureSkin small;
  TFixtureSkin large(90, "[label]\r\npictureindex=0\r\n", "[label]\r\npictureindex=0\r\nfontheight=28\r\n");
  QWidget parent;
  auto* l = new TtwSkinLabel(&parent);
  l->SetSkinData(&small.data);
  l->SetCaption(QStringLiteral("Class Name"));
  l->SetAutoSize(true);
  const int before = l->width();
  EXPECT_EQ(l->Geometry().FitClientRect.Width(),
            QFontMetrics(TwSkinFont(QStringLiteral("Arial"), 14, 0)).horizontalAdvance(l->Caption()));
  ForgetSkinRecords(&parent, &small.data);
  small.data.SetCompressedStoredSkin(&large.stored);
  ApplySkinToControls(&parent, &small.data);
  EXPECT_GT(l->width(), before);
  EXPECT_EQ(l->Geometry().FitClientRect.Width(),
            QFontMetrics(TwSkinFont(QStringLiteral("Arial"), 28, 0)).horizontalAdvance(l->Caption()));
}

TEST_F(Faults, AnEllipsisEndsTheShortenedCaption) {
  QWidget parent;
  auto* l = new TtwSkinLabel(&parent);
  auto* same = new TtwSkinLabel(&parent);
  for (TtwSkinLabel* x : {l, same}) {
    x->SetBounds(0, 0, 60, 21);
    x->SetBorderStyle(bvNone);
  }
  l->SetEllipsType(twetEllips);
  l->SetCaption(QStringLiteral("A rather long caption for a label"));
  QImage scratch(60, 21, QImage::Format_RGB32);
  QPainter p(&scratch);
  p.setFont(l->DefaultFont());
  QString text = l->Caption();
  FitTextEllipsis(p, text, 60 - 6);  // the default look keeps 3 pixels each side
  ASSERT_TRUE(text.endsWith(QStringLiteral("..."))) << text.toStdString();
  ASSERT_GT(text.size(), 3);
  // The face shows exactly that text, "..." included.
  same->SetCaption(text);
  EXPECT_EQ(l->RenderFace(), same->RenderFace());
}

TEST_F(Faults, RemovingAnImageListWhileItsToolBarIsShownLeavesNothingDangling) {
  QWidget window;
  window.resize(300, 60);
  auto* bar = new TtwSkinToolBar(&window);
  bar->SetBounds(0, 0, 300, 30);
  auto* images = new TImageList(nullptr, 8, 8);
  auto* hot = new TImageList(nullptr, 8, 8);
  QPixmap red(8, 8), green(8, 8);
  red.fill(Qt::red);
  green.fill(Qt::green);
  images->Add(red);
  hot->Add(green);
  bar->SetImages(images);
  bar->SetHotImages(hot);
  bar->SetDisabledImages(images);
  auto* b = new TtwSkinSpeedButton(bar);
  b->SetBounds(0, 0, 40, 25);
  auto* panel = new TtwSkinStatusPanel(&window);
  panel->SetImageList(images);
  panel->SetImageIndex(0);
  auto* group = new TtwSkinGroupBox(&window);
  group->SetCaptionImageList(images);
  group->SetCaptionImageIndex(0);
  b->SetImageList(images);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  // The hot image while the pointer is over the button, the plain one else.
  auto centre = [&] { return b->RenderFace().pixel(20, 12); };
  EXPECT_EQ(QColor(centre()), QColor(Qt::red));
  QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
  QApplication::sendEvent(b, &enter);
  EXPECT_EQ(QColor(centre()), QColor(Qt::green));

  delete hot;
  EXPECT_EQ(bar->HotImages(), nullptr);
  EXPECT_EQ(QColor(centre()), QColor(Qt::red));
  delete images;
  EXPECT_EQ(bar->Images(), nullptr);
  EXPECT_EQ(b->ImageList(), nullptr);
  EXPECT_EQ(panel->ImageList(), nullptr);
  EXPECT_EQ(group->CaptionImageList(), nullptr);
  // Every face paints (under the sanitizers: without touching freed memory).
  for (TtwSkinWidget* w : std::initializer_list<TtwSkinWidget*>{bar, b, panel, group}) EXPECT_FALSE(w->RenderFace().isNull());
  window.repaint();
}

TEST_F(Faults, SkinCaptionsSitByTheRecordsAlignment) {
  struct Case {
    const char* alignment;
    int expectLeft, expectRight;  // the text's extent in the caption area (2..128)
  };
  const int tw = QFontMetrics(TwSkinFont(QStringLiteral("Arial"), 14, 0)).horizontalAdvance(QStringLiteral("Notes"));
  const Case cases[] = {
      {"taleftjustify", 2, 2 + tw},
      {"tarightjustify", 128 - tw, 128},
      {"tacenter", 2 + 63 - tw / 2, 2 + 63 - tw / 2 + tw},
  };
  for (const Case& c : cases) {
    TFixtureSkin skin(twtest::kSheetTag, "alignment=taleftjustify", QByteArray("alignment=") + c.alignment);
    QWidget parent;
    auto* g = new TtwSkinGroupBox(&parent);
    g->SetSkinData(&skin.data);
    g->SetBounds(0, 0, 130, 60);
    g->SetCaption(QStringLiteral("Notes"));
    const QImage face = g->RenderFace();
    int minX = 1000, maxX = -1;
    for (int y = 0; y < 11; ++y)
      for (int x = 0; x < 130; ++x)
        if (qRed(face.pixel(x, y)) > 200 && qGreen(face.pixel(x, y)) < 60 && qBlue(face.pixel(x, y)) < 60)
          minX = std::min(minX, x), maxX = std::max(maxX, x);
    ASSERT_GE(maxX, 0) << c.alignment;
    EXPECT_NEAR(minX, c.expectLeft, 2) << c.alignment;
    EXPECT_NEAR(maxX + 1, c.expectRight, 2) << c.alignment;
  }
}

TEST_F(Faults, AVerticalThreePieceKeepsItsWidthAndStretchesItsMiddleDown) {
  // The label piece turned on its side: ends 4 pixels, middle 2.
  TFixtureSkin skin(twtest::kSheetTag, "[label]\r\npictureindex=0\r\nskinrect=0,50,30,60\r\nlefttoppoint=5,0\r\n"
                                       "righttoppoint=25,0\r\nclientrect=5,0,25,10\r\n",
                    "[label]\r\npictureindex=0\r\nskinrect=50,50,60,60\r\nlefttoppoint=0,4\r\n"
                    "leftbottompoint=0,6\r\nclientrect=0,4,10,6\r\n");
  QWidget parent;
  auto* l = new TtwSkinLabel(&parent);
  l->SetSkinData(&skin.data);
  l->SetBounds(0, 0, 40, 30);
  EXPECT_EQ(l->PieceMode(), pmThreePieceV);
  EXPECT_EQ(l->size(), QSize(10, 30));
  const QImage face = l->RenderFace();
  EXPECT_EQ(From(face, 0, 0), QPoint(50, 50));
  EXPECT_EQ(From(face, 9, 3), QPoint(59, 53));   // top end 1:1
  EXPECT_EQ(From(face, 0, 5), QPoint(50, 54));   // the middle's two rows stretched
  EXPECT_EQ(From(face, 0, 25), QPoint(50, 55));
  EXPECT_EQ(From(face, 0, 26), QPoint(50, 56));  // bottom end 1:1
  EXPECT_EQ(From(face, 9, 29), QPoint(59, 59));
}

}  // namespace
