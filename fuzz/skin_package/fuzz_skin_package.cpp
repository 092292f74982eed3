// Feeds bytes to every reader of skin data: as an uncompressed package
// loaded all the way into a skin data object (pictures, description,
// records), and as a compressed skin file whose stream is inflated and read.
// Readers may refuse input with an EError; anything else is a finding.
#include <cstdint>

#include "skin/data/twCompressedSkin.h"
#include "skin/data/twSkinData.h"
#include "skin/data/twSkinPackage.h"
#include "skin/data/twZStream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
  try {
    TtwCompressedStoredSkin stored;
    // Level 1: what is fuzzed is reading, and deflating at 9 would halve the pace.
    stored.SetCompressedData(TwCompress(bytes, TCompressionLevel::clFastest));
    TtwSkinData skin;
    skin.SetCompressedStoredSkin(&stored);
    if (!skin.Empty()) {
      for (const QString& name : {QStringLiteral("button"), QStringLiteral("panel")}) skin.FindControlIndex(name);
    }
  } catch (const EError&) {
  }
  try {
    TtwCompressedStoredSkin file;
    file.LoadFromCompressedBytes(bytes);
    // A small cap keeps the fuzzer fast; the reader's own cap is tested apart.
    TtwSkinPackage::Read(TwInflate(file.CompressedData(), int64_t(8) << 20));
  } catch (const EError&) {
  }
  return 0;
}
