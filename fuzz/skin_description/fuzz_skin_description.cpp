// Feeds damaged description texts through the whole description load a skin
// does, then writes the result back and loads that again. Nothing more is
// parsed or written, which keeps runs short.
#include <QString>
#include <cstddef>
#include <cstdint>

#include "platform/Errors.h"
#include "skin/data/twSkinDescription.h"

namespace {

// A refusal with a conversion or size error is an expected outcome.
bool Load(TtwSkinDescription& d, const QString& text) {
  try {
    d.LoadFromText(text);
    return true;
  } catch (const EConvertError&) {
  } catch (const ESkinDescriptionError&) {
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
  TtwSkinDescription first;
  if (!Load(first, text)) return 0;
  TtwSkinDescription second;
  Load(second, first.ToText());
  return 0;
}
