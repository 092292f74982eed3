// Skinned edits on a real X display with real input (xdotool): typed text
// (Chinese as real key presses and as committed input-method text), Enter
// pressing the default button, and the date edit's calendar opened by its
// button and a day picked by a click.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QProcess>
#include <QInputMethodEvent>
#include <QTest>

#include "../controls/QtApp.h"
#include "platform/Form.h"
#include "skin/boxes/twCalendar.h"
#include "skin/boxes/twSkinComboBox.h"
#include "skin/boxes/twSkinEdits.h"
#include "skin/controls/twSkinButtons.h"
#include "skin/data/twCompressedSkin.h"
#include "skins/BuiltinSkin.h"
#include "tests/support/EventWait.h"

#include <xcb/xcb.h>

namespace {

using namespace twtest;

void Xdo(const QStringList& args) { ASSERT_EQ(QProcess::execute("xdotool", args), 0); }
void ClickAt(const QPoint& p) {
  Xdo({"mousemove", QString::number(p.x()), QString::number(p.y()), "click", "1"});
}

// Gives each character of a text a spare key code of the display's keyboard
// map while it lives, and waits until the map reached Qt.
class TKeysFor {
 public:
  explicit TKeysFor(const QString& text) {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    conn_ = x11 ? x11->connection() : nullptr;
    if (!conn_) return;
    const xcb_setup_t* setup = xcb_get_setup(conn_);
    const int first = setup->min_keycode, count = setup->max_keycode - setup->min_keycode + 1;
    xcb_get_keyboard_mapping_reply_t* map =
        xcb_get_keyboard_mapping_reply(conn_, xcb_get_keyboard_mapping(conn_, first, count), nullptr);
    if (!map) return;
    const int per = map->keysyms_per_keycode;
    const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(map);
    const QList<uint> chars = text.toUcs4();
    for (int k = count - 1; k >= 0 && codes_.size() < chars.size(); --k) {
      bool empty = true;
      for (int j = 0; j < per; ++j) empty = empty && syms[k * per + j] == 0;
      if (empty) codes_.push_back(xcb_keycode_t(first + k));
    }
    free(map);
    if (codes_.size() < chars.size()) return;
    for (qsizetype i = 0; i < chars.size(); ++i) Map(codes_[i], 0x1000000 | chars[i]);
    xcb_flush(conn_);
    // Qt rereads its map when the server announces the change.
    QTest::qWait(300);
    mapped_ = true;
  }
  ~TKeysFor() {
    for (xcb_keycode_t c : codes_) Map(c, 0);
    if (conn_) xcb_flush(conn_);
  }
  bool Mapped() const { return mapped_; }

 private:
  void Map(xcb_keycode_t code, xcb_keysym_t sym) {
    const xcb_keysym_t syms[2] = {sym, sym};
    xcb_change_keyboard_mapping(conn_, 1, code, 2, syms);
  }
  xcb_connection_t* conn_ = nullptr;
  QList<xcb_keycode_t> codes_;
  bool mapped_ = false;
};

class EditScreen : public ::testing::Test {
 protected:
  void SetUp() override {
    Xdo({"mousemove", "5", "5"});
    stored.SetCompressedData(BuiltinSkinPackage());
    data.SetCompressedStoredSkin(&stored);
    form.setGeometry(100, 100, 420, 300);
    edit = new TtwSkinEdit(&form);
    edit->SetSkinData(&data);
    edit->SetBounds(20, 20, 250, 22);
    ok = new TtwSkinButton(&form);
    ok->SetSkinData(&data);
    ok->SetBounds(20, 60, 96, 25);
    ok->SetDefault(true);
    ok->OnClick = [this] { ++oks; };
    date = new TtwSkinDateEdit(&form);
    date->SetSkinData(&data);
    date->SetEditMask(QStringLiteral("!0000/99/99;1; "));
    date->SetBounds(20, 100, 160, 22);
    date->SetDate(QDateTime(QDate(2013, 5, 1), QTime()));
    combo = new TtwSkinComboBox(&form);
    combo->SetSkinData(&data);
    combo->SetItems({QStringLiteral("Apple"), QStringLiteral("Apricot"), QStringLiteral("Banana")});
    combo->SetStyle(twcbEditStyle);
    combo->SetBounds(200, 100, 160, 22);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  }

  TtwCompressedStoredSkin stored;
  TtwSkinData data;
  TForm form;
  TtwSkinEdit* edit = nullptr;
  TtwSkinButton* ok = nullptr;
  TtwSkinDateEdit* date = nullptr;
  TtwSkinComboBox* combo = nullptr;
  int oks = 0;
};

TEST_F(EditScreen, TypedTextLandsInTheEditEnterPressesTheDefaultButton) {
  ClickAt(edit->mapToGlobal(QPoint(30, 11)));
  ASSERT_TRUE(WaitFor([&] { return edit->hasFocus(); }));
  Xdo({"type", "--delay", "30", "Notes 2013"});
  ASSERT_TRUE(WaitFor([&] { return edit->text() == "Notes 2013"; })) << edit->text().toStdString();
  // Chinese as real key presses: the characters are given keys of their own
  // first (xdotool's own remapping is undone before Qt reads it).
  TKeysFor chinese(QStringLiteral("中文笔记"));
  ASSERT_TRUE(chinese.Mapped());
  Xdo({"type", "--delay", "30", " 中文笔记"});
  ASSERT_TRUE(WaitFor([&] { return edit->text() == QStringLiteral("Notes 2013 中文笔记"); }))
      << edit->text().toStdString();
  // And as committed input-method text, the way an input method delivers it.
  QInputMethodEvent commit;
  commit.setCommitString(QStringLiteral("会议"));
  QApplication::sendEvent(edit, &commit);
  EXPECT_EQ(edit->text(), QStringLiteral("Notes 2013 中文笔记会议"));
  Xdo({"key", "Return"});
  ASSERT_TRUE(WaitFor([&] { return oks == 1; }));
  EXPECT_EQ(edit->text(), QStringLiteral("Notes 2013 中文笔记会议"));
}

TEST_F(EditScreen, TheButtonOpensTheCalendarUnderTheEditAndAClickedDayIsTaken) {
  ClickAt(date->mapToGlobal(date->ButtonArea().center()));
  ASSERT_TRUE(WaitFor([&] { return date->Calendar()->isVisible(); }));
  ASSERT_TRUE(QTest::qWaitForWindowExposed(date->Calendar()));
  EXPECT_EQ(date->Calendar()->geometry().topLeft(), date->mapToGlobal(QPoint(0, date->height())));
  const TtwMonthGrid g = date->Calendar()->Grid();
  ClickAt(date->Calendar()->mapToGlobal(g.Cells[g.FirstColumn + 14].Rect.center()));
  ASSERT_TRUE(WaitFor([&] { return !date->Calendar()->isVisible(); }));
  EXPECT_EQ(date->text(), QStringLiteral("2013/05/15"));
  EXPECT_EQ(date->Date(), QDateTime(QDate(2013, 5, 15), QTime(0, 0)));
  // Opened again and closed by a click outside: the date stays.
  ClickAt(date->mapToGlobal(date->ButtonArea().center()));
  ASSERT_TRUE(WaitFor([&] { return date->Calendar()->isVisible(); }));
  ASSERT_TRUE(QTest::qWaitForWindowExposed(date->Calendar()));
  ClickAt(form.mapToGlobal(QPoint(380, 30)));
  ASSERT_TRUE(WaitFor([&] { return !date->Calendar()->isVisible(); }));
  EXPECT_EQ(date->Date().date(), QDate(2013, 5, 15));
  // A click on the button while it is open closes it, and does not reopen it.
  ClickAt(date->mapToGlobal(date->ButtonArea().center()));
  ASSERT_TRUE(WaitFor([&] { return date->Calendar()->isVisible(); }));
  ASSERT_TRUE(QTest::qWaitForWindowExposed(date->Calendar()));
  ClickAt(date->mapToGlobal(date->ButtonArea().center()));
  ASSERT_TRUE(WaitFor([&] { return !date->Calendar()->isVisible(); }));
  QTest::qWait(200);
  EXPECT_FALSE(date->Calendar()->isVisible());
}

TEST_F(EditScreen, TheEditStyleComboBoxCompletesATypedPrefix) {
  ClickAt(combo->mapToGlobal(combo->ItemAreaRect().center()));
  ASSERT_TRUE(WaitFor([&] { return combo->InnerEdit()->hasFocus(); }));
  Xdo({"type", "--delay", "40", "apr"});
  ASSERT_TRUE(WaitFor([&] { return combo->Text() == "Apricot"; })) << combo->Text().toStdString();
  EXPECT_EQ(combo->InnerEdit()->selectedText(), QStringLiteral("icot"));
  EXPECT_EQ(combo->ItemIndex(), 1);
  Xdo({"key", "BackSpace"});
  // The completed item's spelling stays; the deleted rest does not come back.
  ASSERT_TRUE(WaitFor([&] { return combo->Text() == "Apr"; })) << combo->Text().toStdString();
}

}  // namespace
