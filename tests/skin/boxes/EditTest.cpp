// Skinned edits: frame geometry, the window's keys, read-only, the context
// menu's states and life, and the look drawn from the built-in skin.
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

#include "../controls/QtApp.h"
#include "skin/data/twCompressedSkin.h"
#include "skins/BuiltinSkin.h"
#include "platform/Form.h"
#include "platform/Message.h"
#include "skin/boxes/twSkinComboBox.h"
#include "skin/boxes/twSkinEdits.h"
#include "skin/controls/twSkinButtons.h"
#include "skin/draw/twSystemColors.h"
#include "skin/menus/twMenuMessages.h"

namespace {

// ---------------------------------------------------------------- geometry

TEST(EditLayout, MarginsTextAreaAndButtonFromSizes) {
  struct Case {
    const char* name;
    TtwEditLayoutInput in;
    QMargins margins;
    QRect edit, button;
  };
  const TRect cr{4, 3, 56, 19};
  const Case cases[] = {
      {"unbound", {120, 20, false, false, true, 0, 0, {}, {}, 0}, {2, 2, 2, 2}, QRect(2, 2, 116, 16), {}},
      {"unbound button", {120, 20, false, true, true, 0, 0, {}, {}, 0}, {2, 2, 22, 2}, QRect(2, 2, 96, 16),
       QRect(100, 0, 20, 20)},
      // Narrower than high: the button is the whole edit, nothing negative.
      {"unbound narrow button", {12, 20, false, true, true, 0, 0, {}, {}, 0}, {2, 2, 10, 2}, QRect(2, 2, 0, 16),
       QRect(0, 0, 12, 20)},
      {"bound", {120, 22, true, false, true, 60, 22, cr, {}, 3}, {4, 3, 4, 3}, QRect(4, 3, 112, 16), {}},
      {"bound button follows the right end",
       {120, 22, true, true, true, 60, 22, {4, 3, 38, 19}, {41, 1, 59, 21}, 21},
       {4, 3, 22, 3},
       QRect(4, 3, 94, 16),
       QRect(101, 1, 18, 20)},
      {"bound without skin font stretches down", {120, 30, true, false, false, 60, 22, cr, {}, 3}, {4, 3, 4, 3},
       QRect(4, 3, 112, 24), {}},
      // A client rectangle larger than its piece gives no negative margin.
      {"client larger than piece", {120, 22, true, false, true, 60, 22, {-2, -1, 70, 30}, {}, 3}, {0, 0, 0, 0},
       QRect(-2, -1, 132, 31), {}},
      {"zero size", {0, 0, true, true, true, 60, 22, cr, {41, 1, 59, 21}, 3}, {0, 0, 0, 0}, QRect(4, 3, 0, 16), {}},
  };
  for (const Case& c : cases) {
    const TtwEditLayout l = LayoutEdit(c.in);
    EXPECT_EQ(l.Margins, c.margins) << c.name;
    EXPECT_GE(l.Margins.left(), 0) << c.name;
    EXPECT_GE(l.Margins.right(), 0) << c.name;
    EXPECT_LE(l.Margins.left() + l.Margins.right(), std::max(0, c.in.Width)) << c.name;
    EXPECT_EQ(l.EditRect, c.edit) << c.name;
    if (!c.button.isNull()) {
      EXPECT_EQ(l.ButtonArea, c.button) << c.name;
    }
  }
}

TEST(EditLayout, EndImagesTakeTheirWidthFromTheText) {
  TtwEditLayoutInput in{120, 20, false, false, true, 0, 0, {}, {}, 0};
  in.LeftImageWidth = in.RightImageWidth = 16;
  const TtwEditLayout l = LayoutEdit(in);
  EXPECT_EQ(l.LeftImageArea, QRect(2, 2, 16, 16));
  EXPECT_EQ(l.RightImageArea, QRect(102, 2, 16, 16));
  EXPECT_EQ(l.Margins, QMargins(20, 2, 20, 2));
  EXPECT_EQ(EditPartAt(l, false, QPoint(5, 5)), TtwEditPart::LeftImage);
  EXPECT_EQ(EditPartAt(l, false, QPoint(110, 5)), TtwEditPart::RightImage);
  EXPECT_EQ(EditPartAt(l, false, QPoint(60, 5)), TtwEditPart::Text);
  EXPECT_EQ(EditPartAt(l, false, QPoint(60, 0)), TtwEditPart::Frame);
}

// ---------------------------------------------------------------- keys

// A window with an edit, a default and a cancel button.
struct KeyWindow {
  TForm form;
  TtwSkinEdit* edit = new TtwSkinEdit(&form);
  TtwSkinButton* ok = new TtwSkinButton(&form);
  TtwSkinButton* cancel = new TtwSkinButton(&form);
  int oks = 0, cancels = 0;
  KeyWindow() {
    form.resize(300, 100);
    ok->SetBounds(10, 40, 80, 25);
    ok->SetDefault(true);
    ok->OnClick = [this] { ++oks; };
    cancel->SetBounds(100, 40, 80, 25);
    cancel->SetCancel(true);
    cancel->OnClick = [this] { ++cancels; };
    edit->SetBounds(10, 10, 150, 20);
    form.show();
    edit->setFocus();
  }
};

TEST(EditKeys, EnterAndEscapeReachTheWindowsButtonsAndStayOutOfTheText) {
  KeyWindow w;
  w.edit->setText(QStringLiteral("abc"));
  QList<QChar> seen;
  w.edit->OnKeyPress = [&](QObject*, QChar& c) { seen << c; };
  QSignalSpy returns(w.edit, &QLineEdit::returnPressed);
  QTest::keyClick(w.edit, Qt::Key_Return);
  EXPECT_EQ(w.oks, 1);
  QTest::keyClick(w.edit, Qt::Key_Escape);
  EXPECT_EQ(w.cancels, 1);
  EXPECT_EQ(w.edit->text(), QStringLiteral("abc"));
  EXPECT_EQ(returns.count(), 1);
  ASSERT_EQ(seen.size(), 2);
  EXPECT_EQ(seen[0], QChar(13));
  EXPECT_EQ(seen[1], QChar(27));
}

TEST(EditKeys, KeyPressHandlerCanDropOrSwapACharacter) {
  TtwSkinEdit e;
  e.OnKeyPress = [](QObject*, QChar& c) {
    if (c == QLatin1Char('x')) c = QChar();
    if (c == QLatin1Char('a')) c = QLatin1Char('A');
  };
  QTest::keyClicks(&e, QStringLiteral("xaxb"));
  EXPECT_EQ(e.text(), QStringLiteral("Ab"));
}

TEST(EditKeys, ReadOnlyRefusesEveryEditingCommand) {
  TtwSkinEdit e;
  e.setText(QStringLiteral("keep"));
  e.selectAll();
  QGuiApplication::clipboard()->setText(QStringLiteral("pasted"));
  e.setReadOnly(true);
  QTest::keyClicks(&e, QStringLiteral("zz"));
  QTest::keyClick(&e, Qt::Key_Delete);
  QTest::keyClick(&e, Qt::Key_Backspace);
  QTest::keyClick(&e, Qt::Key_X, Qt::ControlModifier);
  QTest::keyClick(&e, Qt::Key_V, Qt::ControlModifier);
  QTest::keyClick(&e, Qt::Key_Z, Qt::ControlModifier);
  e.selectAll();
  e.Cut();
  e.Paste();
  e.ClearSelection();
  e.Undo();
  EXPECT_EQ(e.text(), QStringLiteral("keep"));
  // Copy still works: the text is there to be read.
  e.selectAll();
  e.Copy();
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("keep"));
}

// ---------------------------------------------------------------- context menu

TEST(EditMenu, EnabledStatesFollowSelectionReadOnlyClipboardAndUndo) {
  struct Case {
    const char* name;
    const char* text;
    int selStart, selLength;
    bool readOnly, clipboard, typed;
    TtwEditCommandStates expected;  // undo, cut, copy, paste, delete, select all
  };
  const Case cases[] = {
      {"empty", "", 0, 0, false, false, false, {false, false, false, false, false, true}},
      {"no selection", "abc", 0, 0, false, true, false, {false, false, false, true, false, true}},
      {"part selected", "abc", 1, 1, false, true, false, {false, true, true, true, true, true}},
      {"all selected", "abc", 0, 3, false, false, false, {false, true, true, false, true, false}},
      {"read-only selection", "abc", 1, 2, true, true, false, {false, false, true, false, false, true}},
      {"after typing", "", 0, 0, false, false, true, {true, false, false, false, false, true}},
  };
  for (const Case& c : cases) {
    TtwSkinEdit e;
    QGuiApplication::clipboard()->setText(c.clipboard ? QStringLiteral("clip") : QString());
    if (c.typed) QTest::keyClicks(&e, QStringLiteral("ab"));
    else e.setText(QString::fromUtf8(c.text));
    if (c.selLength) e.setSelection(c.selStart, c.selLength);
    e.setReadOnly(c.readOnly);
    EXPECT_EQ(e.CommandStates(), c.expected) << c.name;
    // The menu shows the same states, in its order.
    e.ShowContextMenu(QPoint(-1, -1));
    QMenu* m = e.SystemPopupMenu();
    ASSERT_NE(m, nullptr) << c.name;
    QStringList texts;
    QList<bool> enabled;
    for (QAction* a : m->actions())
      if (!a->isSeparator()) {
        texts << a->text();
        enabled << a->isEnabled();
      }
    EXPECT_EQ(texts, (QStringList{"Undo", "Cut", "Copy", "Paste", "Delete", "Select All"})) << c.name;
    const auto& x = c.expected;
    EXPECT_EQ(enabled, (QList<bool>{x.Undo, x.Cut, x.Copy, x.Paste, x.Delete, x.SelectAll})) << c.name;
    m->hide();
  }
}

// Each command runs, then the menu is opened again, from inside the command
// too: a menu freed while its own command runs shows under the sanitizers.
TEST(EditMenu, ReopeningAfterEveryCommandNeverUsesAFreedMenu) {
  TtwSkinEdit e;
  e.show();
  QGuiApplication::clipboard()->setText(QStringLiteral("P"));
  e.setText(QStringLiteral("hello"));
  for (int i = 0; i < 6; ++i) {
    e.selectAll();
    e.ShowContextMenu(QPoint(-1, -1));
    QPointer<QMenu> m = e.SystemPopupMenu();
    ASSERT_TRUE(m);
    QList<QAction*> entries;
    for (QAction* a : m->actions())
      if (!a->isSeparator()) entries << a;
    QAction* a = entries[i];
    // The command reopens the menu while it runs.
    QObject::connect(a, &QAction::triggered, &e, [&e] { e.ShowContextMenu(QPoint(-1, -1)); });
    a->setEnabled(true);
    a->trigger();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(m) << i;                       // the menu that ran is gone
    EXPECT_NE(e.SystemPopupMenu(), nullptr) << i;  // the one opened inside it stays
    e.SystemPopupMenu()->hide();
  }
  EXPECT_TRUE(e.text().isEmpty());  // the last Delete took the whole text
}

TEST(EditMenu, MenuDoneMessageFreesTheMenuOnlyOnceItIsClosed) {
  TtwSkinEdit e;
  e.show();
  e.ShowContextMenu(QPoint(10, 10));
  QPointer<QMenu> m = e.SystemPopupMenu();
  ASSERT_TRUE(m && m->isVisible());
  SendMessage(&e, SKIN_MSG_MENU_DONE);
  EXPECT_EQ(e.SystemPopupMenu(), m.data());  // still open: kept
  m->hide();
  SendMessage(&e, SKIN_MSG_MENU_DONE);
  EXPECT_EQ(e.SystemPopupMenu(), nullptr);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(m);
}

// ---------------------------------------------------------------- skinned look

class SkinnedEdit : public ::testing::Test {
 protected:
  void SetUp() override {
    stored_.SetCompressedData(BuiltinSkinPackage());
    data_.SetCompressedStoredSkin(&stored_);
    ASSERT_FALSE(data_.Empty());
  }
  TtwSkinData* Data() { return &data_; }
  TtwCompressedStoredSkin stored_;
  TtwSkinData data_;
};

TEST_F(SkinnedEdit, BoundEditKeepsTheSkinHeightAndFollowsTheWidth) {
  TtwSkinEdit e;
  e.SetSkinData(Data());
  e.SetBounds(0, 0, 150, 40);
  ASSERT_TRUE(e.Bound());
  EXPECT_EQ(e.height(), e.Skin().PieceRect.Height());
  EXPECT_EQ(e.width(), 150);
  EXPECT_EQ(e.textMargins(), QMargins(4, 3, 4, 3));
  // A record of another kind copies nothing: the last look stays.
  e.SetSkinDataName(QStringLiteral("panel"));
  EXPECT_TRUE(e.Bound());
  EXPECT_EQ(e.height(), 22);
}

TEST_F(SkinnedEdit, UnboundButtonEditShowsASquareButtonWithTheNavyFrameWhenHot) {
  TtwSkinButtonEdit e;
  e.SetBounds(0, 0, 100, 20);
  EXPECT_EQ(e.ButtonArea(), QRect(80, 0, 20, 20));
  QMouseEvent move(QEvent::MouseMove, QPointF(90, 10), QPointF(90, 10), e.mapToGlobal(QPointF(90, 10)), Qt::NoButton,
                   Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(&e, &move);
  EXPECT_TRUE(e.ButtonHot());
  const QImage face = e.RenderFrame();
  EXPECT_EQ(face.pixelColor(80, 10), QColor(0x00, 0x00, 0x80));
  EXPECT_EQ(face.pixelColor(90, 3), QColor(0xB6, 0xBD, 0xD2));
}

TEST_F(SkinnedEdit, ButtonClickFiresOnReleaseOverTheButtonOnly) {
  TtwSkinButtonEdit e;
  e.SetSkinData(Data());
  e.SetBounds(0, 0, 120, 22);
  e.show();
  int clicks = 0;
  e.OnButtonClick = [&](QObject*) { ++clicks; };
  const QPoint b = e.ButtonArea().center();
  QTest::mousePress(&e, Qt::LeftButton, {}, b);
  EXPECT_TRUE(e.ButtonDown());
  QTest::mouseRelease(&e, Qt::LeftButton, {}, b);
  EXPECT_EQ(clicks, 1);
  QTest::mousePress(&e, Qt::LeftButton, {}, b);
  QTest::mouseRelease(&e, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(e.ButtonDown());
}

TEST_F(SkinnedEdit, FocusAndHoverTakeTheActivePieceAndColour) {
  TtwSkinEdit e;
  e.SetSkinData(Data());
  e.SetBounds(0, 0, 120, 22);
  const QImage normal = e.RenderFrame();
  QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
  QApplication::sendEvent(&e, &enter);
  EXPECT_TRUE(e.MouseInControl());
  EXPECT_EQ(e.palette().color(QPalette::Active, QPalette::Text), ColorToQ(e.Skin().ActiveFontColor));
  EXPECT_NE(e.RenderFrame(), normal);  // the hot piece
  e.setEnabled(false);
  EXPECT_EQ(e.palette().color(QPalette::Disabled, QPalette::Text), ColorToQ(e.Skin().DisabledFontColor));
}

TEST_F(SkinnedEdit, AnswersThePaintFrameMessages) {
  TtwSkinEdit e;
  e.SetSkinData(Data());
  e.SetBounds(0, 0, 80, 22);
  QImage img(80, 22, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  QPainter p(&img);
  EXPECT_EQ(SendMessage(&e, TW_EDIT_MSG_PAINT_FRAME, intptr_t(&p)), kEditAnswerPainted);
  EXPECT_EQ(SendMessage(&e, TW_EDIT_MSG_PAINT_FRAME_EX, intptr_t(&p), kEditPaintFrameExKey), kEditPaintFrameExKey);
  EXPECT_EQ(SendMessage(&e, TW_EDIT_MSG_PAINT_FRAME_EX, intptr_t(&p), 1), 0);
  p.end();
  EXPECT_EQ(img, e.RenderFrame());
}

}  // namespace

// A combo box taller than its skin draws its button from the button record:
// disabled, the button keeps its arrow, greyed in the record's disabled colour.
TEST_F(SkinnedEdit, ADisabledStretchedComboStillShowsItsArrowGreyed) {
  TtwSkinComboBox box;
  box.SetSkinData(Data());
  box.SetUseSkinSize(false);
  box.SetItems({QStringLiteral("Notes")});
  box.SetBounds(0, 0, 120, 55);
  const int i = Data()->FindControlIndex(QStringLiteral("combobutton"));
  ASSERT_GE(i, 0);
  const auto* b = dynamic_cast<const TtwDataSkinButtonControl*>(Data()->ControlRecords()[i]);
  ASSERT_NE(b, nullptr);
  auto arrowPixels = [&](TColor colour) {
    const QImage face = box.RenderFace();
    const QRect area = box.ButtonArea();
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
      for (int x = area.left(); x <= area.right(); ++x) n += face.pixel(x, y) == ColorToQ(colour).rgb();
    return n;
  };
  EXPECT_GT(arrowPixels(b->fontcolor), 3);
  box.setEnabled(false);
  EXPECT_GT(arrowPixels(b->disabledfontcolor), 3);
}
