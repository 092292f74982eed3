// The frame's window state on a real form: sequences of roll-up, maximise,
// restore, minimise, caption double clicks, system-menu commands and skin
// changes, each step checked for bounds, RolledUp, the client and the hit
// map; and the system menu's table.
#include <QPainter>
#include <QScreen>
#include <QTest>
#include <vector>

#include "../controls/QtApp.h"
#include "FrameFixtures.h"
#include "platform/Align.h"
#include "platform/Form.h"
#include "platform/Message.h"
#include "skin/controls/twSkinBars.h"
#include "skin/data/twSkinIni.h"
#include "skin/form/twHitMap.h"
#include "skin/form/twSkinForm.h"
#include "skin/form/twSystemMenu.h"

namespace {

// ---- the system menu's table ------------------------------------------------

QStringList Names(const std::vector<TtwSystemMenuEntry>& entries) {
  QStringList out;
  for (const TtwSystemMenuEntry& e : entries) out << QString::fromLatin1(e.Name);
  return out;
}

TEST(SystemMenuTable, EntriesFollowStateIconsAndTheFormsOwnMenu) {
  const TtwBorderIcons all = biSystemMenu | biMinimize | biMaximize | biRollUp;
  using S = TtwFrameState;
  struct Case {
    TtwWindowState state;
    TtwBorderIcons icons;
    bool own, useDefault;
    QStringList names;
  } cases[] = {
      {{}, all, false, true, {"TWF_MINITEM", "TWF_MAXITEM", "TWF_ROLLUP", "", "TWF_CLOSE"}},
      {{S::Normal, true, false}, all, false, true, {"TWF_MINITEM", "TWF_MAXITEM", "TWF_RESTORE", "", "TWF_CLOSE"}},
      {{S::Maximized, false, true}, all, false, true, {"TWF_MINITEM", "TWF_RESTORE", "", "TWF_CLOSE"}},
      {{S::Minimized, false, false}, all, false, true, {"TWF_MAXITEM", "TWF_RESTORE", "", "TWF_CLOSE"}},
      {{}, biSystemMenu | biMinimizeToTray, false, true, {"TWF_MINTOTRAY", "", "TWF_CLOSE"}},
      {{}, biSystemMenu, false, true, {"TWF_CLOSE"}},
      {{}, all, true, true, {"TWF_MINITEM", "TWF_MAXITEM", "TWF_ROLLUP", "", "TWF_CLOSE"}},
      {{}, all, true, false, {}},  // the form's own menu stands alone
  };
  for (const Case& c : cases) {
    TtwSystemMenuInput in;
    in.State = c.state;
    in.Icons = c.icons;
    in.HasSystemMenu = c.own;
    in.UseDefaultSysMenu = c.useDefault;
    EXPECT_EQ(Names(SystemMenuEntries(in)), c.names) << c.names.join(',').toStdString();
  }
  TtwSystemMenuInput in;
  const auto entries = SystemMenuEntries(in);
  EXPECT_EQ(entries.back().Command, TtwFrameCommand::Close);
  EXPECT_STREQ(entries.back().Shortcut, "Alt+F4");
}

// ---- sequences of window states ----------------------------------------------

// A secondary window (no application main window) with the fixture skin:
// margins 3, 6, 3, 3, so the frame alone is 9 pixels high; a bottom-aligned
// magenta bar stands for a status bar.
class StateFrame : public ::testing::Test {
 protected:
  void SetUp() override {
    form.SetBorderStyle(TFormBorderStyle::bsSizeable);
    form.SetCaption("States");
    bar = new QWidget(&form);
    bar->setAutoFillBackground(true);
    QPalette pal = bar->palette();
    pal.setColor(QPalette::Window, Qt::magenta);
    bar->setPalette(pal);
    bar->resize(10, 12);
    SetWidgetAlign(bar, TAlign::alBottom);
    form.resize(80, 60);
    form.move(120, 90);
    frame = new TtwSkinForm(&form);
    frame->SetSkinData(&skin.data);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    normal = form.geometry();
  }
  QRect MaximizedRect() const {
    QScreen* s = form.screen();
    return MaximizedBounds(s->geometry(), s->availableGeometry(), QGuiApplication::primaryScreen()->geometry(), false);
  }

  twtest::FixtureSkin skin;
  TForm form;
  QWidget* bar = nullptr;
  TtwSkinForm* frame = nullptr;
  QRect normal;
};

enum class Step { RollUp, Maximize, Restore, Minimize, CaptionDoubleClick, MenuRestore, SkinChange };
enum class Bounds { Normal, NormalBar, Maximized, MaximizedBar, MinimizedBar };

struct Expect {
  Step step;
  TtwFrameState state;
  bool rolledUp;
  Bounds bounds;
};

TEST_F(StateFrame, SequencesOfStatesGiveBackTheWindowAsItWas) {
  using S = TtwFrameState;
  const std::vector<std::vector<Expect>> sequences = {
      // Maximise remembers the roll-up; restore gives back the bar that unrolls.
      {{Step::RollUp, S::Normal, true, Bounds::NormalBar},
       {Step::Maximize, S::Maximized, false, Bounds::Maximized},
       {Step::Restore, S::Normal, true, Bounds::NormalBar},
       {Step::RollUp, S::Normal, false, Bounds::Normal}},
      // Rolled up after maximising: restore unrolls and restores.
      {{Step::Maximize, S::Maximized, false, Bounds::Maximized},
       {Step::RollUp, S::Maximized, true, Bounds::MaximizedBar},
       {Step::CaptionDoubleClick, S::Maximized, false, Bounds::Maximized},
       {Step::RollUp, S::Maximized, true, Bounds::MaximizedBar},
       {Step::Restore, S::Normal, false, Bounds::Normal}},
      // Minimised from the bar and back; the system menu's Restore unrolls.
      {{Step::RollUp, S::Normal, true, Bounds::NormalBar},
       {Step::Minimize, S::Minimized, true, Bounds::MinimizedBar},
       {Step::Restore, S::Normal, true, Bounds::NormalBar},
       {Step::MenuRestore, S::Normal, false, Bounds::Normal}},
      // Double clicks on a sizeable window maximise and restore; a skin
      // change in between keeps the state.
      {{Step::CaptionDoubleClick, S::Maximized, false, Bounds::Maximized},
       {Step::SkinChange, S::Maximized, false, Bounds::Maximized},
       {Step::CaptionDoubleClick, S::Normal, false, Bounds::Normal},
       {Step::RollUp, S::Normal, true, Bounds::NormalBar},
       {Step::SkinChange, S::Normal, true, Bounds::NormalBar},
       {Step::RollUp, S::Normal, false, Bounds::Normal}},
      // Maximised, minimised, restored: back to normal.
      {{Step::Maximize, S::Maximized, false, Bounds::Maximized},
       {Step::Minimize, S::Minimized, false, Bounds::MinimizedBar},
       {Step::Restore, S::Normal, false, Bounds::Normal}},
  };
  const int barHeight = 16 - 7;
  for (size_t n = 0; n < sequences.size(); ++n) {
    ASSERT_EQ(frame->FrameState(), TtwFrameState::Normal);
    ASSERT_FALSE(frame->RolledUp());
    ASSERT_EQ(form.geometry(), normal) << "sequence " << n;
    for (size_t i = 0; i < sequences[n].size(); ++i) {
      const Expect& e = sequences[n][i];
      switch (e.step) {
        case Step::RollUp: frame->RunCommand(TtwFrameCommand::RollUp); break;
        case Step::Maximize: frame->RunCommand(TtwFrameCommand::Maximize); break;
        case Step::Restore: frame->Restore(); break;
        case Step::Minimize: frame->RunCommand(TtwFrameCommand::Minimize); break;
        case Step::MenuRestore: frame->RunCommand(TtwFrameCommand::Restore); break;
        case Step::CaptionDoubleClick: QTest::mouseDClick(&form, Qt::LeftButton, {}, QPoint(30, 3)); break;
        case Step::SkinChange:
          SendMessage(&form, SKIN_MSG_BEFORE_CHANGE, reinterpret_cast<intptr_t>(&skin.data));
          SendMessage(&form, SKIN_MSG_CHANGE, reinterpret_cast<intptr_t>(&skin.data));
          break;
      }
      const std::string where = "sequence " + std::to_string(n) + " step " + std::to_string(i);
      EXPECT_EQ(frame->FrameState(), e.state) << where;
      EXPECT_EQ(frame->RolledUp(), e.rolledUp) << where;
      QRect want;
      switch (e.bounds) {
        case Bounds::Normal: want = normal; break;
        case Bounds::NormalBar: want = QRect(normal.topLeft(), QSize(normal.width(), barHeight)); break;
        case Bounds::Maximized: want = MaximizedRect(); break;
        case Bounds::MaximizedBar: want = MaximizedRect(); want.setHeight(barHeight); break;
        case Bounds::MinimizedBar: {
          const QRect area = form.screen()->availableGeometry();
          want = QRect(area.left(), area.bottom() + 1 - barHeight, 20, barHeight);
          break;
        }
      }
      EXPECT_EQ(form.geometry(), want) << where;
      const bool frameAlone = e.rolledUp || e.state == S::Minimized;
      EXPECT_EQ(bar->isVisible(), !frameAlone) << where;
      EXPECT_EQ(form.ClientHeight(), frameAlone ? 0 : want.height() - 9) << where;
      // The hit map: caption at the top; the client where there is one.
      const QImage map = RenderHitMap(*frame);
      EXPECT_EQ(qRed(map.pixel(form.width() / 2, 3)), htCaption) << where;
      if (!frameAlone) {
        EXPECT_EQ(qRed(map.pixel(form.width() / 2, form.height() / 2)), htClient) << where;
      }
    }
  }
}

// The rolled-up window shows its frame: the bottom-aligned bar no longer
// covers the caption.
TEST_F(StateFrame, RolledUpWindowShowsTheCaptionNotTheClient) {
  frame->SetRolledUp(true);
  const QImage shot = form.grab().toImage();
  ASSERT_EQ(shot.height(), 9);
  for (int x = 4; x < form.width() - 4; x += 7)
    EXPECT_NE(shot.pixelColor(x, 3), QColor(Qt::magenta)) << x;
  frame->SetRolledUp(false);
  EXPECT_TRUE(bar->isVisible());
  EXPECT_EQ(bar->geometry().bottom(), form.contentsRect().bottom());
}

TEST_F(StateFrame, StatusBarGripIsShownExceptWhileMaximised) {
  auto* status = new TtwSkinStatusBar(&form);
  status->SetSizeGrip(true);
  frame->StatusBar = status;
  frame->Maximize();
  EXPECT_FALSE(status->ShowGrip());
  EXPECT_TRUE(status->SizeGrip()) << "the bar's own setting is left alone";
  frame->Restore();
  EXPECT_TRUE(status->ShowGrip());
  EXPECT_TRUE(status->SizeGrip());
}

// A press on a status bar's grip arrives as a message: the frame sizes from
// the bottom-right corner, following the pointer while the button is down.
TEST_F(StateFrame, GripPressMessageSizesFromTheCorner) {
  const QPoint local(form.width() - 4, form.height() - 4);
  const QPoint g = form.mapToGlobal(local);
  const intptr_t packed = (intptr_t(g.y()) << 16) | (g.x() & 0xFFFF);
  EXPECT_EQ(SendMessage(&form, WM_NCLBUTTONDOWN, 16 + 1, packed), 1);
  QTest::mouseMove(&form, local + QPoint(30, 20));
  QTest::mouseRelease(&form, Qt::LeftButton, {}, local + QPoint(30, 20));
  EXPECT_EQ(form.geometry(), QRect(normal.topLeft(), normal.size() + QSize(30, 20)));
  // Not while maximised, and not for a code that is no sizing part.
  EXPECT_EQ(SendMessage(&form, WM_NCLBUTTONDOWN, htCaption, packed), 0);
  frame->Maximize();
  EXPECT_EQ(SendMessage(&form, WM_NCLBUTTONDOWN, 17, packed), 0);
}

TEST_F(StateFrame, MaximisedWindowFollowsItsWorkArea) {
  frame->Maximize();
  form.setGeometry(10, 10, 100, 100);  // as a monitor change would leave it
  emit form.screen()->availableGeometryChanged(form.screen()->availableGeometry());
  EXPECT_EQ(form.geometry(), MaximizedRect());
}

}  // namespace
