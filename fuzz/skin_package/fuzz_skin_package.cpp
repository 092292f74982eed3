// Feeds bytes to every reader of skin data. The first byte picks the reader,
// so a run parses only what it needs: an uncompressed package read and loaded
// as a skin load does (pictures decoded, description and records loaded), or
// a compressed skin file whose stream is inflated and read.
// Readers may refuse input with an EError; anything else is a finding.
#include <cstdint>

#include "skin/data/twCompressedSkin.h"
#include "skin/data/twSkinDescription.h"
#include "skin/data/twSkinPackage.h"
#include "skin/data/twZStream.h"

namespace {

void LoadPackage(const QByteArray& raw) {
  const TtwSkinPackage pkg = TtwSkinPackage::Read(raw);
  if (!pkg.Supported()) return;
  for (const TtwBitmap* b : {&pkg.Picture, &pkg.InactivePicture, &pkg.Mask}) (void)b->ToImage();
  for (const TtwBitmap& b : pkg.ActivePictures) (void)b.ToImage();
  TtwSkinDescription d;
  d.LoadFromText(TwDecodeDescription(pkg.Text));
}

void LoadCompressedFile(const QByteArray& bytes) {
  TtwCompressedStoredSkin file;
  file.LoadFromCompressedBytes(bytes);
  // A small cap keeps the fuzzer fast; the reader's own cap is tested apart.
  LoadPackage(TwInflate(file.CompressedData(), int64_t(8) << 20));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const QByteArray bytes(reinterpret_cast<const char*>(data) + 1, qsizetype(size - 1));
  try {
    if (data[0] & 1) LoadCompressedFile(bytes);
    else LoadPackage(bytes);
  } catch (const EError&) {
  }
  return 0;
}
