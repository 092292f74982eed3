// Caption objects apart from any window: the one look each shows for its
// state, pieces and the window's state, and the transitions of that state
// under the mouse, seen through a recording host.
#include <gtest/gtest.h>

#include <QIcon>
#include <QImage>
#include <QPainter>
#include <functional>
#include <vector>

#include "../controls/QtApp.h"
#include "skin/data/twSkinIni.h"
#include "skin/data/twSkinRecords.h"
#include "skin/form/twObjectLook.h"
#include "skin/form/twSkinObjects.h"

namespace {

// ---- the look table ------------------------------------------------------------

TEST(ObjectLook, OneLookForEveryStatePieceAndWindowState) {
  using K = TtwObjectKind;
  using L = TtwLook;
  using S = TtwFrameState;
  const TtwObjectState idle{}, hot{true, true, false}, down{true, true, true}, downOut{true, false, true};
  const int plain = lpActive | lpInactive | lpDown | lpDisabled;
  const int restore = lpRestore | lpRestoreActive | lpRestoreDown | lpRestoreInactive;
  const TtwWindowState normal{}, maximized{S::Maximized}, rolledUp{S::Normal, true};
  struct Case {
    const char* what;
    K kind;
    TtwObjectState state;
    int pieces;
    TtwWindowState window;
    bool windowActive;
    TtwObjectLook look;
    bool enabled = true;
    double morph = 0;  // with morphing on when not 0
    int command = twtok::cmclose;
    int frame = 0;
  } cases[] = {
      {"idle", K::Button, idle, plain, normal, true, {L::Normal}},
      {"hot", K::Button, hot, plain, normal, true, {L::Active}},
      {"hot without an active piece", K::Button, hot, lpDown, normal, true, {L::Normal}},
      {"down", K::Button, down, plain, normal, true, {L::Down}},
      {"down, pointer outside", K::Button, downOut, plain, normal, true, {L::Active}},
      {"down without a down piece", K::Button, down, lpActive, normal, true, {L::Active}},
      {"window inactive", K::Button, hot, plain, normal, false, {L::Inactive}},
      {"window inactive, no inactive piece", K::Button, hot, lpActive, normal, false, {L::Active}},
      {"disabled", K::Button, idle, plain, normal, false, {L::Disabled}, false},
      {"disabled, no disabled piece, inactive", K::Button, idle, lpInactive, normal, false, {L::Normal}, false},
      {"morph step", K::Button, hot, plain, normal, true, {L::Morph, false, 0.4}, true, 0.4},
      {"morph under a press", K::Button, down, plain, normal, true, {L::Down}, true, 0.4},
      {"inactive over a morph", K::Button, idle, plain, normal, false, {L::Inactive}, true, 0.6},
      // Standard buttons: the restore set in the state it belongs to.
      {"maximise, normal window", K::StdButton, hot, plain | restore, normal, true, {L::Active}, true, 0,
       twtok::cmmaximize},
      {"maximise, maximised", K::StdButton, idle, plain | restore, maximized, true, {L::Normal, true}, true, 0,
       twtok::cmmaximize},
      {"maximise, maximised, hot", K::StdButton, hot, plain | restore, maximized, true, {L::Active, true}, true, 0,
       twtok::cmmaximize},
      {"maximise, maximised, down", K::StdButton, down, plain | restore, maximized, true, {L::Down, true}, true, 0,
       twtok::cmmaximize},
      {"maximise, maximised, inactive", K::StdButton, idle, plain | restore, maximized, false, {L::Inactive, true},
       true, 0, twtok::cmmaximize},
      {"maximise, maximised, morph", K::StdButton, hot, plain | restore, maximized, true, {L::Morph, true, 0.2},
       true, 0.2, twtok::cmmaximize},
      {"maximise, maximised, no restore piece", K::StdButton, hot, plain, maximized, true, {L::Active}, true, 0,
       twtok::cmmaximize},
      {"maximise, maximised, disabled", K::StdButton, idle, plain | restore, maximized, true, {L::Disabled}, false,
       0, twtok::cmmaximize},
      {"roll-up, rolled up", K::StdButton, idle, plain | restore, rolledUp, true, {L::Normal, true}, true, 0,
       twtok::cmrollup},
      {"close, rolled up", K::StdButton, idle, plain | restore, rolledUp, true, {L::Normal}, true, 0, twtok::cmclose},
      // Animations: the frame runs along the active piece.
      {"animation frame", K::Animate, hot, lpActive, normal, true, {L::Active, false, 0, 3}, true, 0,
       twtok::cmdefault, 3},
      {"animation without frames", K::Animate, hot, 0, normal, true, {L::Normal}, true, 0, twtok::cmdefault, 3},
      {"animation down", K::Animate, down, lpActive | lpDown, normal, true, {L::Down}, true, 0, twtok::cmdefault, 3},
      {"animation inactive even disabled", K::Animate, idle, lpInactive, normal, false, {L::Inactive}, false, 0,
       twtok::cmdefault, 1},
      {"animation restore frame", K::Animate, idle, lpActive | restore, maximized, true, {L::Active, true, 0, 2},
       true, 0, twtok::cmmaximize, 2},
      // The caption: its Active is the window's.
      {"caption active", K::Caption, {true}, lpActive, normal, true, {L::Active}},
      {"caption inactive", K::Caption, idle, lpActive, normal, false, {L::Normal}},
      {"caption animation", K::Caption, {true}, lpActive | lpAnimation, normal, true, {L::Frame, false, 0, 2}, true,
       0, twtok::cmdefault, 2},
      {"caption frame without animation", K::Caption, {true}, lpActive, normal, true, {L::Active}, true, 0,
       twtok::cmdefault, 2},
      {"caption morph", K::Caption, idle, lpActive, normal, false, {L::Morph, false, 0.8}, true, 0.8},
  };
  for (const Case& c : cases) {
    TtwLookInput in;
    in.Kind = c.kind;
    in.State = c.state;
    in.Pieces = c.pieces;
    in.Window = c.window;
    in.WindowActive = c.windowActive;
    in.Enabled = c.enabled;
    in.Morphing = c.morph > 0;
    in.MorphFactor = c.morph;
    in.Command = c.command;
    in.Frame = c.frame;
    const TtwObjectLook got = ObjectLook(in);
    EXPECT_EQ(int(got.Look), int(c.look.Look)) << c.what;
    EXPECT_EQ(got, c.look) << c.what;
  }
}

TEST(ObjectLook, IconAndSkinlessButtons) {
  TtwLookInput in;
  in.Kind = TtwObjectKind::StdButton;
  in.Command = twtok::cmsysmenu;
  in.ShowsIcon = true;
  in.State = {true, true, true};
  in.Pieces = lpActive | lpDown;
  EXPECT_EQ(ObjectLook(in).Look, TtwLook::Icon) << "the icon whatever the state";

  in = TtwLookInput{};
  in.Kind = TtwObjectKind::StdButton;
  in.Skinless = true;
  in.Command = twtok::cmmaximize;
  in.Window.Frame = TtwFrameState::Maximized;
  struct Case {
    TtwObjectState state;
    bool enabled;
    TtwLook look;
  } cases[] = {{{}, true, TtwLook::Normal},
               {{true, true, false}, true, TtwLook::Active},
               {{true, true, true}, true, TtwLook::Down},
               {{true, false, true}, true, TtwLook::Active},
               {{}, false, TtwLook::Disabled}};
  for (const Case& c : cases) {
    in.State = c.state;
    in.Enabled = c.enabled;
    const TtwObjectLook got = ObjectLook(in);
    EXPECT_EQ(got.Look, c.look);
    EXPECT_TRUE(got.Restore) << "the restore glyph while maximised";
  }
}

// ---- state transitions through a recording host ----------------------------------------

class RecordingHost : public TtwCaptionObjectHost {
 public:
  const TtwWindowState& WindowState() const override { return State; }
  bool WindowActive() const override { return Active; }
  bool EffectsEnabled() const override { return Effects; }
  bool ShowsWindowIcon() const override { return Icon; }
  QIcon WindowIcon() const override { return {}; }
  QString CaptionText() const override { return {}; }
  const TtwFrameInfo& Info() const override { return info_; }
  void RepaintObject(TtwActiveSkinObject*) override { ++Repaints; }
  void PostCommand(TtwFrameCommand command) override { Commands.push_back(command); }
  void PostObjectMenu(const QString&) override {}
  void StartMorphTimer() override { ++MorphTimers; }
  void StartAnimationTimer() override {}
  void ShowObjectGlow(TtwActiveSkinObject*) override { ++Glows; }
  void HideObjectGlow() override {}
  void ReportMouse(TtwObjectEvent, const TtwActiveSkinObject&, int, int, Qt::MouseButton) override {}
  bool PaintUserObject(const TtwActiveSkinObject&, QPainter&) override { return false; }
  bool PaintCaption(QPainter&, const TRect&, bool) override { return false; }

  TtwWindowState State;
  bool Active = true, Effects = false, Icon = false;
  int Repaints = 0, MorphTimers = 0, Glows = 0;
  std::vector<TtwFrameCommand> Commands;

 private:
  TtwFrameInfo info_;
};

// A button with its own pictures: normal, active and down pieces.
struct Record : TtwDataSkinStdButton {
  Record(uint8_t command, bool morphing) : TtwDataSkinStdButton(QStringLiteral("button")) {
    Fill(*this, command, morphing);
  }
  static void Fill(TtwDataSkinStdButton& r, uint8_t command, bool morphing);
};

void Record::Fill(TtwDataSkinStdButton& r, uint8_t command, bool morphing) {
  r.skinrectinapicture = true;
  r.skinrect = TRect{0, 0, 4, 4};
  r.activeskinrect = TRect{4, 0, 8, 4};
  r.downrect = TRect{8, 0, 12, 4};
  r.morphing = morphing;
  r.command = command;
}

TEST(CaptionObjectState, PressDragOutBackInAndReleaseWalkOneState) {
  RecordingHost host;
  const Record r(twtok::cmclose, false);
  TtwSkinStdButtonObject b(&host, nullptr, &r);
  const TtwObjectState idle{}, hot{true, true, false}, down{true, true, true}, downOut{true, false, true};
  struct Step {
    const char* what;
    std::function<void()> act;
    TtwObjectState state;
    TtwLook look;
    size_t commands;
  } steps[] = {
      {"enter", [&] { b.MouseEnter(); }, hot, TtwLook::Active, 0},
      {"press", [&] { b.MouseDown(1, 1, Qt::LeftButton); }, down, TtwLook::Down, 0},
      {"second press", [&] { b.MouseDown(1, 1, Qt::LeftButton); }, down, TtwLook::Down, 0},
      {"drag out", [&] { b.MouseMove(9, 1); }, downOut, TtwLook::Active, 0},
      {"release outside", [&] { b.MouseUp(9, 1, Qt::LeftButton); }, {true, false, false}, TtwLook::Active, 0},
      {"back in", [&] { b.MouseMove(1, 1); }, hot, TtwLook::Active, 0},
      {"press again", [&] { b.MouseDown(1, 1, Qt::LeftButton); }, down, TtwLook::Down, 0},
      {"right release", [&] { b.MouseUp(1, 1, Qt::RightButton); }, down, TtwLook::Down, 0},
      {"release inside", [&] { b.MouseUp(1, 1, Qt::LeftButton); }, hot, TtwLook::Active, 1},
      {"leave", [&] { b.MouseLeave(); }, idle, TtwLook::Normal, 1},
  };
  for (const Step& s : steps) {
    const int repaints = host.Repaints;
    const TtwObjectState before = b.State();
    s.act();
    EXPECT_EQ(b.State(), s.state) << s.what;
    EXPECT_EQ(b.Look().Look, s.look) << s.what;
    EXPECT_EQ(host.Commands.size(), s.commands) << s.what;
    // Every change shows at once; no change, no repaint.
    if (before == b.State()) EXPECT_EQ(host.Repaints, repaints) << s.what;
    else EXPECT_GT(host.Repaints, repaints) << s.what;
  }
  EXPECT_EQ(host.Commands.front(), TtwFrameCommand::Close);
}

TEST(CaptionObjectState, MorphRunsTowardsTheStateAndAPressEndsIt) {
  RecordingHost host;
  host.Effects = true;
  const Record r(twtok::cmclose, true);
  TtwSkinStdButtonObject b(&host, nullptr, &r);
  b.MouseEnter();
  EXPECT_EQ(host.MorphTimers, 1);
  EXPECT_TRUE(b.MorphPending());
  EXPECT_TRUE(b.MorphStep());
  EXPECT_EQ(b.Look(), (TtwObjectLook{TtwLook::Morph, false, 0.2}));
  b.MouseDown(1, 1, Qt::LeftButton);
  EXPECT_EQ(b.MorphFactor(), 1.0) << "a press shows at once";
  EXPECT_FALSE(b.MorphPending());
  b.MouseUp(1, 1, Qt::LeftButton);
  b.MouseLeave();
  EXPECT_TRUE(b.MorphPending()) << "fades back out";
}

// The system-menu button showing the window's icon has neither a glow nor a
// morph; the same button drawn from the skin has both.
TEST(CaptionObjectState, SystemMenuIconHasNoGlowAndNoMorph) {
  for (bool icon : {true, false}) {
    RecordingHost host;
    host.Effects = true;
    host.Icon = icon;
    const Record r(twtok::cmsysmenu, true);
    TtwSkinStdButtonObject b(&host, nullptr, &r);
    b.MouseEnter();
    EXPECT_EQ(host.Glows, icon ? 0 : 1) << icon;
    EXPECT_EQ(host.MorphTimers, icon ? 0 : 1) << icon;
    EXPECT_EQ(b.MorphPending(), !icon) << icon;
    EXPECT_EQ(b.Look().Look, icon ? TtwLook::Icon : TtwLook::Active) << icon;
    EXPECT_TRUE(b.HitTest(0, 0));
  }
}

}  // namespace
