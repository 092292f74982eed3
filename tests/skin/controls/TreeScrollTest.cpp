// The tree view and its external skinned bars stay in step: keys, wheel,
// expanding, paging, far positions, long titles and the tree's visibility.
#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include "QtApp.h"
#include "platform/Align.h"
#include "platform/Clock.h"
#include "skin/controls/twSkinTreeView.h"

namespace {

void Settle() {
  for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

class TreeBars : public ::testing::Test {
 protected:
  void SetUp() override {
    host.resize(200, 300);
    hbar = new TtwSkinScrollBar(&host);
    SetWidgetAlign(hbar, TAlign::alBottom);
    vbar = new TtwSkinScrollBar(&host);
    vbar->SetKindAsDesigned(sbVertical);
    SetWidgetAlign(vbar, TAlign::alRight);
    tree = new TtwSkinTreeView(&host);
    tree->SetAlign(TAlign::alClient);
    tree->SetVScrollBar(vbar);
    tree->SetHScrollBar(hbar);
    host.show();
    Settle();
  }
  void AddCategories(int n, int notesEach) {
    QList<QTreeWidgetItem*> top;
    for (int i = 0; i < n; ++i) {
      auto* c = new QTreeWidgetItem(QStringList{QStringLiteral("c%1").arg(i)});
      for (int j = 0; j < notesEach; ++j) c->addChild(new QTreeWidgetItem(QStringList{QStringLiteral("n%1").arg(j)}));
      top << c;
    }
    tree->addTopLevelItems(top);
    Settle();
  }
  QScrollBar* Hidden() const { return tree->verticalScrollBar(); }
  // The bar mirrors the hidden bar: the thumb's last position is its maximum.
  void ExpectInStep() const {
    const QScrollBar* h = Hidden();
    EXPECT_EQ(vbar->Min(), h->minimum());
    EXPECT_EQ(vbar->Max(), h->maximum() + h->pageStep() - 1);
    EXPECT_EQ(vbar->PageSize(), h->pageStep());
    EXPECT_EQ(vbar->Position(), h->value());
    EXPECT_EQ(!vbar->isHidden(), h->maximum() > h->minimum());
  }
  // The row of the top item among the rows shown, expanded children counted.
  int TopRow() const {
    int row = 0;
    for (QTreeWidgetItem* i = tree->itemAt(QPoint(1, 1)); i && tree->itemAbove(i); i = tree->itemAbove(i)) ++row;
    return row;
  }

  QWidget host;
  TtwSkinTreeView* tree = nullptr;
  TtwSkinScrollBar *vbar = nullptr, *hbar = nullptr;
};

TEST_F(TreeBars, BarsShowOnlyWhenThereIsSomethingToScroll) {
  EXPECT_TRUE(tree->verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOff);
  AddCategories(3, 0);
  EXPECT_TRUE(vbar->isHidden());
  EXPECT_TRUE(hbar->isHidden());
  AddCategories(60, 0);
  EXPECT_FALSE(vbar->isHidden());
  ExpectInStep();
  // The tree gives the bar its room.
  EXPECT_EQ(tree->width() + vbar->width(), host.width());
  tree->hide();
  EXPECT_TRUE(vbar->isHidden());
  tree->show();
  Settle();
  EXPECT_FALSE(vbar->isHidden());
}

TEST_F(TreeBars, KeysWheelExpandingAndPagingKeepTreeAndBarInStep) {
  AddCategories(80, 5);
  tree->setFocus();
  tree->setCurrentItem(tree->topLevelItem(0));
  QTest::keyClick(tree, Qt::Key_End);
  Settle();
  EXPECT_EQ(Hidden()->value(), Hidden()->maximum());
  ExpectInStep();

  QWheelEvent wheel(QPointF(20, 20), tree->viewport()->mapToGlobal(QPointF(20, 20)), QPoint(), QPoint(0, 120),
                    Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(tree->viewport(), &wheel);
  Settle();
  EXPECT_LT(Hidden()->value(), Hidden()->maximum());
  ExpectInStep();

  const int maxBefore = vbar->Max();
  tree->expandItem(tree->topLevelItem(2));
  Settle();
  EXPECT_EQ(vbar->Max(), maxBefore + 5);
  ExpectInStep();

  // A press on the track below the thumb pages down by one page of rows.
  TwManualClock clock;
  vbar->SetPosition(0);
  const TScrollBarParts parts = vbar->Parts();
  const QPoint below(parts.Track.Left + 2, parts.Track.Bottom - 2);
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(below), vbar->mapToGlobal(QPointF(below)),
                    Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(vbar, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, QPointF(below), vbar->mapToGlobal(QPointF(below)),
                      Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
  QCoreApplication::sendEvent(vbar, &release);
  Settle();
  EXPECT_EQ(vbar->Position(), Hidden()->pageStep());
  EXPECT_EQ(TopRow(), Hidden()->pageStep());
  ExpectInStep();
}

TEST_F(TreeBars, FarPositionsAreExact) {
  QList<QTreeWidgetItem*> rows;
  for (int i = 0; i < 100'000; ++i) rows << new QTreeWidgetItem(QStringList{QString::number(i)});
  tree->addTopLevelItems(rows);
  Settle();
  ExpectInStep();
  vbar->SetPosition(70'000);
  Settle();
  EXPECT_EQ(Hidden()->value(), 70'000);
  EXPECT_EQ(tree->indexOfTopLevelItem(tree->itemAt(QPoint(1, 1))), 70'000);
  tree->scrollToItem(tree->topLevelItem(99'999), QAbstractItemView::PositionAtBottom);
  Settle();
  EXPECT_EQ(vbar->Position(), 100'000 - Hidden()->pageStep());
  ExpectInStep();
}

TEST_F(TreeBars, LongTitleBringsTheHorizontalBarAndIsReachable) {
  AddCategories(2, 0);
  const QString title(QStringLiteral("A title far wider than the column of the category tree"));
  auto* c = tree->topLevelItem(0);
  c->addChild(new QTreeWidgetItem(QStringList{title}));
  EXPECT_TRUE(hbar->isHidden());
  tree->expandItem(c);
  Settle();
  ASSERT_FALSE(hbar->isHidden());
  EXPECT_FALSE(hbar->Both());  // no vertical bar: no corner marker
  const QRect r = tree->visualItemRect(c->child(0));
  EXPECT_GE(tree->header()->sectionSize(0) - r.left(), tree->fontMetrics().horizontalAdvance(title));
  hbar->SetPosition(hbar->Max());
  Settle();
  EXPECT_EQ(tree->horizontalScrollBar()->value(), tree->horizontalScrollBar()->maximum());
  // Collapsing takes the long title away and the bar with it.
  tree->collapseItem(c);
  Settle();
  EXPECT_TRUE(hbar->isHidden());
  EXPECT_EQ(tree->header()->sectionSize(0), tree->viewport()->width());
  // With the vertical bar shown the horizontal one keeps the corner free.
  tree->expandItem(c);
  AddCategories(60, 0);
  EXPECT_FALSE(vbar->isHidden());
  EXPECT_TRUE(hbar->Both());
  EXPECT_EQ(hbar->width(), host.width());
  EXPECT_EQ(vbar->geometry().bottom() + 1, hbar->y());
}

}  // namespace
