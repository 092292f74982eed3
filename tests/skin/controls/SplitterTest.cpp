// Splitter: drags a line, resizes its aligned neighbour on release.
#include <QTest>

#include "QtApp.h"
#include "skin/controls/twSkinLabels.h"
#include "skin/controls/twSkinPanels.h"

namespace {

struct Layout {
  QWidget parent;
  TtwSkinPanel* left;
  TtwSkinSplitter* splitter;
  TtwSkinPanel* client;
  Layout() {
    parent.resize(400, 200);
    left = new TtwSkinPanel(&parent);
    left->SetBounds(0, 0, 150, 200);
    left->SetAlign(TAlign::alLeft);
    splitter = new TtwSkinSplitter(&parent);
    splitter->SetAlign(TAlign::alLeft);
    splitter->ApplySkin();  // no skin: DefaultSize wide
    client = new TtwSkinPanel(&parent);
    client->SetAlign(TAlign::alClient);
    parent.show();
    QApplication::processEvents();
  }
};

TEST(Splitter, TakesItsDefaultSizeWithoutASkin) {
  Layout l;
  EXPECT_EQ(l.splitter->geometry(), QRect(150, 0, 10, 200));
  EXPECT_EQ(l.client->geometry(), QRect(160, 0, 240, 200));
  EXPECT_EQ(l.splitter->FindControl(), l.left);
}

TEST(Splitter, DragMovesOnlyALineUntilReleaseThenResizesTheNeighbour) {
  Layout l;
  int moved = 0;
  l.splitter->OnMoved = [&](QObject*) { ++moved; };
  QTest::mousePress(l.splitter, Qt::LeftButton, {}, QPoint(5, 100));
  QTest::mouseMove(l.splitter, QPoint(45, 100));
  // Not live: the panes keep their sizes while dragging.
  EXPECT_EQ(l.left->width(), 150);
  EXPECT_EQ(l.client->x(), 160);
  QTest::mouseRelease(l.splitter, Qt::LeftButton, {}, QPoint(45, 100));
  EXPECT_EQ(l.left->width(), 190);
  EXPECT_EQ(l.splitter->x(), 190);
  EXPECT_EQ(l.client->geometry(), QRect(200, 0, 200, 200));
  EXPECT_EQ(moved, 1);
}

TEST(Splitter, DragIsClampedByMinSizeOnBothSides) {
  Layout l;
  QTest::mousePress(l.splitter, Qt::LeftButton, {}, QPoint(5, 100));
  QTest::mouseRelease(l.splitter, Qt::LeftButton, {}, QPoint(-300, 100));
  EXPECT_EQ(l.left->width(), 30);
  QTest::mousePress(l.splitter, Qt::LeftButton, {}, QPoint(5, 100));
  QTest::mouseRelease(l.splitter, Qt::LeftButton, {}, QPoint(900, 100));
  // The client keeps MinSize.
  EXPECT_EQ(l.client->width(), 30);
  EXPECT_EQ(l.left->width(), 400 - 10 - 30);
}

}  // namespace
