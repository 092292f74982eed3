#pragma once
// The entries of a skinned frame's system menu as a pure function of the
// window state, the border icons and the form's own SystemMenu.
#include <vector>

#include "skin/form/twWindowState.h"

struct TtwSystemMenuInput {
  TtwWindowState State;
  TtwBorderIcons Icons = 0;
  bool HasSystemMenu = false;     // the form gave its own SystemMenu
  bool UseDefaultSysMenu = true;  // ... and wants the built-in entries above it
};

// One entry; a separator has an empty Name. The caption is the skin's
// resource string Key when the skin has one, else BuiltIn.
struct TtwSystemMenuEntry {
  const char* Name = "";
  const char* Key = "";
  const char* BuiltIn = "";
  TtwFrameCommand Command = TtwFrameCommand::None;
  const char* Shortcut = "";
  bool IsSeparator() const { return !*Name; }
};

// The built-in entries in their order, without the form's own (which follow
// a separator when there are any). A form's SystemMenu without
// UseDefaultSysMenu stands alone: no built-in entries.
std::vector<TtwSystemMenuEntry> SystemMenuEntries(const TtwSystemMenuInput& in);
