// The alignment layout every container uses.
#include <QLineEdit>
#include <QWidget>

#include "QtApp.h"
#include "platform/Align.h"
#include "skin/controls/twSkinBars.h"
#include "skin/controls/twSkinPanels.h"

namespace {

QWidget* Child(QWidget* parent, TAlign a, int w, int h) {
  auto* c = new QWidget(parent);
  c->resize(w, h);
  SetWidgetAlign(c, a);
  return c;
}

TEST(Align, LeftAndRightLineUpInCreationOrderHiddenTakeNoRoomClientFills) {
  QWidget parent;
  parent.resize(300, 100);
  QWidget* l1 = Child(&parent, TAlign::alLeft, 50, 10);
  QWidget* l2 = Child(&parent, TAlign::alLeft, 40, 10);
  QWidget* client = Child(&parent, TAlign::alClient, 5, 5);  // created before the rest
  QWidget* l3 = Child(&parent, TAlign::alLeft, 30, 10);
  QWidget* r1 = Child(&parent, TAlign::alRight, 60, 10);
  QWidget* r2 = Child(&parent, TAlign::alRight, 20, 10);
  l2->hide();

  EXPECT_EQ(l1->geometry(), QRect(0, 0, 50, 100));
  EXPECT_EQ(l3->geometry(), QRect(50, 0, 30, 100));
  EXPECT_EQ(r1->geometry(), QRect(240, 0, 60, 100));
  EXPECT_EQ(r2->geometry(), QRect(220, 0, 20, 100));
  EXPECT_EQ(client->geometry(), QRect(80, 0, 140, 100));

  l2->show();  // takes its place again, between l1 and l3
  EXPECT_EQ(l2->geometry(), QRect(50, 0, 40, 100));
  EXPECT_EQ(l3->geometry(), QRect(90, 0, 30, 100));
  EXPECT_EQ(client->geometry(), QRect(120, 0, 100, 100));

  // A size change of an aligned child moves its followers.
  SetWidgetBounds(l1, 0, 0, 70, 100);
  EXPECT_EQ(l2->x(), 70);
  EXPECT_EQ(client->geometry(), QRect(140, 0, 80, 100));
}

TEST(Align, TopAndBottomStackInsideThePaddingAndFollowParentResize) {
  QWidget parent;
  parent.setContentsMargins(2, 3, 4, 5);
  SetWidgetBounds(&parent, 0, 0, 200, 100);
  QWidget* t1 = Child(&parent, TAlign::alTop, 1, 10);
  QWidget* b1 = Child(&parent, TAlign::alBottom, 1, 20);
  QWidget* t2 = Child(&parent, TAlign::alTop, 1, 15);
  QWidget* l = Child(&parent, TAlign::alLeft, 30, 1);
  QWidget* c = Child(&parent, TAlign::alClient, 1, 1);
  EXPECT_EQ(t1->geometry(), QRect(2, 3, 194, 10));
  EXPECT_EQ(t2->geometry(), QRect(2, 13, 194, 15));
  EXPECT_EQ(b1->geometry(), QRect(2, 75, 194, 20));
  EXPECT_EQ(l->geometry(), QRect(2, 28, 30, 47));
  EXPECT_EQ(c->geometry(), QRect(32, 28, 164, 47));

  SetWidgetBounds(&parent, 0, 0, 300, 150);  // not shown: laid out at once
  EXPECT_EQ(b1->geometry(), QRect(2, 125, 294, 20));
  EXPECT_EQ(c->geometry(), QRect(32, 28, 264, 97));

  parent.show();
  parent.resize(250, 120);  // a resize from outside the layout
  QApplication::processEvents();
  EXPECT_EQ(c->geometry(), QRect(32, 28, 214, 67));
}

TEST(Align, ClientShrinksToNothingWhenEdgesFillTheParent) {
  QWidget parent;
  SetWidgetBounds(&parent, 0, 0, 100, 50);
  Child(&parent, TAlign::alLeft, 70, 1);
  Child(&parent, TAlign::alRight, 60, 1);
  QWidget* c = Child(&parent, TAlign::alClient, 1, 1);
  EXPECT_EQ(c->width(), 0);
}

TEST(Align, AnchorsFollowTheParentsEdges) {
  QWidget parent;
  SetWidgetBounds(&parent, 0, 0, 200, 100);
  auto* right = new QWidget(&parent);
  right->setGeometry(150, 10, 40, 20);
  SetWidgetAnchors(right, TAnchors(akRight) | akTop);
  auto* stretch = new QWidget(&parent);
  stretch->setGeometry(10, 40, 100, 20);
  SetWidgetAnchors(stretch, TAnchors(akLeft) | akRight | akTop | akBottom);
  auto* plain = new QWidget(&parent);
  plain->setGeometry(5, 5, 10, 10);

  SetWidgetBounds(&parent, 0, 0, 260, 130);
  EXPECT_EQ(right->geometry(), QRect(210, 10, 40, 20));
  EXPECT_EQ(stretch->geometry(), QRect(10, 40, 160, 50));
  EXPECT_EQ(plain->geometry(), QRect(5, 5, 10, 10));
}

TEST(Align, CaptionedGroupBoxPlacesChildrenBelowItsCaption) {
  TtwSkinGroupBox box;
  box.SetBounds(0, 0, 150, 100);
  auto* inner = new QWidget(&box);
  SetWidgetAlign(inner, TAlign::alClient);
  // 1-px frame on each side, caption band of 22 pixels under the top edge.
  EXPECT_EQ(inner->geometry(), QRect(1, 23, 148, 76));
  box.SetCaptionMode(false);
  EXPECT_EQ(inner->geometry(), QRect(1, 1, 148, 98));
  box.SetBorderStyle(bvNone);
  EXPECT_EQ(inner->geometry(), QRect(0, 0, 150, 100));
}

TEST(Align, ToolBarKeepsPlainControlsCentredWhateverTopIsAsked) {
  TtwSkinToolBar bar;
  bar.SetBounds(0, 0, 400, 25);
  auto* edit = new QLineEdit(&bar);
  edit->setGeometry(200, 0, 133, 22);
  bar.show();
  QApplication::processEvents();
  EXPECT_EQ(edit->y(), 1);
  edit->move(200, 9);
  QApplication::processEvents();
  EXPECT_EQ(edit->y(), 1);
  bar.SetHeight(41);
  EXPECT_EQ(edit->y(), 9);
  EXPECT_EQ(edit->x(), 200);
}

}  // namespace
