// Any bytes fed to the bitmap reader either fail with EInvalidBitmap or give
// a bitmap that decodes and writes back to bytes that read the same again.
#include <cstdint>
#include <cstdlib>

#include "skin/data/twBmp.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TtwBitmap b;
  int64_t used;
  try {
    used = b.Read(reinterpret_cast<const char*>(data), int64_t(size));
  } catch (const EInvalidBitmap&) {
    return 0;
  }
  if (used <= 0 || used > int64_t(size) || b.IsEmpty()) abort();
  const QImage img = b.ToImage();
  if (img.width() != b.Width() || img.height() != b.Height()) abort();
  const QByteArray out = b.ToBytes();
  if (out.size() != b.FileSize()) abort();
  if (TtwBitmap::FromBytes(out).ToBytes() != out) abort();
  return 0;
}
