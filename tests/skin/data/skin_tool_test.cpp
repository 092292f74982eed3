#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>

#include "SkinFolderFixture.h"
#include "skin/data/twCompressedSkin.h"
#include "skin/data/twSkinPackage.h"
#include "skin/data/twZStream.h"

using twtest::TSkinFolder;

namespace {

struct TResult {
  int exitCode = -1;
  bool crashed = false;
  QString out, err;
};

TResult Tool(const QStringList& args) {
  QProcess p;
  p.start(QStringLiteral(TW_SKIN_TOOL), args);
  EXPECT_TRUE(p.waitForFinished(60000));
  TResult r;
  r.crashed = p.exitStatus() == QProcess::CrashExit;
  r.exitCode = p.exitCode();
  r.out = QString::fromUtf8(p.readAllStandardOutput());
  r.err = QString::fromUtf8(p.readAllStandardError());
  return r;
}

QByteArray Read(const QString& path) {
  QFile f(path);
  f.open(QIODevice::ReadOnly);
  return f.readAll();
}

TEST(SkinTool, PackInfoUnpackAndPackAgainGiveTheSameFile) {
  TSkinFolder src;
  src.Standard();
  const QString file = src.Path("skin.twz");
  TResult r = Tool({"pack", src.Path(), file});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();

  r = Tool({"info", file});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_EQ(r.out,
            "version 3\npicture 12x10x24\ninactivepicture none\nmask 12x10x8\nactive 0 8x6x24\nactive 1 5x3x1\n"
            "sections 7\nobjects 1\ncontrols 1\nobject 0 closebutton TtwDataSkinStdButton\n"
            "control 0 button TtwDataSkinButtonControl\n");

  QTemporaryDir out;
  const QString dir = out.path() + "/unpacked";
  r = Tool({"unpack", file, dir});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
  EXPECT_EQ(QDir(dir).entryList(QDir::Files),
            QStringList({"a0.bmp", "a1.bmp", "frame.bmp", "mask.bmp", "skin.ini"}));
  EXPECT_EQ(Read(dir + "/a1.bmp"), Read(src.Path("a1.bmp")));
  r = Tool({"pack", dir, out.path() + "/again.twz"});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_EQ(Read(out.path() + "/again.twz"), Read(file));

  // Unpacking never overwrites what is there.
  r = Tool({"unpack", file, dir});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_TRUE(r.err.contains("already exists")) << r.err.toStdString();
}

TEST(SkinTool, NormalizeWritesTheLoadedSkinBackAndIsStable) {
  TSkinFolder src;
  src.Standard("[button]\r\nSkinRect = 1, 2 ,8,6\r\nfontheight=12\r\nfontheight=16\r\n");
  ASSERT_EQ(Tool({"pack", src.Path(), src.Path("skin.twz")}).exitCode, 0);
  const TResult first = Tool({"normalize", src.Path("skin.twz")});
  ASSERT_EQ(first.exitCode, 0) << first.err.toStdString();
  EXPECT_TRUE(first.out.contains("skinrect=1,2,8,6\r\n")) << first.out.toStdString();
  EXPECT_TRUE(first.out.contains("fontheight=16\r\n"));
  EXPECT_TRUE(first.out.contains("0=button:button\r\n"));
  EXPECT_TRUE(first.out.contains("cbtnface="));

  // The normalized description, packed with the same pictures, normalizes
  // to itself.
  src.Write("skin.ini", first.out.toUtf8());
  ASSERT_EQ(Tool({"pack", src.Path(), src.Path("norm.twz")}).exitCode, 0);
  const TResult second = Tool({"normalize", src.Path("norm.twz")});
  EXPECT_EQ(second.out, first.out);
}

TEST(SkinTool, DamagedInputGivesAClearErrorNeverACrash) {
  TSkinFolder src;
  src.Standard();
  const QString good = src.Path("skin.twz");
  ASSERT_EQ(Tool({"pack", src.Path(), good}).exitCode, 0);
  const QByteArray bytes = Read(good);
  QByteArray flipped = bytes;
  flipped[40] = char(flipped[40] ^ 0x5A);
  QByteArray v7 = bytes;
  v7[0] = 7;
  struct Case {
    const char* name;
    QByteArray content;
    const char* says;
  } cases[] = {{"empty", "", "damaged"},
               {"short", bytes.left(6), "damaged"},
               {"truncated", bytes.left(bytes.size() - 20), "damaged"},
               {"flipped", flipped, "compression error"},
               {"v7", v7, "version 7"},
               {"text", "[VERSION]\r\nskinname=x\r\n", "version"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    src.Write(c.name, c.content);
    for (const char* cmd : {"info", "normalize"}) {
      const TResult r = Tool({cmd, src.Path(c.name)});
      EXPECT_FALSE(r.crashed);
      EXPECT_EQ(r.exitCode, 1);
      EXPECT_TRUE(r.err.startsWith("tarnwick-skin: ")) << r.err.toStdString();
      EXPECT_TRUE(r.err.contains(c.says, Qt::CaseInsensitive)) << r.err.toStdString();
      EXPECT_TRUE(r.out.isEmpty());
    }
  }
  EXPECT_EQ(Tool({"info", src.Path("absent")}).exitCode, 1);
  EXPECT_EQ(Tool({"pack", src.Path("nothere"), src.Path("x.twz")}).exitCode, 1);
  EXPECT_EQ(Tool({"frobnicate"}).exitCode, 2);
  EXPECT_EQ(Tool({}).exitCode, 2);
}

TEST(SkinTool, UnpackKeepsPicturesInsideTheTargetFolder) {
  TSkinFolder src;
  src.Standard();
  QTemporaryDir out;
  for (const char* name : {"../evil.bmp", "sub/../../evil.bmp", "/tmp/evil.bmp"}) {
    SCOPED_TRACE(name);
    QByteArray ini = Read(src.Path("skin.ini"));
    ini.replace("1=a1.bmp", QByteArray("1=") + name);
    TtwSkinPackage p = TtwSkinPackage::Read(*TwBuildSkinPackage(src.Path("skin.ini")));
    p.Text = ini;
    TtwCompressedStoredSkin s;
    s.SetCompressedData(TwCompressSkinPackage(p.Write()));
    src.Write("evil.twz", s.SaveToCompressedBytes());
    const TResult r = Tool({"unpack", src.Path("evil.twz"), out.path() + "/x"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_FALSE(QFile::exists(out.path() + "/evil.bmp"));
    EXPECT_FALSE(QFile::exists(out.path() + "/x/frame.bmp"));  // nothing written at all
  }
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
