#pragma once
// What every widget benchmark shares: an offscreen application (unless the
// caller chose a platform) and the built-in skin loaded once.
#include <QApplication>
#include <benchmark/benchmark.h>

#include "skin/data/twCompressedSkin.h"
#include "skin/data/twSkinData.h"
#include "skins/BuiltinSkin.h"

namespace twbench {

inline TtwSkinData& BuiltinSkinData() {
  static TtwCompressedStoredSkin stored;
  static TtwSkinData data;
  if (data.Empty()) {
    stored.SetCompressedData(BuiltinSkinPackage());
    data.SetCompressedStoredSkin(&stored);
  }
  return data;
}

// The whole main() of a widget benchmark without ratio counters.
inline int RunWidgetBenchmarks(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

}  // namespace twbench
