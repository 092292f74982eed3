#pragma once
// Limits for every size a skin gives: a value no real skin reaches is taken as
// malformed (the key's default, or an absent piece), so painting code can
// trust the numbers it is handed.
#include <QStringList>
#include <cstdint>

class TtwSkinDescription;
struct TtwSkinPackage;

// The widest and tallest of a skin's pictures; zero when it has none.
struct TtwSkinExtent {
  int32_t width = 0;
  int32_t height = 0;
};

inline constexpr int32_t kMaxSkinExtent = 8192;     // sizes and offsets, without pictures too
inline constexpr int32_t kMaxSkinFontHeight = 512;  // pixels
inline constexpr int32_t kMaxSkinIntervalMs = 60'000;

// The extent of a package's pictures.
TtwSkinExtent TwPackageExtent(const TtwSkinPackage& pkg);

// Puts every out-of-bounds value of `d` back to its default (rectangles and
// points: nothing) and returns one line per value changed, "[section] key:
// value". Rectangles and points must lie within `pictures`.
QStringList TwBoundSkinValues(TtwSkinDescription& d, TtwSkinExtent pictures);
