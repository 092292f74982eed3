#pragma once
// A caption object's state and the one look it shows: a pure function from
// the object's state, the pieces its record has and the window's state to the
// piece to draw, so paint never re-derives a rule the table test holds.
#include "skin/form/twWindowState.h"

// What a caption object's look follows besides the window; written only by
// TtwActiveSkinObject::SetState, which does everything a change implies
// (morph, repaint).
//
//   idle --enter--> Active + MouseIn --press--> Down
//   Down --pointer out / back in--> MouseIn off / on (stays Down)
//   Down --release, or its menu closes--> up (Active while still over it)
//   any --leave, a command, deactivation--> not Active, not MouseIn
//
// The caption's Active is the window's activation instead of the pointer's.
struct TtwObjectState {
  bool Active = false;   // hot: the pointer is over it
  bool MouseIn = false;  // the pointer is inside (a pressed object may be left)
  bool Down = false;
  bool operator==(const TtwObjectState&) const = default;
};

enum class TtwObjectKind { Plain, Button, StdButton, Animate, Caption };

// The pieces a record sets (a piece left out falls back as the rules say).
enum TtwLookPiece {
  lpActive = 1, lpInactive = 2, lpDown = 4, lpDisabled = 8,
  lpRestore = 16, lpRestoreActive = 32, lpRestoreDown = 64, lpRestoreInactive = 128,
  lpAnimation = 256  // the caption's animation frames
};

enum class TtwLook {
  Normal,    // skinrect (the caption: the frame picture's piece)
  Active,    // activeskinrect; an animation's current frame
  Morph,     // normal blended into active by Morph
  Down,      // downrect (downskinrect)
  Inactive,  // inactiveskinrect, the window being inactive
  Disabled,  // disableskinrsect
  Icon,      // the window's icon on the system-menu button
  Frame      // the caption's animation frame Frame
};

struct TtwObjectLook {
  TtwLook Look = TtwLook::Normal;
  bool Restore = false;  // the restore rectangles stand in for the normal ones
  double Morph = 0;      // Morph only
  int Frame = 0;         // Frame only; an animation's frame for Active
  bool operator==(const TtwObjectLook&) const = default;
};

struct TtwLookInput {
  TtwObjectKind Kind = TtwObjectKind::Plain;
  TtwObjectState State;
  bool Enabled = true;
  bool Morphing = false;
  double MorphFactor = 0;
  int Pieces = 0;  // TtwLookPiece bits
  int Command = -1;  // the skin's command code of a button or animation
  bool ShowsIcon = false;
  bool Skinless = false;  // a default button of the skinless look
  int Frame = 0;  // an animation's current frame; the caption's (0: none)
  TtwWindowState Window;
  bool WindowActive = true;
};

// Maximise while maximised, minimise while minimised, roll-up while rolled up.
bool RestoreLookApplies(int command, const TtwWindowState& window);
TtwObjectLook ObjectLook(const TtwLookInput& in);
