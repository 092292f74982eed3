#pragma once
// Windows bitmap files, uncompressed (BI_RGB) at 1, 4, 8, 24 and 32 bits.
// A skin package stores pictures as whole bitmap files one after another and
// finds the next field by the entry's length, so a picture read here writes
// back byte for byte: bit depth, colour table, header fields and row padding
// are all kept. Drawing code works on the decoded QImage.
#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>
#include <cstdint>

#include "platform/Errors.h"

// A bitmap that cannot be read: damaged header, unsupported format, missing
// pixel data. The text says which.
class EInvalidBitmap : public EError {
 public:
  using EError::EError;
};

class TtwBitmap {
 public:
  // Largest picture accepted, in pixels; protects the decoder from headers
  // that promise gigabytes.
  static constexpr int64_t kMaxPixels = int64_t(1) << 26;
  static constexpr int32_t kMaxSide = 32768;

  TtwBitmap() = default;

  bool IsEmpty() const { return width_ == 0; }
  int32_t Width() const { return width_; }
  // Always positive; TopDown() tells the row order of the stored pixels.
  int32_t Height() const { return height_ < 0 ? -height_ : height_; }
  bool TopDown() const { return height_ < 0; }
  int BitCount() const { return bitCount_; }
  // Colour table entries as stored (0x00RRGGBB read from B, G, R, reserved).
  const QList<uint32_t>& ColorTable() const { return colors_; }
  // The pixel rows as stored, each padded to a multiple of 4 bytes.
  const QByteArray& Bits() const { return bits_; }
  static int64_t RowBytes(int32_t width, int bitCount);

  // Length of the whole file this bitmap writes: headers, table and rows.
  int64_t FileSize() const;

  // Reads one bitmap file from the start of data[0, size). Returns the
  // number of bytes the file occupies (its bfSize); the bytes after it are
  // not looked at. Raises EInvalidBitmap for anything it cannot read.
  int64_t Read(const char* data, int64_t size);
  static TtwBitmap FromBytes(const QByteArray& bytes);
  // Raises EError when the file cannot be opened, EInvalidBitmap when it is
  // not a bitmap this reader supports.
  static TtwBitmap LoadFromFile(const QString& path);

  QByteArray ToBytes() const;
  void SaveToFile(const QString& path) const;

  // 24-bit pictures and indexed ones decode to Format_RGB32; 32-bit ones to
  // Format_ARGB32 with their fourth byte as alpha. Empty bitmap: null image.
  QImage ToImage() const;

  // Builds a bottom-up bitmap of the given depth from an image. For 1, 4 and
  // 8 bits the colour table is `table` when given, else the image's own
  // (an indexed image keeps its indexes; other images take the nearest
  // colour). The table must have at most 2^bitCount entries.
  static TtwBitmap FromImage(const QImage& image, int bitCount,
                             const QList<QRgb>& table = {});

  friend bool operator==(const TtwBitmap& a, const TtwBitmap& b) {
    return a.ToBytes() == b.ToBytes();
  }

 private:
  int32_t width_ = 0;
  int32_t height_ = 0;
  int bitCount_ = 0;
  uint32_t sizeImage_ = 0;
  int32_t xPelsPerMeter_ = 0;
  int32_t yPelsPerMeter_ = 0;
  uint32_t clrUsed_ = 0;
  uint32_t clrImportant_ = 0;
  QList<uint32_t> colors_;
  QByteArray bits_;
};
