// tarnwick-skin end to end: pack, unpack, info and normalize, damaged and
// hostile input, and the command line.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <sys/stat.h>

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

// The time limit is generous: only a tool that blocks or runs away hits it.
TResult Tool(const QStringList& args, int timeoutMs = 60000) {
  QProcess p;
  p.start(QStringLiteral(TW_SKIN_TOOL), args);
  if (!p.waitForFinished(timeoutMs)) {
    ADD_FAILURE() << "tarnwick-skin " << args.join(' ').toStdString() << " did not finish";
    p.kill();
    p.waitForFinished();
  }
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

// The standard folder's package with its description replaced by `ini`.
QString PackageWithText(const TSkinFolder& src, const QByteArray& ini, const QString& name) {
  TtwSkinPackage p = TtwSkinPackage::Read(*TwBuildSkinPackage(src.Path("skin.ini")));
  p.Text = ini;
  TtwCompressedStoredSkin s;
  s.SetCompressedData(TwCompressSkinPackage(p.Write()));
  src.Write(name, s.SaveToCompressedBytes());
  return src.Path(name);
}

TEST(SkinTool, UnpackKeepsPicturesInsideTheTargetFolder) {
  TSkinFolder src;
  src.Standard();
  QTemporaryDir out;
  for (const char* name : {"../evil.bmp", "sub/../../evil.bmp", "/tmp/evil.bmp"}) {
    SCOPED_TRACE(name);
    QByteArray ini = Read(src.Path("skin.ini"));
    ini.replace("1=a1.bmp", QByteArray("1=") + name);
    const TResult r = Tool({"unpack", PackageWithText(src, ini, "evil.twz"), out.path() + "/x"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_FALSE(QFile::exists(out.path() + "/evil.bmp"));
    EXPECT_FALSE(QFile::exists(out.path() + "/x/frame.bmp"));  // nothing written at all
  }
}

TEST(SkinTool, UnpackNeverWritesThroughLinksOrOddNames) {
  TSkinFolder src;
  src.Standard();
  const QByteArray ini = Read(src.Path("skin.ini"));
  auto renamed = [&](const QByteArray& name) {
    QByteArray text = ini;
    text.replace("1=a1.bmp", "1=" + name);
    return PackageWithText(src, text, "renamed.twz");
  };

  // A NUL or another control character in a name is refused; the name cut
  // at the NUL is never written.
  for (const QByteArray& name : {QByteArray("keep.txt\0x", 10), QByteArray("a\x01b.bmp"), QByteArray("a\x7f.bmp")}) {
    SCOPED_TRACE(name.toStdString());
    QTemporaryDir out;
    const TResult r = Tool({"unpack", renamed(name), out.path()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("control character")) << r.err.toStdString();
    EXPECT_TRUE(QDir(out.path()).isEmpty());
  }

  // Links planted in the target, dangling or to a folder, are never followed.
  QTemporaryDir elsewhere;
  struct Case {
    const char* label;
    const char* link;
    QString target;
    QByteArray name;
  } cases[] = {{"dangling link named like a picture", "a1.bmp", elsewhere.path() + "/planted.bmp", "a1.bmp"},
               {"dangling link named skin.ini", "skin.ini", elsewhere.path() + "/planted.ini", "a1.bmp"},
               {"linked subfolder", "sub", elsewhere.path(), "sub/a1.bmp"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    QTemporaryDir out;
    ASSERT_TRUE(QFile::link(c.target, out.path() + '/' + c.link));
    const TResult r = Tool({"unpack", renamed(c.name), out.path()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("not empty")) << r.err.toStdString();
    EXPECT_TRUE(QDir(elsewhere.path()).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(out.path() + "/frame.bmp"));
  }

  // A folder holding anything else is refused too; a new one is made, with
  // the subfolders the names ask for.
  QTemporaryDir out;
  src.Write("other", "x");
  EXPECT_EQ(Tool({"unpack", renamed("a1.bmp"), src.Path()}).exitCode, 1);
  const TResult r = Tool({"unpack", renamed("sub/deeper/a1.bmp"), out.path() + "/new"});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_EQ(Read(out.path() + "/new/sub/deeper/a1.bmp"), Read(src.Path("a1.bmp")));
}

TEST(SkinTool, ReadsOnlyRegularFilesAndNeverPacksWhatItWouldRefuse) {
  constexpr int kQuickMs = 20000;
  QTemporaryDir work;
  auto fifo = [&](const QString& path) { ASSERT_EQ(mkfifo(QFile::encodeName(path).constData(), 0600), 0); };

  // A FIFO as the description or as a picture, a picture linked to
  // /dev/zero: refused at once instead of hanging or reading for ever.
  for (const char* which : {"skin.ini", "a1.bmp", "zero"}) {
    SCOPED_TRACE(which);
    TSkinFolder src;
    src.Standard();
    const QString path = src.Path(QString::fromLatin1(which) == "zero" ? "a1.bmp" : which);
    QFile::remove(path);
    if (QString::fromLatin1(which) == "zero") ASSERT_TRUE(QFile::link("/dev/zero", path));
    else fifo(path);
    const TResult r = Tool({"pack", src.Path(), work.filePath("out.twz")}, kQuickMs);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("not a regular file")) << r.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(work.filePath("out.twz")));
  }

  fifo(work.filePath("fifo.twz"));
  TResult r = Tool({"info", work.filePath("fifo.twz")}, kQuickMs);
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_TRUE(r.err.contains("not a regular file")) << r.err.toStdString();

  // A sparse 2 GiB file whose header claims 2 GiB of data.
  {
    QFile f(work.filePath("sparse.twz"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    const int32_t head[2] = {3, 0x7FFFFFF0};
    f.write(reinterpret_cast<const char*>(head), 8);
    ASSERT_TRUE(f.resize(int64_t(2) << 30));
  }
  r = Tool({"info", work.filePath("sparse.twz")}, kQuickMs);
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_TRUE(r.err.contains("larger than")) << r.err.toStdString();

  // A 70 MB description, and a record no reader could load: nothing written.
  TSkinFolder big;
  big.Standard();
  {
    QFile f(big.Path("skin.ini"));
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.resize(70 << 20));
  }
  TSkinFolder broken;
  broken.Standard("[button]\r\nskinrect=x\r\n");
  for (const TSkinFolder* src : {&big, &broken}) {
    r = Tool({"pack", src->Path(), work.filePath("out.twz")}, kQuickMs);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_FALSE(QFileInfo::exists(work.filePath("out.twz")));
  }
  EXPECT_TRUE(r.err.contains("skinrect")) << r.err.toStdString();
}

TEST(SkinTool, AnswersHelpAndVersionAndRefusesWrongCalls) {
  TResult r = Tool({"--help"});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_TRUE(r.out.startsWith("usage: tarnwick-skin pack DIR FILE\n")) << r.out.toStdString();
  EXPECT_TRUE(r.err.isEmpty());
  r = Tool({"--version"});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_TRUE(r.out.startsWith("tarnwick-skin ")) << r.out.toStdString();
  for (const QStringList& wrong : {QStringList{}, QStringList{"frobnicate"}, QStringList{"info"},
                                   QStringList{"pack", "a"}, QStringList{"--version", "x"}}) {
    SCOPED_TRACE(wrong.join(' ').toStdString());
    r = Tool(wrong);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_TRUE(r.err.startsWith("usage: tarnwick-skin")) << r.err.toStdString();
  }
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
