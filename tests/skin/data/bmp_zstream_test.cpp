// Bitmaps round-trip byte for byte at every depth and refuse damage with a
// reason; zlib streams match zlib and refuse damaged, short and bomb input.
#include <gtest/gtest.h>
#include <zlib.h>

#include <QBuffer>
#include <cstring>

#include "SkinFolderFixture.h"
#include "skin/data/twBmp.h"
#include "skin/data/twZStream.h"

using twtest::MakeBitmap;

namespace {

struct DepthCase {
  int bits;
  int w, h;
  int64_t fileSize;  // headers + colour table + padded rows
};

class BmpRoundTrip : public ::testing::TestWithParam<DepthCase> {};

TEST_P(BmpRoundTrip, KeepsDepthPaletteAndExactSize) {
  const DepthCase c = GetParam();
  const TtwBitmap b = MakeBitmap(c.w, c.h, c.bits);
  const QByteArray bytes = b.ToBytes();
  ASSERT_EQ(bytes.size(), c.fileSize);
  EXPECT_EQ(b.FileSize(), c.fileSize);

  TtwBitmap back;
  ASSERT_EQ(back.Read(bytes.constData(), bytes.size()), c.fileSize);
  EXPECT_EQ(back.BitCount(), c.bits);
  EXPECT_EQ(back.Width(), c.w);
  EXPECT_EQ(back.Height(), c.h);
  EXPECT_EQ(back.ColorTable(), b.ColorTable());
  EXPECT_EQ(back.ToBytes(), bytes);

  // Decoding gives the source colours, whatever the depth.
  const QImage src = twtest::Pattern(c.w, c.h);
  const QImage img = back.ToImage();
  for (int y = 0; y < c.h; ++y)
    for (int x = 0; x < c.w; ++x) {
      QRgb want = src.pixel(x, y);
      if (c.bits == 1 && want == 0xFF204080) want = 0xFF000000;  // two-colour table
      ASSERT_EQ(img.pixel(x, y) | 0xFF000000, want) << x << "," << y << " at " << c.bits << " bits";
    }
}

INSTANTIATE_TEST_SUITE_P(Depths, BmpRoundTrip,
                         ::testing::Values(DepthCase{1, 28, 21, 54 + 8 + 4 * 21},
                                           DepthCase{4, 93, 55, 54 + 12 + 48 * 55},
                                           DepthCase{8, 285, 210, 54 + 12 + 288 * 210},
                                           DepthCase{24, 285, 210, 54 + 856 * 210},
                                           DepthCase{32, 7, 3, 54 + 28 * 3}));

TEST(Bmp, FullTableAndUnusedEntriesAreKept) {
  // 256 entries written with clrUsed 0: the entry takes the whole table.
  const TtwBitmap b = TtwBitmap::FromImage(twtest::Pattern(285, 210), 8, twtest::GreyTable(256));
  EXPECT_EQ(b.FileSize(), 61558);
  const TtwBitmap back = TtwBitmap::FromBytes(b.ToBytes());
  EXPECT_EQ(back.ColorTable().size(), 256);
  EXPECT_EQ(back.ToBytes(), b.ToBytes());
}

TEST(Bmp, ThirtyTwoBitsKeepAlpha) {
  QImage img(2, 1, QImage::Format_ARGB32);
  img.setPixel(0, 0, 0x80FF0000);
  img.setPixel(1, 0, 0x00000000);
  const QImage back = TtwBitmap::FromBytes(TtwBitmap::FromImage(img, 32).ToBytes()).ToImage();
  EXPECT_EQ(back.pixel(0, 0), 0x80FF0000u);
  EXPECT_EQ(back.pixel(1, 0), 0x00000000u);
}

// Offsets into the file: 2 bfSize, 10 bfOffBits, 14 biSize, 18 width,
// 22 height, 28 bit count, 30 compression, 46 clrUsed.
void Put32(QByteArray& b, int at, uint32_t v) { std::memcpy(b.data() + at, &v, 4); }
void Put16(QByteArray& b, int at, uint16_t v) { std::memcpy(b.data() + at, &v, 2); }

struct Damage {
  const char* what;
  void (*apply)(QByteArray&);
};

class BmpDamaged : public ::testing::TestWithParam<Damage> {};

TEST_P(BmpDamaged, IsRefusedWithAReason) {
  QByteArray b = MakeBitmap(9, 5, 8).ToBytes();
  GetParam().apply(b);
  TtwBitmap out;
  try {
    out.Read(b.constData(), b.size());
    FAIL() << "accepted: " << GetParam().what;
  } catch (const EInvalidBitmap& e) {
    EXPECT_TRUE(e.Message().startsWith("The bitmap is not valid")) << e.Message().toStdString();
  }
  EXPECT_TRUE(out.IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Headers, BmpDamaged,
    ::testing::Values(
        Damage{"no BM", [](QByteArray& b) { b[0] = 'X'; }},
        Damage{"cut in the info header", [](QByteArray& b) { b.truncate(30); }},
        Damage{"size beyond the data", [](QByteArray& b) { Put32(b, 2, b.size() + 1); }},
        Damage{"size below the headers", [](QByteArray& b) { Put32(b, 2, 20); }},
        Damage{"16 bits", [](QByteArray& b) { Put16(b, 28, 16); }},
        Damage{"0 bits", [](QByteArray& b) { Put16(b, 28, 0); }},
        Damage{"run-length compressed", [](QByteArray& b) { Put32(b, 30, 1); }},
        Damage{"zero width", [](QByteArray& b) { Put32(b, 18, 0); }},
        Damage{"negative width", [](QByteArray& b) { Put32(b, 18, uint32_t(-9)); }},
        Damage{"most negative height", [](QByteArray& b) { Put32(b, 22, 0x80000000u); }},
        Damage{"huge size", [](QByteArray& b) { Put32(b, 18, 30000); Put32(b, 22, 30000); }},
        Damage{"rows beyond the data", [](QByteArray& b) { Put32(b, 22, 6); }},
        Damage{"table larger than the depth", [](QByteArray& b) { Put32(b, 46, 257); }},
        Damage{"table beyond the data", [](QByteArray& b) { Put16(b, 28, 24); Put32(b, 46, 100000); }},
        Damage{"pixels inside the table", [](QByteArray& b) { Put32(b, 10, 60); }},
        Damage{"pixel offset past the end", [](QByteArray& b) { Put32(b, 10, 0xFFFFFFF0u); }},
        Damage{"info header past the end", [](QByteArray& b) { Put32(b, 14, 0x7FFFFFFF); }}));

TEST(Bmp, TopDownRowsDecodeUpright) {
  QByteArray b = TtwBitmap::FromImage(twtest::Pattern(3, 2), 24).ToBytes();
  Put32(b, 22, uint32_t(-2));  // rows now read top first
  const TtwBitmap t = TtwBitmap::FromBytes(b);
  EXPECT_TRUE(t.TopDown());
  EXPECT_EQ(t.ToImage().pixel(0, 0), twtest::Pattern(3, 2).pixel(0, 1));
  EXPECT_EQ(t.ToBytes(), b);
}

// ---- zlib streams ----

TEST(ZStream, CompressesAtBestLevelLikeZlib) {
  QByteArray data;
  for (int i = 0; i < 20000; ++i) data.append(char(i * 7 % 251));
  const QByteArray z = TwCompress(data);
  uLongf n = compressBound(data.size());
  QByteArray ref(n, '\0');
  ASSERT_EQ(compress2(reinterpret_cast<Bytef*>(ref.data()), &n, reinterpret_cast<const Bytef*>(data.constData()),
                      data.size(), 9),
            Z_OK);
  ref.resize(n);
  EXPECT_EQ(z, ref);
  EXPECT_EQ(uint8_t(z[0]), 0x78);
  EXPECT_EQ(uint8_t(z[1]), 0xDA);
  EXPECT_EQ(TwInflate(z), data);
}

TEST(ZStream, StreamsRoundTripAcrossBlocks) {
  QByteArray data;
  for (int i = 0; i < 50000; ++i) data.append(char((int64_t(i) * i) % 256));
  QByteArray z;
  {
    QBuffer out(&z);
    out.open(QIODevice::WriteOnly);
    TCompressionStream c(TCompressionLevel::clFastest, &out);
    c.Write(data.constData(), 1000);
    c.Write(data.constData() + 1000, data.size() - 1000);
    c.Finish();
  }
  QBuffer in(&z);
  in.open(QIODevice::ReadOnly);
  TDecompressionStream d(&in);
  QByteArray back(data.size() + 10, '\0');
  EXPECT_EQ(d.Read(back.data(), 7), 7);
  EXPECT_EQ(d.Read(back.data() + 7, back.size() - 7), data.size() - 7);
  back.resize(data.size());
  EXPECT_EQ(back, data);
  EXPECT_EQ(d.Seek(0, TSeekOrigin::soBeginning), 0);
  char first[3];
  EXPECT_EQ(d.Read(first, 3), 3);
  EXPECT_EQ(QByteArray(first, 3), data.left(3));
}

TEST(ZStream, WrongDirectionsAreInvalidStreamOperations) {
  QByteArray z;
  QBuffer out(&z);
  out.open(QIODevice::WriteOnly);
  TCompressionStream c(TCompressionLevel::clMax, &out);
  char buf[4] = {};
  c.Write("abc", 3);
  auto expectInvalid = [](auto&& f) {
    try {
      f();
      ADD_FAILURE() << "no error";
    } catch (const EError& e) {
      EXPECT_EQ(e.Message(), "Invalid stream operation");
    }
  };
  expectInvalid([&] { c.Read(buf, 1); });
  expectInvalid([&] { c.Seek(1, TSeekOrigin::soBeginning); });
  EXPECT_EQ(c.Seek(0, TSeekOrigin::soCurrent), 3);
  c.Finish();
  QBuffer in(&z);
  in.open(QIODevice::ReadOnly);
  TDecompressionStream d(&in);
  expectInvalid([&] { d.Write(buf, 1); });
  expectInvalid([&] { d.Seek(-1, TSeekOrigin::soEnd); });
}

TEST(ZStream, DamagedTruncatedAndBombStreamsFail) {
  const QByteArray good = TwCompress(QByteArray(100000, 'x'));
  QByteArray bad = good;
  bad[0] = 0x12;  // not a zlib header
  auto message = [](const QByteArray& z, int64_t limit) {
    try {
      TwInflate(z, limit);
    } catch (const EDecompressionError& e) {
      return e.Message();
    }
    return QStringLiteral("no error");
  };
  EXPECT_EQ(message(bad, kMaxInflatedSize), "compression error");
  EXPECT_TRUE(message(good.left(good.size() / 2), kMaxInflatedSize).contains("ends early"));
  EXPECT_TRUE(message({}, kMaxInflatedSize).contains("ends early"));
  EXPECT_TRUE(message(good, 99999).contains("more than"));
  EXPECT_EQ(TwInflate(good, 100000).size(), 100000);

  // 200 MiB of zeros in a few hundred kilobytes: refused at the default cap.
  QByteArray bomb;
  {
    QBuffer out(&bomb);
    out.open(QIODevice::WriteOnly);
    TCompressionStream c(TCompressionLevel::clMax, &out);
    const QByteArray zeros(1 << 20, '\0');
    for (int i = 0; i < 200; ++i) c.Write(zeros.constData(), zeros.size());
    c.Finish();
  }
  EXPECT_TRUE(message(bomb, kMaxInflatedSize).contains("64 MiB"));

  QBuffer in;
  in.setData(good.left(good.size() / 2));
  in.open(QIODevice::ReadOnly);
  TDecompressionStream d(&in);
  QByteArray sink(200000, '\0');
  EXPECT_THROW(d.Read(sink.data(), sink.size()), EDecompressionError);
}

}  // namespace
