// Facts the notes windows rely on in the program's built-in skin.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>

#include "skin/data/twCompressedSkin.h"
#include "skin/data/twSkinData.h"
#include "skin/data/twSkinIni.h"
#include "skin/data/twSkinPackage.h"
#include "skin/data/twZStream.h"
#include "skins/BuiltinSkin.h"

namespace {

QString Shape(const TtwBitmap& b) {
  return b.IsEmpty() ? "none" : QStringLiteral("%1x%2x%3").arg(b.Width()).arg(b.Height()).arg(b.BitCount());
}

TEST(BuiltinSkin, PackageLayout) {
  const QByteArray z = BuiltinSkinPackage();
  ASSERT_GE(z.size(), 2);
  EXPECT_EQ(uint8_t(z[0]), 0x78);
  EXPECT_EQ(uint8_t(z[1]), 0xDA);
  const TtwSkinPackage p = TtwSkinPackage::Read(TwInflate(z));
  EXPECT_EQ(p.Version, 3);
  EXPECT_EQ(Shape(p.Picture), "285x210x24");
  EXPECT_EQ(p.Picture.FileSize(), 179814);
  EXPECT_TRUE(p.InactivePicture.IsEmpty());
  EXPECT_EQ(Shape(p.Mask), "285x210x8");
  EXPECT_EQ(p.Mask.ColorTable().size(), 256);
  EXPECT_EQ(p.Mask.FileSize(), 61558);
  QStringList shapes;
  for (const TtwBitmap& b : p.ActivePictures) shapes << Shape(b);
  EXPECT_EQ(shapes, QStringList({"75x263x24", "28x21x24", "93x55x24", "132x147x24", "556x410x24", "219x178x24",
                                 "93x55x4", "28x21x1"}));
  EXPECT_TRUE(p.Text.endsWith("\r\n"));
  const TtwSkinIni ini = TtwSkinIni::FromText(TwDecodeDescription(p.Text));
  QSet<QString> sections;
  for (const QString& s : ini.Sections())
    if (ini.SectionExists(s)) sections.insert(s.toUpper());
  EXPECT_EQ(sections.size(), 85);
  // Packing is reproducible: the stream is the level-9 deflate of the package.
  EXPECT_EQ(TwCompressSkinPackage(p.Write()), z);
}

TEST(BuiltinSkin, LoadedRecordsAndLookups) {
  TtwCompressedStoredSkin stored;
  stored.SetCompressedData(BuiltinSkinPackage());
  TtwSkinData d;
  d.SetCompressedStoredSkin(&stored);
  ASSERT_FALSE(d.Empty());
  EXPECT_EQ(d.ControlRecords().size(), 64);
  EXPECT_EQ(d.ObjectRecords().size(), 13);
  EXPECT_EQ(d.FindControlIndex("combobox"), 18);
  EXPECT_EQ(d.FindControlIndex("buttonedit"), 25);
  EXPECT_EQ(d.FindControlIndex("button"), 0);
  EXPECT_EQ(d.FindControlIndex("Button"), -1);
  EXPECT_EQ(d.clientrect, (TRect{4, 27, 281, 206}));
  EXPECT_EQ(d.maskrectarea, (TRect{4, 3, 282, 206}));
  EXPECT_FALSE(d.MaskName().isEmpty());
  EXPECT_EQ(d.ActivePictures().size(), 8);
  EXPECT_EQ(d.FormPicture().size(), QSize(285, 210));
}

#ifdef TW_SKIN_TOOL
TEST(BuiltinSkin, ToolUnpacksToAFolderThatPacksToTheSamePackage) {
  QTemporaryDir tmp;
  auto run = [](const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(TW_SKIN_TOOL), args);
    p.waitForFinished(60000);
    return std::make_pair(p.exitCode(), QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError()));
  };
  auto [code, text] = run({"unpack", "--builtin", tmp.path() + "/skin"});
  ASSERT_EQ(code, 0) << text.toStdString();
  EXPECT_TRUE(text.isEmpty()) << text.toStdString();
  std::tie(code, text) = run({"pack", tmp.path() + "/skin", tmp.path() + "/skin.twz"});
  ASSERT_EQ(code, 0) << text.toStdString();
  TtwCompressedStoredSkin s;
  s.LoadFromCompressedFile(tmp.path() + "/skin.twz");
  EXPECT_EQ(TwInflate(s.CompressedData()), TwInflate(BuiltinSkinPackage()));

  std::tie(code, text) = run({"info", "--builtin"});
  ASSERT_EQ(code, 0) << text.toStdString();
  const QStringList lines = text.split('\n');
  EXPECT_EQ(lines.mid(0, 4), QStringList({"version 3", "picture 285x210x24", "inactivepicture none",
                                          "mask 285x210x8"}));
  EXPECT_TRUE(lines.contains("controls 64"));
  EXPECT_TRUE(lines.contains("control 18 combobox TtwDataSkinComboBox"));
  EXPECT_TRUE(lines.contains("sections 85"));
}
#endif

}  // namespace

int main(int argc, char** argv) {
  QApplication qapp(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
