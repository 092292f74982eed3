#pragma once
// The engine's private menu messages (no parameters), in one place for the
// menus, the menu buttons and the form: a skinned menu closed (sent to its
// opener and the owning form); a menu entry has run (sent to the opener).
#include <cstdint>

inline constexpr uint32_t SKIN_MSG_MENU_CLOSED = 1228;
inline constexpr uint32_t SKIN_MSG_MENU_DONE = 1229;
