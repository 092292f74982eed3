// The package layout, its builder, the compressed file layout, the stored
// skin holders and the string table.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>

#include "SkinFolderFixture.h"
#include "skin/data/twCompressedSkin.h"
#include "skin/data/twResourceStrData.h"
#include "skin/data/twSkinPackage.h"
#include "skin/data/twZStream.h"

using twtest::MakeBitmap;
using twtest::TSkinFolder;

namespace {

QByteArray Int32(int32_t v) { return QByteArray(reinterpret_cast<const char*>(&v), 4); }

TEST(SkinPackage, BuiltFromAFolderInTheFixedLayout) {
  TSkinFolder folder;
  const std::optional<QByteArray> pkg = TwBuildSkinPackage(folder.Standard());
  ASSERT_TRUE(pkg);

  QByteArray want = Int32(3);
  want += char(0) + MakeBitmap(12, 10, 24).ToBytes();
  want += char(1);  // empty inactivepicture: flag only
  want += char(0) + MakeBitmap(12, 10, 8).ToBytes();
  want += Int32(2) + MakeBitmap(8, 6, 24).ToBytes() + MakeBitmap(5, 3, 1).ToBytes();
  QFile ini(folder.Path("skin.ini"));
  ini.open(QIODevice::ReadOnly);
  want += ini.readAll();
  EXPECT_EQ(*pkg, want);

  const TtwSkinPackage read = TtwSkinPackage::Read(*pkg);
  EXPECT_EQ(read.Version, 3);
  EXPECT_TRUE(read.InactivePicture.IsEmpty());
  EXPECT_EQ(read.Mask.BitCount(), 8);
  ASSERT_EQ(read.ActivePictures.size(), 2);
  EXPECT_EQ(read.ActivePictures[1].BitCount(), 1);
  EXPECT_TRUE(read.Text.startsWith("[VERSION]\r\n"));
  EXPECT_EQ(read.Write(), *pkg);
}

TEST(SkinPackage, DescriptionLinesAreRewrittenWithCrLf) {
  TSkinFolder folder;
  folder.Standard();
  folder.Write("lf.ini", "[VERSION]\nver=1\n[PICTURES]\rpicture=\n[FORMINFO]\nx=1\n[SKINOBJECTS]\n"
                         "count=0\n[SKINCONTROLS]\ncount=0");
  const std::optional<QByteArray> pkg = TwBuildSkinPackage(folder.Path("lf.ini"));
  ASSERT_TRUE(pkg);
  const TtwSkinPackage p = TtwSkinPackage::Read(*pkg);
  EXPECT_EQ(p.Text,
            "[VERSION]\r\nver=1\r\n[PICTURES]\r\npicture=\r\n[FORMINFO]\r\nx=1\r\n[SKINOBJECTS]\r\ncount=0\r\n"
            "[SKINCONTROLS]\r\ncount=0\r\n");
  EXPECT_TRUE(p.Picture.IsEmpty());
  EXPECT_TRUE(p.ActivePictures.isEmpty());
}

TEST(SkinPackage, MissingSectionOrPictureKeepsTheStoredPackage) {
  TSkinFolder folder;
  TtwCompressedStoredSkin stored;
  ASSERT_TRUE(stored.LoadFromSkinFolder(folder.Standard()));
  const QByteArray before = stored.CompressedData();
  ASSERT_FALSE(before.isEmpty());

  // [VERSION] with no line in it does not count as present.
  folder.Write("nover.ini", "[VERSION]\r\n[PICTURES]\r\npicture=frame.bmp\r\n[FORMINFO]\r\na=1\r\n"
                            "[SKINOBJECTS]\r\ncount=0\r\n[SKINCONTROLS]\r\ncount=0\r\n");
  EXPECT_FALSE(stored.LoadFromSkinFolder(folder.Path("nover.ini")));
  EXPECT_EQ(stored.CompressedData(), before);

  folder.Write("nopic.ini", "[VERSION]\r\nv=1\r\n[PICTURES]\r\npicture=missing.bmp\r\n[FORMINFO]\r\na=1\r\n"
                            "[SKINOBJECTS]\r\ncount=0\r\n[SKINCONTROLS]\r\ncount=0\r\n");
  EXPECT_THROW(stored.LoadFromSkinFolder(folder.Path("nopic.ini")), EError);
  folder.Write("bad.bmp", "not a bitmap");
  folder.Write("badpic.ini", "[VERSION]\r\nv=1\r\n[PICTURES]\r\nactivepicturescount=1\r\n0=bad.bmp\r\n"
                             "[FORMINFO]\r\na=1\r\n[SKINOBJECTS]\r\ncount=0\r\n[SKINCONTROLS]\r\ncount=0\r\n");
  EXPECT_THROW(stored.LoadFromSkinFolder(folder.Path("badpic.ini")), EInvalidBitmap);
  EXPECT_EQ(stored.CompressedData(), before);
  EXPECT_EQ(TwInflate(before), *TwBuildSkinPackage(folder.Path("skin.ini")));
}

TEST(SkinPackage, VersionTwoExtrasAreSkippedAndNewerVersionsReadNothing) {
  const QByteArray pic = MakeBitmap(3, 2, 24).ToBytes();
  const QByteArray extra = MakeBitmap(4, 4, 4).ToBytes();
  QByteArray v2 = Int32(2) + char(1) + char(1) + char(0) + pic;
  v2 += char(0) + extra + char(1);  // the two extras: one stored, one absent
  v2 += Int32(1) + pic + "[A]\r\nk=v\r\n";
  const TtwSkinPackage p = TtwSkinPackage::Read(v2);
  EXPECT_EQ(p.Mask.Width(), 3);
  ASSERT_EQ(p.ActivePictures.size(), 1);
  EXPECT_EQ(p.ActivePictures[0].ToBytes(), pic);
  EXPECT_EQ(p.Text, "[A]\r\nk=v\r\n");

  for (int32_t v : {4, 7, INT32_MAX}) {
    const TtwSkinPackage n = TtwSkinPackage::Read(Int32(v) + char(0) + pic);
    EXPECT_FALSE(n.Supported());
    EXPECT_TRUE(n.Picture.IsEmpty());
    EXPECT_TRUE(n.Text.isEmpty());
  }
  // Old and negative versions read like version 3; a negative count reads none.
  for (int32_t v : {0, 1, -5}) {
    const TtwSkinPackage o = TtwSkinPackage::Read(Int32(v) + char(1) + char(1) + char(1) + Int32(-3) + "x");
    EXPECT_TRUE(o.ActivePictures.isEmpty());
    EXPECT_EQ(o.Text, "x");
  }
}

TEST(SkinPackage, DamagedPackagesFailCleanly) {
  TSkinFolder folder;
  const QByteArray pkg = *TwBuildSkinPackage(folder.Standard());
  const qsizetype textStart = pkg.indexOf("[VERSION]");
  // Every cut inside the binary part is an error, never a crash or a read
  // past the end; cuts inside the text just shorten it.
  for (qsizetype n = 0; n < textStart; ++n) {
    EXPECT_THROW(TtwSkinPackage::Read(pkg.left(n)), EError) << "cut at " << n;
  }
  EXPECT_NO_THROW(TtwSkinPackage::Read(pkg.left(textStart + 3)));

  QByteArray notBm = pkg;
  notBm[5] = 'X';  // the frame picture's "BM"
  EXPECT_THROW(TtwSkinPackage::Read(notBm), EInvalidBitmap);
  // A count of two billion pictures runs into the end instead of reserving.
  QByteArray huge = Int32(3) + char(1) + char(1) + char(1) + Int32(INT32_MAX) + MakeBitmap(2, 2, 24).ToBytes();
  EXPECT_THROW(TtwSkinPackage::Read(huge), ESkinPackageError);
}

TEST(CompressedSkinFile, LayoutRoundTripsAndRejectsNewerVersions) {
  TtwCompressedStoredSkin s;
  s.SetCompressedData("zlibbytes");
  const QByteArray file = s.SaveToCompressedBytes();
  EXPECT_EQ(file, Int32(3) + Int32(9) + "zlibbytes");

  TtwCompressedStoredSkin t;
  t.LoadFromCompressedBytes(file + "trailing");
  EXPECT_EQ(t.CompressedData(), "zlibbytes");

  t.LoadFromCompressedBytes(Int32(7) + Int32(9) + "zlibbytes");
  EXPECT_TRUE(t.IsEmpty());
  t.SetCompressedData("old");
  t.LoadFromCompressedBytes(Int32(-1) + Int32(2) + "ab");
  EXPECT_EQ(t.CompressedData(), "ab");

  TSkinFolder folder;
  folder.Write("v7.twz", Int32(7) + Int32(3) + "abc");
  t.LoadFromCompressedFile(folder.Path("v7.twz"));
  EXPECT_TRUE(t.IsEmpty());
  EXPECT_THROW(t.LoadFromCompressedFile(folder.Path("absent.twz")), EError);
}

TEST(CompressedSkinFile, ShortOrNegativeLengthsAreErrorsAndLeaveItEmpty) {
  for (const QByteArray& bad : {QByteArray("\x03\0", 2), Int32(3), Int32(3) + Int32(100) + "abc",
                                Int32(3) + Int32(-4) + "abcd", Int32(3) + Int32(INT32_MAX)}) {
    TtwCompressedStoredSkin t;
    t.SetCompressedData("old");
    EXPECT_THROW(t.LoadFromCompressedBytes(bad), ESkinPackageError) << bad.toHex().toStdString();
    EXPECT_TRUE(t.IsEmpty());
  }
}

TEST(StoredSkin, FileNameSettersBuildOnlyWhileDesigning) {
  TSkinFolder folder;
  const QString ini = folder.Standard();
  TtwCompressedStoredSkin s;
  s.SetFileName(ini);  // run time: stored as given, nothing built
  EXPECT_EQ(s.FileName(), ini);
  EXPECT_TRUE(s.IsEmpty());

  s.SetDesigning(true);
  s.SetLoading(true);
  s.SetFileName(ini);
  EXPECT_TRUE(s.IsEmpty());
  s.SetLoading(false);
  s.SetFileName(ini);
  EXPECT_EQ(s.FileName(), "skin.ini");
  ASSERT_FALSE(s.IsEmpty());
  QByteArray unpacked("prefix");
  s.UnpackTo(unpacked);
  EXPECT_EQ(unpacked, "prefix" + *TwBuildSkinPackage(ini));

  folder.Write("skin.twz", s.SaveToCompressedBytes());
  TtwCompressedStoredSkin c;
  c.SetDesigning(true);
  c.SetCompressedFileName(folder.Path("skin.twz"));
  EXPECT_EQ(c.CompressedFileName(), "skin.twz");
  EXPECT_EQ(c.CompressedData(), s.CompressedData());
}

TEST(SkinList, ItemsAreNamedByPositionAndStoreTheFileLayout) {
  TSkinFolder folder;
  const QString ini = folder.Standard();
  TtwCompressedSkinList list;
  TtwSkinListItem* a = list.Skins()->Add();
  TtwSkinListItem* b = list.Skins()->Add();
  EXPECT_EQ(a->Name(), "twSkin0");
  EXPECT_EQ(b->DisplayName(), "twSkin1");
  EXPECT_EQ(list.Skins()->Owner(), &list);

  b->SetFileName(ini);  // list not designing: only stored
  EXPECT_TRUE(b->Skin()->IsEmpty());
  list.SetDesigning(true);
  b->SetFileName(ini);
  EXPECT_EQ(b->FileName(), "skin.ini");
  ASSERT_FALSE(b->Skin()->IsEmpty());

  const QByteArray stored = b->SkinData();
  EXPECT_EQ(stored.left(4), Int32(3));
  a->SetSkinData(stored);
  EXPECT_EQ(a->Skin()->CompressedData(), b->Skin()->CompressedData());
  list.Skins()->Delete(0);
  EXPECT_EQ(list.Skins()->Count(), 1);
  EXPECT_EQ(list.Skins()->Add()->Name(), "twSkin1");
}

TEST(ResourceStrData, DefaultTableAndCaseInsensitiveLookup) {
  TtwResourceStrData r;
  ASSERT_EQ(r.ResStrings().size(), 138);
  EXPECT_EQ(r.ResStrings().first(), "MI_MINCAPTION=Mi&nimize");
  EXPECT_EQ(r.ResStrings()[13], "EDIT_UNDO=Undo");
  EXPECT_EQ(r.ResStrings()[130], "DBNAV_REFRESH=Refresh data");
  EXPECT_EQ(r.CharSet(), 1);
  EXPECT_EQ(r.GetResStr("edit_undo"), "Undo");
  EXPECT_EQ(r.GetResStr("MI_ROLLUPCAPTION"), "Ro&llUp");
  EXPECT_EQ(r.GetResStr("NO_SUCH_NAME"), "");
  EXPECT_EQ(r.GetResStr("EDIT"), "");  // a name is matched whole

  r.SetResStrings({"A=first=x", "a=second", "B", "=empty name"});
  EXPECT_EQ(r.GetResStr("a"), "first=x");
  EXPECT_EQ(r.GetResStr("B"), "");
  EXPECT_EQ(r.GetResStr(""), "empty name");
}

}  // namespace
