// tarnwick-db as a user runs it: creating notebooks, refusing to replace
// files, and answering wrong calls, --help and --version as tools do.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QRegularExpression>

#include "app/Unit2.h"
#include "tests/platform/db/TestDb.h"
#include "tests/tools/db/ToolRun.h"

namespace {

TEST(DbTool, InitCreatesADatabaseTheProgramOpens) {
  QTemporaryDir dir;
  const ToolRun r = Tool({"init", dir.filePath("data.mdb")});
  ASSERT_EQ(r.code, 0) << r.err.toStdString();
  InFolder in(dir.path());
  TData data;
  data.LB->Open();
  data.BZ->Open();
  EXPECT_EQ(data.LB->RecordCount(), 0);
  EXPECT_EQ(data.BZ->RecordCount(), 0);
  EXPECT_EQ(data.BZ->FieldNames(), (QStringList{"类别", "日期", "标题", "内容"}));
}

TEST(DbTool, DemoHoldsChineseAndEnglishNotesUnderListedCategories) {
  QTemporaryDir dir;
  ASSERT_EQ(Tool({"init", "--demo", dir.filePath("data.mdb")}).code, 0);
  InFolder in(dir.path());
  TData data;
  data.LB->Open();
  QSet<QString> categories;
  for (data.LB->First(); !data.LB->Eof(); data.LB->Next()) categories << data.LB->FieldByName("类别").AsString();
  data.BZ->Open();
  ASSERT_GE(data.BZ->RecordCount(), 4);
  bool chinese = false, english = false, paragraphs = false;
  for (data.BZ->First(); !data.BZ->Eof(); data.BZ->Next()) {
    const QString title = data.BZ->FieldByName("标题").AsString();
    EXPECT_TRUE(categories.contains(data.BZ->FieldByName("类别").AsString())) << title.toStdString();
    EXPECT_LE(data.BZ->FieldByName("日期").AsDateTime(), QDateTime::currentDateTime());
    chinese = chinese || title.front().unicode() >= 0x4e00;
    english = english || (title.front().isLetter() && title.front().unicode() < 0x80);
    paragraphs = paragraphs || data.BZ->FieldByName("内容").AsString().count("\n\n") >= 2;
  }
  EXPECT_TRUE(chinese && english && paragraphs);
}

TEST(DbTool, InitStartsWithTheCategoriesAskedFor) {
  QTemporaryDir dir;
  const ToolRun r = Tool({"init", "--category", "Notes", dir.filePath("data.mdb"), "--category", "读书笔记"});
  ASSERT_EQ(r.code, 0) << r.err.toStdString();
  RawDb db(dir.filePath("data.mdb"));
  EXPECT_EQ(db.Column("select 类别 from 类别 order by rowid"), (QStringList{"Notes", "读书笔记"}));
  EXPECT_EQ(db.Column("select count(*) from 笔记"), QStringList{"0"});
}

TEST(DbTool, NeverReplacesAFile) {
  QTemporaryDir dir;
  const QString path = dir.filePath("data.mdb");
  {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("my old notes");
  }
  const ToolRun r = Tool({"init", "--demo", path});
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(r.err.contains("already exists")) << r.err.toStdString();
  EXPECT_EQ(ReadAll(path), "my old notes");

  const ToolRun nowhere = Tool({"init", dir.filePath("no/such/folder/data.mdb")});
  EXPECT_EQ(nowhere.code, 1);
  EXPECT_TRUE(nowhere.err.contains("no/such/folder")) << nowhere.err.toStdString();
}

TEST(DbTool, BadCommandLinesShowUsage) {
  const QStringList cases[] = {{},
                               {"create", "x.mdb"},
                               {"init"},
                               {"init", "--force", "x.mdb"},
                               {"init", "a", "b"},
                               {"init", "x.mdb", "--category"},
                               {"backup", "x.mdb"},
                               {"restore"},
                               {"check", "x.mdb", "y.mdb"},
                               {"export", "x.mdb", "--demo", "dir"},
                               {"import", "dir", "x.mdb", "more"}};
  for (const QStringList& args : cases) {
    const ToolRun r = Tool(args);
    EXPECT_EQ(r.code, 2) << args.join(' ').toStdString();
    EXPECT_TRUE(r.err.contains("Usage: tarnwick-db init [--demo] [--category NAME]... PATH")) << r.err.toStdString();
  }
  EXPECT_FALSE(QFile::exists("x.mdb"));
}

TEST(DbTool, HelpAndVersionGoToStandardOutput) {
  for (const QStringList& args : {QStringList{"--help"}, QStringList{"-h"}, QStringList{"init", "--help"}}) {
    const ToolRun r = Tool(args);
    EXPECT_EQ(r.code, 0) << args.join(' ').toStdString();
    EXPECT_TRUE(r.out.startsWith("Usage: tarnwick-db init [--demo] [--category NAME]... PATH")) << r.out.toStdString();
    EXPECT_EQ(r.err, "");
  }
  // Each command explains itself; the overview names them all.
  const ToolRun all = Tool({"--help"});
  for (const char* command : {"backup", "restore", "check", "export", "import"}) {
    const ToolRun r = Tool({command, "--help"});
    EXPECT_EQ(r.code, 0) << command;
    EXPECT_TRUE(r.out.startsWith(QStringLiteral("Usage: tarnwick-db %1 ").arg(command))) << r.out.toStdString();
    EXPECT_TRUE(all.out.contains(QStringLiteral("\n  %1 ").arg(command))) << command;
  }
  const ToolRun v = Tool({"--version"});
  EXPECT_EQ(v.code, 0);
  EXPECT_TRUE(v.out.contains(QRegularExpression("^tarnwick-db \\d+\\.\\d+"))) << v.out.toStdString();
  EXPECT_EQ(v.err, "");
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
