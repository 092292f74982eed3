// The one look of a caption object: every object's Draw asks here and only
// draws the answer. Pure, so a table test covers every rule.
#include "skin/form/twObjectLook.h"

#include "skin/data/twSkinIni.h"

bool RestoreLookApplies(int command, const TtwWindowState& window) {
  switch (command) {
    case twtok::cmmaximize: return window.Frame == TtwFrameState::Maximized;
    case twtok::cmminimize: return window.Frame == TtwFrameState::Minimized;
    case twtok::cmrollup: return window.RolledUp;
    default: return false;
  }
}

namespace {

bool Has(const TtwLookInput& in, int piece) { return (in.Pieces & piece) != 0; }

bool MorphUnderWay(const TtwLookInput& in) { return in.Morphing && in.MorphFactor > 0.0 && in.MorphFactor < 1.0; }

// A plain object: inactive, morphing, active or normal. The inactive piece
// wins only over an enabled object; a disabled one keeps its normal look.
TtwObjectLook PlainLook(const TtwLookInput& in, bool hasActive, bool hasInactive, bool restore) {
  if (in.Enabled && !in.WindowActive && hasInactive) return {TtwLook::Inactive, restore};
  if (MorphUnderWay(in) && hasActive) return {TtwLook::Morph, restore, in.MorphFactor};
  if (in.State.Active && hasActive) return {TtwLook::Active, restore};
  return {TtwLook::Normal, restore};
}

bool ShowsDown(const TtwLookInput& in, bool hasDown) { return in.State.Down && in.State.MouseIn && hasDown; }

TtwObjectLook ButtonLook(const TtwLookInput& in) {
  if (!in.Enabled && Has(in, lpDisabled)) return {TtwLook::Disabled};
  if (ShowsDown(in, Has(in, lpDown))) return {TtwLook::Down};
  return PlainLook(in, Has(in, lpActive), Has(in, lpInactive), false);
}

TtwObjectLook StdButtonLook(const TtwLookInput& in) {
  const bool restore = RestoreLookApplies(in.Command, in.Window);
  if (in.Skinless) {
    // The glyph's look: the restore glyph, a hot or pressed square.
    if (!in.Enabled) return {TtwLook::Disabled, restore};
    if (in.State.Down && in.State.Active && in.State.MouseIn) return {TtwLook::Down, restore};
    return {in.State.Active ? TtwLook::Active : TtwLook::Normal, restore};
  }
  if (in.ShowsIcon) return {TtwLook::Icon};
  if (in.Enabled && restore && Has(in, lpRestore)) {
    if (!in.WindowActive && Has(in, lpRestoreInactive)) return {TtwLook::Inactive, true};
    if (ShowsDown(in, Has(in, lpRestoreDown))) return {TtwLook::Down, true};
    return PlainLook(in, Has(in, lpRestoreActive), false, true);
  }
  return ButtonLook(in);
}

TtwObjectLook AnimateLook(const TtwLookInput& in) {
  const bool restore = Has(in, lpRestore) && RestoreLookApplies(in.Command, in.Window);
  if (!in.WindowActive && Has(in, restore ? lpRestoreInactive : lpInactive)) return {TtwLook::Inactive, restore};
  if (ShowsDown(in, Has(in, restore ? lpRestoreDown : lpDown))) return {TtwLook::Down, restore};
  // The frames run along the active piece; without one the normal piece stands.
  if (Has(in, restore ? lpRestoreActive : lpActive)) return {TtwLook::Active, restore, 0, in.Frame};
  return {TtwLook::Normal, restore};
}

TtwObjectLook CaptionLook(const TtwLookInput& in) {
  if (in.Frame > 0 && Has(in, lpAnimation)) return {TtwLook::Frame, false, 0, in.Frame};
  if (MorphUnderWay(in)) return {TtwLook::Morph, false, in.MorphFactor};
  return {in.State.Active ? TtwLook::Active : TtwLook::Normal};
}

}  // namespace

TtwObjectLook ObjectLook(const TtwLookInput& in) {
  switch (in.Kind) {
    case TtwObjectKind::Plain: return PlainLook(in, Has(in, lpActive), Has(in, lpInactive), false);
    case TtwObjectKind::Button: return ButtonLook(in);
    case TtwObjectKind::StdButton: return StdButtonLook(in);
    case TtwObjectKind::Animate: return AnimateLook(in);
    case TtwObjectKind::Caption: return CaptionLook(in);
  }
  return {};
}
