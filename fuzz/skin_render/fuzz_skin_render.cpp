// libFuzzer entry for the skin renderer: a mutated description drawn over
// every notes window and the gallery.
#include <cstddef>
#include <cstdint>

#include "fuzz/skin_render/RenderSkin.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TwRenderSkinDescription(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
  return 0;
}
