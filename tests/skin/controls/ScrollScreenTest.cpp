// The category tree on a real X display, scrolled by dragging its skinned
// thumb with real pointer input (xdotool): the tree follows the drag.
#include <gtest/gtest.h>

#include <QProcess>
#include <QScrollBar>
#include <QTest>

#include "TreeWithBars.h"
#include "tests/support/EventWait.h"

using twtest::WaitFor;

namespace {

void Xdo(const QStringList& args) { ASSERT_EQ(QProcess::execute("xdotool", args), 0); }
QStringList At(const QPoint& p) { return {"mousemove", QString::number(p.x()), QString::number(p.y())}; }

TEST(ScrollScreen, DraggingTheSkinnedThumbScrollsA500CategoryTree) {
  twtest::App();
  Xdo(At({5, 5}));
  twtest::TTreeWithBars form(260, 400, false);
  form.host.move(100, 100);
  TtwSkinTreeView* tree = form.tree;
  TtwSkinScrollBar* vbar = form.vbar;
  QList<QTreeWidgetItem*> categories;
  for (int i = 0; i < 500; ++i) {
    auto* c = new QTreeWidgetItem(QStringList{QStringLiteral("Category %1").arg(i, 3, 10, QLatin1Char('0'))});
    c->addChild(new QTreeWidgetItem(QStringList{QStringLiteral("Note %1").arg(i)}));
    categories << c;
  }
  tree->addTopLevelItems(categories);
  form.host.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form.host));
  ASSERT_TRUE(WaitFor([&] { return vbar->isVisible(); }));
  QScrollBar* hidden = tree->verticalScrollBar();
  const int last = hidden->maximum();
  ASSERT_GT(last, 400);

  const TScrollBarParts parts = vbar->Parts();
  const QPoint grab = vbar->mapToGlobal(parts.Thumb.ToQ().center());
  const QPoint end = vbar->mapToGlobal(QPoint(parts.Thumb.ToQ().center().x(), vbar->height() + 40));
  const QPoint middle = grab + QPoint(0, (parts.ThumbCentreMax - parts.ThumbCentreMin) / 2);
  Xdo(At(grab) << "mousedown" << "1");
  Xdo(At(grab + QPoint(0, 10)));
  Xdo(At(end));
  EXPECT_TRUE(WaitFor([&] { return hidden->value() == last; }));
  Xdo(At(middle));
  EXPECT_TRUE(WaitFor([&] { return std::abs(hidden->value() - last / 2) <= 2; }));
  Xdo({"mouseup", "1"});
  EXPECT_TRUE(WaitFor([&] { return !vbar->Dragging(); }));
  // The tree shows the rows the bar says.
  EXPECT_EQ(vbar->Position(), hidden->value());
  EXPECT_EQ(tree->indexOfTopLevelItem(tree->itemAt(QPoint(2, 2))), hidden->value());
}

}  // namespace
