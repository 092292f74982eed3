// Reading and writing uncompressed bitmap files byte for byte, and decoding
// them to images. Every size is checked against the data before it is used.
#include "skin/data/twBmp.h"

#include <QFile>
#include <QFileInfo>
#include <cstring>

#include "skin/data/twSkinFiles.h"

namespace {

constexpr int64_t kFileHeader = 14;
constexpr int64_t kInfoHeader = 40;

uint16_t U16(const char* p) {
  return uint16_t(uint8_t(p[0]) | uint8_t(p[1]) << 8);
}
uint32_t U32(const char* p) {
  return uint32_t(uint8_t(p[0])) | uint32_t(uint8_t(p[1])) << 8 |
         uint32_t(uint8_t(p[2])) << 16 | uint32_t(uint8_t(p[3])) << 24;
}
int32_t I32(const char* p) { return int32_t(U32(p)); }

void Put16(QByteArray& out, uint16_t v) {
  out.append(char(v & 0xFF));
  out.append(char(v >> 8));
}
void Put32(QByteArray& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.append(char((v >> (8 * i)) & 0xFF));
}

[[noreturn]] void Invalid(const QString& why) {
  throw EInvalidBitmap(QStringLiteral("The bitmap is not valid: %1.").arg(why));
}

bool SupportedDepth(int bits) {
  return bits == 1 || bits == 4 || bits == 8 || bits == 24 || bits == 32;
}

}  // namespace

int64_t TtwBitmap::RowBytes(int32_t width, int bitCount) {
  return ((int64_t(width) * bitCount + 31) / 32) * 4;
}

int64_t TtwBitmap::FileSize() const {
  if (IsEmpty()) return 0;
  return kFileHeader + kInfoHeader + 4 * int64_t(colors_.size()) + bits_.size();
}

int64_t TtwBitmap::Read(const char* data, int64_t size) {
  *this = TtwBitmap();
  if (size < 2 || data[0] != 'B' || data[1] != 'M') Invalid(QStringLiteral("it does not start with \"BM\""));
  if (size < kFileHeader + kInfoHeader) Invalid(QStringLiteral("the headers are cut short"));
  const int64_t fileSize = U32(data + 2);
  const int64_t offBits = U32(data + 10);
  if (fileSize < kFileHeader + kInfoHeader) Invalid(QStringLiteral("its recorded size %1 is too small").arg(fileSize));
  if (fileSize > size)
    Invalid(QStringLiteral("it records %1 bytes but only %2 are there").arg(fileSize).arg(size));

  const char* info = data + kFileHeader;
  const int64_t infoSize = U32(info);
  const int32_t width = I32(info + 4);
  const int32_t height = I32(info + 8);
  const int bits = U16(info + 14);
  const uint32_t compression = U32(info + 16);
  if (infoSize < kInfoHeader || kFileHeader + infoSize > fileSize)
    Invalid(QStringLiteral("its info header size %1 is not supported").arg(infoSize));
  if (!SupportedDepth(bits)) Invalid(QStringLiteral("%1 bits per pixel are not supported").arg(bits));
  if (compression != 0) Invalid(QStringLiteral("compressed bitmaps (method %1) are not supported").arg(compression));
  if (width <= 0 || height == 0 || height == INT32_MIN)
    Invalid(QStringLiteral("its size %1 x %2 is not usable").arg(width).arg(height));
  const int64_t absHeight = height < 0 ? -int64_t(height) : height;
  if (width > kMaxSide || absHeight > kMaxSide || int64_t(width) * absHeight > kMaxPixels)
    Invalid(QStringLiteral("its size %1 x %2 is too large").arg(width).arg(absHeight));

  const uint32_t clrUsed = U32(info + 32);
  int64_t entries = clrUsed;
  if (bits <= 8) {
    if (clrUsed == 0) entries = int64_t(1) << bits;
    if (entries > (int64_t(1) << bits))
      Invalid(QStringLiteral("its colour table has %1 entries for %2 bits").arg(entries).arg(bits));
  }
  const int64_t tableStart = kFileHeader + infoSize;
  const int64_t tableEnd = tableStart + 4 * entries;
  if (tableEnd > fileSize) Invalid(QStringLiteral("its colour table is cut short"));
  if (offBits < tableEnd) Invalid(QStringLiteral("its pixel data overlaps the headers"));
  const int64_t rowBytes = RowBytes(width, bits);
  const int64_t pixelBytes = rowBytes * absHeight;
  if (offBits > fileSize || pixelBytes > fileSize - offBits)
    Invalid(QStringLiteral("its pixel data is cut short"));

  TtwBitmap b;
  b.width_ = width;
  b.height_ = height;
  b.bitCount_ = bits;
  b.sizeImage_ = U32(info + 20);
  b.xPelsPerMeter_ = I32(info + 24);
  b.yPelsPerMeter_ = I32(info + 28);
  b.clrUsed_ = clrUsed;
  b.clrImportant_ = U32(info + 36);
  b.colors_.reserve(entries);
  for (int64_t i = 0; i < entries; ++i) b.colors_.append(U32(data + tableStart + 4 * i));
  b.bits_ = QByteArray(data + offBits, pixelBytes);
  *this = std::move(b);
  return fileSize;
}

TtwBitmap TtwBitmap::FromBytes(const QByteArray& bytes) {
  TtwBitmap b;
  b.Read(bytes.constData(), bytes.size());
  return b;
}

TtwBitmap TtwBitmap::LoadFromFile(const QString& path) {
  // Nothing this reader accepts is larger than the biggest picture plus headers.
  const int64_t limit = kFileHeader + kInfoHeader + 1024 + kMaxPixels * 4 + 4 * kMaxSide;
  const QByteArray bytes = TwReadRegularFile(path, limit);
  try {
    return FromBytes(bytes);
  } catch (const EInvalidBitmap& e) {
    throw EInvalidBitmap(QStringLiteral("%1 (%2)").arg(e.Message(), QFileInfo(path).fileName()));
  }
}

QByteArray TtwBitmap::ToBytes() const {
  QByteArray out;
  if (IsEmpty()) return out;
  const int64_t offBits = kFileHeader + kInfoHeader + 4 * int64_t(colors_.size());
  out.reserve(FileSize());
  out.append("BM", 2);
  Put32(out, uint32_t(FileSize()));
  Put16(out, 0);
  Put16(out, 0);
  Put32(out, uint32_t(offBits));
  Put32(out, uint32_t(kInfoHeader));
  Put32(out, uint32_t(width_));
  Put32(out, uint32_t(height_));
  Put16(out, 1);
  Put16(out, uint16_t(bitCount_));
  Put32(out, 0);
  Put32(out, sizeImage_);
  Put32(out, uint32_t(xPelsPerMeter_));
  Put32(out, uint32_t(yPelsPerMeter_));
  Put32(out, clrUsed_);
  Put32(out, clrImportant_);
  for (uint32_t c : colors_) Put32(out, c);
  out.append(bits_);
  return out;
}

void TtwBitmap::SaveToFile(const QString& path) const {
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
    throw EError(QStringLiteral("Cannot create file \"%1\". %2").arg(path, f.errorString()));
  const QByteArray bytes = ToBytes();
  if (f.write(bytes) != bytes.size() || !f.flush())
    throw EError(QStringLiteral("Cannot write file \"%1\". %2").arg(path, f.errorString()));
}

QImage TtwBitmap::ToImage() const {
  if (IsEmpty()) return QImage();
  const int w = width_, h = Height();
  QImage img(w, h, bitCount_ == 32 ? QImage::Format_ARGB32 : QImage::Format_RGB32);
  if (img.isNull()) return img;
  // Every possible index gets a colour; one past the table has none, and
  // black keeps it visible.
  QRgb palette[256];
  for (int i = 0; i < 256; ++i)
    palette[i] = i < colors_.size() ? (0xFF000000u | (colors_[i] & 0x00FFFFFFu)) : qRgb(0, 0, 0);
  const int64_t rowBytes = RowBytes(width_, bitCount_);
  for (int y = 0; y < h; ++y) {
    const int stored = TopDown() ? y : h - 1 - y;
    const auto* row = reinterpret_cast<const uint8_t*>(bits_.constData() + stored * rowBytes);
    auto* out = reinterpret_cast<QRgb*>(img.scanLine(y));
    switch (bitCount_) {
      case 32:
        for (int x = 0; x < w; ++x, row += 4) out[x] = qRgba(row[2], row[1], row[0], row[3]);
        break;
      case 24:
        for (int x = 0; x < w; ++x, row += 3) out[x] = 0xFF000000u | row[2] << 16 | row[1] << 8 | row[0];
        break;
      case 8:
        for (int x = 0; x < w; ++x) out[x] = palette[row[x]];
        break;
      case 4:
        for (int x = 0; x < w; ++x) out[x] = palette[(row[x / 2] >> (x % 2 ? 0 : 4)) & 0x0F];
        break;
      default:
        for (int x = 0; x < w; ++x) out[x] = palette[(row[x / 8] >> (7 - x % 8)) & 1];
    }
  }
  return img;
}

TtwBitmap TtwBitmap::FromImage(const QImage& source, int bitCount, const QList<QRgb>& table) {
  if (!SupportedDepth(bitCount)) Invalid(QStringLiteral("%1 bits per pixel are not supported").arg(bitCount));
  if (source.isNull()) return TtwBitmap();
  if (source.width() > kMaxSide || source.height() > kMaxSide) Invalid(QStringLiteral("the image is too large"));
  TtwBitmap b;
  b.width_ = source.width();
  b.height_ = source.height();
  b.bitCount_ = bitCount;
  const int w = b.width_, h = b.height_;
  const int64_t rowBytes = RowBytes(w, bitCount);
  b.sizeImage_ = uint32_t(rowBytes * h);
  b.bits_ = QByteArray(rowBytes * h, '\0');

  QImage indexed;
  if (bitCount <= 8) {
    const int maxEntries = 1 << bitCount;
    if (!table.isEmpty() || source.format() != QImage::Format_Indexed8) {
      QList<QRgb> use = table.isEmpty() ? source.colorTable() : table;
      if (use.isEmpty()) Invalid(QStringLiteral("an indexed bitmap needs a colour table"));
      indexed = source.convertToFormat(QImage::Format_Indexed8, use, Qt::ThresholdDither | Qt::AvoidDither);
      indexed.setColorTable(use);
    } else {
      indexed = source;
    }
    const QList<QRgb> pal = indexed.colorTable();
    if (pal.size() > maxEntries)
      Invalid(QStringLiteral("a colour table of %1 entries does not fit %2 bits").arg(pal.size()).arg(bitCount));
    for (QRgb c : pal) b.colors_.append(c & 0x00FFFFFFu);
    b.clrUsed_ = pal.size() == maxEntries ? 0 : uint32_t(pal.size());
  }
  const QImage rgb = bitCount > 8 ? source.convertToFormat(QImage::Format_ARGB32) : QImage();
  for (int y = 0; y < h; ++y) {
    auto* row = reinterpret_cast<uint8_t*>(b.bits_.data() + (h - 1 - y) * rowBytes);
    if (bitCount > 8) {
      const auto* in = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
      for (int x = 0; x < w; ++x) {
        uint8_t* p = row + x * (bitCount / 8);
        p[0] = uint8_t(qBlue(in[x]));
        p[1] = uint8_t(qGreen(in[x]));
        p[2] = uint8_t(qRed(in[x]));
        if (bitCount == 32) p[3] = uint8_t(qAlpha(in[x]));
      }
    } else {
      const uint8_t* in = indexed.constScanLine(y);
      for (int x = 0; x < w; ++x) {
        const uint8_t v = in[x];
        if (bitCount == 8) row[x] = v;
        else if (bitCount == 4) row[x / 2] |= uint8_t((v & 0x0F) << (x % 2 ? 0 : 4));
        else row[x / 8] |= uint8_t((v & 1) << (7 - x % 8));
      }
    }
  }
  return b;
}
