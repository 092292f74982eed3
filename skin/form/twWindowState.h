#pragma once
// The skinned frame's window state, the caption buttons' border icons and
// the window commands, shared by the frame, its caption objects and the
// system menu's table.
#include <cstdint>

enum TtwBorderIcon {
  biSystemMenu = 1, biMinimize = 2, biMaximize = 4, biRollUp = 8, biMinimizeToTray = 16
};
using TtwBorderIcons = int;  // a set of TtwBorderIcon bits

enum class TtwFrameState { Normal, Minimized, Maximized };

// The whole window state in one value; TtwSkinForm::ApplyWindowState is its
// only writer.
//
//   Normal <--minimise / restore--> Minimized    (RolledUp kept for the restore)
//   Normal --maximise (RolledUpAtMaximize = RolledUp)--> Maximized
//   Maximized --restore (rolls up again when RolledUpAtMaximize)--> Normal
//   Normal <--roll up / unroll--> Normal + RolledUp
//   Maximized <--roll up / unroll--> Maximized + RolledUp  (restore unrolls)
struct TtwWindowState {
  TtwFrameState Frame = TtwFrameState::Normal;
  bool RolledUp = false;
  // Maximised from the rolled-up normal state: restoring rolls up again.
  bool RolledUpAtMaximize = false;
  bool operator==(const TtwWindowState&) const = default;
};

// What a caption button or a system-menu entry asks the window to do.
enum class TtwFrameCommand { None, Close, Maximize, Minimize, SystemMenu, RollUp, MinimizeToTray, Restore };

// The command of a skin record's command code (twtok::cm...); None for the
// user's own objects and unknown codes.
TtwFrameCommand FrameCommandOf(int skinCommand);
