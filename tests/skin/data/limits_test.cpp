// Readers stay bounded on hostile input: caps on sections, lines, records and
// decoded pixels, linear parsing and saving, and file reads that accept only
// regular files of a size a skin may have.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include "SkinFolderFixture.h"
#include "skin/data/twCompressedSkin.h"
#include "skin/data/twSkinDescription.h"
#include "skin/data/twSkinFiles.h"
#include "skin/data/twSkinPackage.h"

using twtest::TSkinFolder;

namespace {

QByteArray Int32(int32_t v) { return QByteArray(reinterpret_cast<const char*>(&v), 4); }

// A 1-bit bitmap file of w x h blank pixels, made without drawing it.
QByteArray Blank1Bit(int32_t w, int32_t h) {
  const int64_t row = TtwBitmap::RowBytes(w, 1);
  const uint32_t offBits = 14 + 40 + 8;
  QByteArray b = "BM" + Int32(int32_t(offBits + row * h)) + Int32(0) + Int32(int32_t(offBits));
  b += Int32(40) + Int32(w) + Int32(h) + QByteArray("\x01\x00\x01\x00", 4) + Int32(0) + Int32(int32_t(row * h));
  b += Int32(0) + Int32(0) + Int32(0) + Int32(0) + Int32(0) + Int32(0xFFFFFF);
  return b + QByteArray(row * h, '\0');
}

QString Repeat(int n, const std::function<QString(int)>& line) {
  QString s;
  for (int i = 0; i < n; ++i) s += line(i);
  return s;
}

// Limits that would take minutes or gigabytes if missed; a linear reader
// stays far below this.
constexpr qint64 kGenerousMs = 15000;

TEST(DescriptionLimits, TooManySectionsLinesOrRecordsAreRefusedQuickly) {
  struct Case {
    const char* label;
    QString text;
    const char* says;
  } cases[] = {
      {"a million tiny sections", Repeat(1000000, [](int i) { return QStringLiteral("[%1]\na=1\n").arg(i, 0, 36); }),
       "sections"},
      {"a million lines in one section", "[s]\n" + Repeat(1000000, [](int) { return QStringLiteral("a=1\n"); }),
       "lines"},
      {"a million record entries",
       "[SKINCONTROLS]\ncount=1000000\n" + Repeat(99000, [](int i) { return QStringLiteral("%1=c:button\n").arg(i); }),
       "records"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    QElapsedTimer t;
    t.start();
    TtwSkinDescription d;
    try {
      d.LoadFromText(c.text);
      ADD_FAILURE() << "accepted";
    } catch (const ESkinDescriptionError& e) {
      EXPECT_TRUE(e.Message().contains(c.says)) << e.Message().toStdString();
    }
    EXPECT_LT(t.elapsed(), kGenerousMs);
  }
  // At the limits themselves everything still loads.
  TtwSkinDescription d;
  d.LoadFromText("[SKINCONTROLS]\ncount=10000\n" +
                 Repeat(kMaxSkinRecords, [](int i) { return QStringLiteral("%1=c%1:label\n").arg(i); }));
  EXPECT_EQ(d.controls.size(), kMaxSkinRecords);
}

TEST(DescriptionLimits, SavingAndReadingLongDescriptionsStaysLinear) {
  // Saving erases and rewrites every record's section; that must not renumber
  // all sections each time.
  TtwSkinDescription d;
  d.LoadFromText("[SKINOBJECTS]\ncount=10000\n" +
                 Repeat(kMaxSkinRecords, [](int i) { return QStringLiteral("%1=o%1:userobject\n").arg(i); }) +
                 "[SKINCONTROLS]\ncount=10000\n" +
                 Repeat(kMaxSkinRecords, [](int i) { return QStringLiteral("%1=c%1:splitter\n").arg(i); }));
  QElapsedTimer t;
  t.start();
  const QString text = d.ToText();
  EXPECT_LT(t.elapsed(), kGenerousMs);
  EXPECT_TRUE(text.contains("[c9999]\r\n"));

  // A rectangle of millions of fields reads its first four and stops.
  const TtwSkinIni ini = TtwSkinIni::FromText("[s]\nr=1,2,3,4" + QString(20000000, u','));
  t.restart();
  EXPECT_EQ(ini.ReadRect("s", "r"), (TRect{1, 2, 3, 4}));
  EXPECT_LT(t.elapsed(), kGenerousMs);
}

TEST(PackageLimits, PicturesThatWouldDecodePastTheCapAreRefused) {
  // Two 1-bit pictures of 64 million pixels: 16 MB stored, 512 MiB decoded.
  const QByteArray big = Blank1Bit(32768, 2048);
  QByteArray raw = Int32(3) + char(1) + char(1) + char(1) + Int32(2) + big + big + "[VERSION]\r\n";
  try {
    TtwSkinPackage::Read(raw);
    ADD_FAILURE() << "accepted";
  } catch (const ESkinPackageError& e) {
    EXPECT_TRUE(e.Message().contains("256 MiB")) << e.Message().toStdString();
  }
  // One of them alone is within the cap.
  raw = Int32(3) + char(1) + char(1) + char(1) + Int32(1) + big + "[VERSION]\r\n";
  EXPECT_EQ(TtwSkinPackage::Read(raw).ActivePictures.size(), 1);
  // A count beyond any skin is refused before anything is read.
  EXPECT_THROW(TtwSkinPackage::Read(Int32(3) + char(1) + char(1) + char(1) + Int32(kMaxActivePictures + 1)),
               ESkinPackageError);
}

TEST(FileLimits, OnlyRegularFilesOfASkinsSizeAreRead) {
  QTemporaryDir dir;
  const QString fifo = dir.filePath("fifo");
  ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  const QString big = dir.filePath("big");
  {
    QFile f(big);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_TRUE(f.resize(int64_t(2) << 30));  // sparse: nothing is written
  }
  const QString link = dir.filePath("zero.bmp");
  ASSERT_EQ(symlink("/dev/zero", QFile::encodeName(link).constData()), 0);
  struct Case {
    const char* label;
    QString path;
    const char* says;
  } cases[] = {{"FIFO", fifo, "not a regular file"},
               {"link to /dev/zero", link, "not a regular file"},
               {"folder", dir.path(), "folder"},
               {"2 GiB file", big, "larger than"},
               {"missing", dir.filePath("none"), "Cannot open"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    QElapsedTimer t;
    t.start();
    try {
      TwReadRegularFile(c.path, 1 << 20);
      ADD_FAILURE() << "read";
    } catch (const EError& e) {
      EXPECT_TRUE(e.Message().contains(c.says)) << e.Message().toStdString();
    }
    EXPECT_THROW(TtwBitmap::LoadFromFile(c.path), EError);
    TtwCompressedStoredSkin s;
    EXPECT_THROW(s.LoadFromCompressedFile(c.path), EError);
    EXPECT_LT(t.elapsed(), kGenerousMs);
  }
  QFile small(dir.filePath("small"));
  ASSERT_TRUE(small.open(QIODevice::WriteOnly));
  small.write("12345");
  small.close();
  EXPECT_EQ(TwReadRegularFile(small.fileName(), 5), "12345");
  EXPECT_THROW(TwReadRegularFile(small.fileName(), 4), EError);
}

TEST(FileLimits, CompressedFileStatingAHugeLengthIsRefusedAtOnce) {
  TtwCompressedStoredSkin s;
  EXPECT_THROW(s.LoadFromCompressedBytes(Int32(3) + Int32(0x7FFFFFF0) + "x"), ESkinPackageError);
  EXPECT_TRUE(s.IsEmpty());
}

TEST(FileLimits, BuildingNeverMakesAPackageTheReaderRefuses) {
  TSkinFolder folder;
  folder.Standard();
  // A description past the inflate cap, mostly a sparse run of NULs.
  QFile ini(folder.Path("skin.ini"));
  ASSERT_TRUE(ini.open(QIODevice::ReadWrite));
  ASSERT_TRUE(ini.resize(70 << 20));
  ini.close();
  EXPECT_THROW(TwBuildSkinPackage(folder.Path("skin.ini")), EError);

  // Pictures past the decoded cap.
  TSkinFolder pictures;
  pictures.Write("big.bmp", Blank1Bit(32768, 2048));
  pictures.Write("skin.ini", "[VERSION]\r\nskinname=x\r\n[PICTURES]\r\npicture=big.bmp\r\nmask=big.bmp\r\n"
                             "[FORMINFO]\r\nclientrect=1,1,2,2\r\n[SKINOBJECTS]\r\ncount=0\r\n"
                             "[SKINCONTROLS]\r\ncount=0\r\n");
  EXPECT_THROW(TwBuildSkinPackage(pictures.Path("skin.ini")), ESkinPackageError);
}

}  // namespace
