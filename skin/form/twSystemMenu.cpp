// The system menu's table and the mapping of skin command codes to window
// commands; pure functions, so the menu's contents are tested without a window.
#include "skin/form/twSystemMenu.h"

#include "skin/data/twSkinIni.h"

TtwFrameCommand FrameCommandOf(int skinCommand) {
  switch (skinCommand) {
    case twtok::cmclose: return TtwFrameCommand::Close;
    case twtok::cmmaximize: return TtwFrameCommand::Maximize;
    case twtok::cmminimize: return TtwFrameCommand::Minimize;
    case twtok::cmsysmenu: return TtwFrameCommand::SystemMenu;
    case twtok::cmrollup: return TtwFrameCommand::RollUp;
    case twtok::cmminimizetotray: return TtwFrameCommand::MinimizeToTray;
    default: return TtwFrameCommand::None;
  }
}

std::vector<TtwSystemMenuEntry> SystemMenuEntries(const TtwSystemMenuInput& in) {
  std::vector<TtwSystemMenuEntry> out;
  if (in.HasSystemMenu && !in.UseDefaultSysMenu) return out;
  const TtwWindowState& s = in.State;
  const bool minimized = s.Frame == TtwFrameState::Minimized, maximized = s.Frame == TtwFrameState::Maximized;
  const TtwBorderIcons bi = in.Icons;
  if ((bi & biMinimize) && !minimized)
    out.push_back({"TWF_MINITEM", "MI_MINCAPTION", "Mi&nimize", TtwFrameCommand::Minimize, ""});
  if ((bi & biMaximize) && !maximized)
    out.push_back({"TWF_MAXITEM", "MI_MAXCAPTION", "Ma&ximize", TtwFrameCommand::Maximize, ""});
  if ((bi & (biMaximize | biMinimize | biRollUp)) && (minimized || maximized || s.RolledUp))
    out.push_back({"TWF_RESTORE", "MI_RESTORECAPTION", "&Restore", TtwFrameCommand::Restore, ""});
  if ((bi & biRollUp) && !minimized && !maximized && !s.RolledUp)
    out.push_back({"TWF_ROLLUP", "MI_ROLLUPCAPTION", "Ro&llUp", TtwFrameCommand::RollUp, ""});
  if (bi & biMinimizeToTray)
    out.push_back({"TWF_MINTOTRAY", "MI_MINTOTRAYCAPTION", "Minimize to &Tray", TtwFrameCommand::MinimizeToTray, ""});
  if (!out.empty()) out.push_back({});
  out.push_back({"TWF_CLOSE", "MI_CLOSECAPTION", "&Close", TtwFrameCommand::Close, "Alt+F4"});
  return out;
}
