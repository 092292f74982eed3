// The category box on a real X display with real pointer input (xdotool),
// which goes through the pop-up's grab as a user's mouse does: a click opens
// the list, a click on an item or a press dragged onto it and released takes
// the item and closes the list, a click elsewhere closes it taking nothing,
// and real keys reach the open list.
#include <gtest/gtest.h>

#include <QProcess>
#include <QTest>

#include "../controls/QtApp.h"
#include "skin/boxes/twSkinComboBox.h"
#include "skin/data/twCompressedSkin.h"
#include "skin/data/twSkinData.h"
#include "skins/BuiltinSkin.h"
#include "tests/support/EventWait.h"

namespace {

using twtest::WaitFor;

void Xdo(const QStringList& args) { ASSERT_EQ(QProcess::execute("xdotool", args), 0); }
QStringList At(const QPoint& p) { return {"mousemove", QString::number(p.x()), QString::number(p.y())}; }

class ComboScreen : public ::testing::Test {
 protected:
  void SetUp() override {
    Xdo(At({5, 5}));
    stored.SetCompressedData(BuiltinSkinPackage());
    data.SetCompressedStoredSkin(&stored);
    form.setGeometry(100, 100, 400, 300);
    // As the main window has it: stretched to 121 x 54, eight rows at most.
    box = new TtwSkinComboBox(&form);
    box->SetUseSkinSize(false);
    box->SetSkinData(&data);
    box->SetItems({"Work", "Home", "Ideas", "Reading", "Travel"});
    box->SetItemIndex(0);
    box->SetBounds(20, 20, 121, 54);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.activateWindow();
    QTest::qWait(100);
  }
  QPoint BoxCentre() const { return box->mapToGlobal(box->rect().center()); }
  QPoint Row(int i) const {
    TtwListBox* inner = box->PopupList()->InnerList();
    return inner->viewport()->mapToGlobal(inner->visualItemRect(inner->item(i)).center());
  }
  bool Open() {
    Xdo(At(BoxCentre()) << "click" << "1");
    return WaitFor([&] { return box->Dropped() && box->PopupList()->isVisible(); }) &&
           QTest::qWaitForWindowExposed(box->PopupList());
  }

  TtwCompressedStoredSkin stored;
  TtwSkinData data;
  QWidget form;
  TtwSkinComboBox* box = nullptr;
};

TEST_F(ComboScreen, AClickOpensTheListAndAClickOnAnItemTakesIt) {
  ASSERT_TRUE(Open());
  EXPECT_EQ(box->PopupList()->geometry().top(), box->mapToGlobal(QPoint(0, box->height())).y());
  QTest::qWait(100);
  Xdo(At(Row(2)) << "click" << "1");
  ASSERT_TRUE(WaitFor([&] { return !box->Dropped(); }));
  EXPECT_EQ(box->Text(), QStringLiteral("Ideas"));
  EXPECT_FALSE(box->PopupList()->isVisible());
}

TEST_F(ComboScreen, PressDragReleaseTakesTheItemInOneGesture) {
  Xdo(At(BoxCentre()) << "mousedown" << "1");
  ASSERT_TRUE(WaitFor([&] { return box->PopupList()->isVisible(); }));
  QTest::qWait(100);
  Xdo(At(Row(3) + QPoint(0, -2)));
  Xdo(At(Row(3)));
  ASSERT_TRUE(WaitFor([&] { return box->PopupList()->ItemIndex() == 3; }));
  Xdo({"mouseup", "1"});
  ASSERT_TRUE(WaitFor([&] { return !box->Dropped(); }));
  EXPECT_EQ(box->Text(), QStringLiteral("Reading"));
  EXPECT_FALSE(box->ButtonDown());
}

TEST_F(ComboScreen, AClickOnTheBoxOrElsewhereClosesTakingNothing) {
  ASSERT_TRUE(Open());
  Xdo(At(Row(1)));
  QTest::qWait(100);
  Xdo(At(BoxCentre()) << "click" << "1");  // the box again: closes, does not reopen
  ASSERT_TRUE(WaitFor([&] { return !box->Dropped(); }));
  QTest::qWait(200);
  EXPECT_FALSE(box->Dropped());
  EXPECT_EQ(box->Text(), QStringLiteral("Work"));
  ASSERT_TRUE(Open());
  Xdo(At(form.mapToGlobal(QPoint(350, 250))) << "click" << "1");
  ASSERT_TRUE(WaitFor([&] { return !box->Dropped(); }));
  EXPECT_EQ(box->Text(), QStringLiteral("Work"));
}

TEST_F(ComboScreen, RealKeysReachTheOpenList) {
  ASSERT_TRUE(Open());
  Xdo({"key", "Down", "Down"});
  ASSERT_TRUE(WaitFor([&] { return box->PopupList()->ItemIndex() == 2; }));
  EXPECT_EQ(box->Text(), QStringLiteral("Work"));
  Xdo({"key", "Return"});
  ASSERT_TRUE(WaitFor([&] { return !box->Dropped(); }));
  EXPECT_EQ(box->Text(), QStringLiteral("Ideas"));
  ASSERT_TRUE(Open());
  Xdo({"key", "End", "Escape"});
  ASSERT_TRUE(WaitFor([&] { return !box->Dropped(); }));
  EXPECT_EQ(box->Text(), QStringLiteral("Ideas"));
}

}  // namespace
