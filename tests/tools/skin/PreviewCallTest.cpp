// tarnwick-skin preview as a user calls it: one result line and nothing else,
// help that is help, and malformed options that are wrong calls (exit 2).
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

namespace {

struct SkinRun {
  int code;
  QString out, err;
};

SkinRun Skin(const QStringList& args) {
  QProcess p;
  // As from a terminal: no platform chosen, whatever the test runner set.
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.remove("QT_QPA_PLATFORM");
  p.setProcessEnvironment(env);
  p.start(QStringLiteral(TW_SKIN_TOOL), args);
  p.waitForFinished(120000);
  return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
          QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

TEST(SkinPreviewCall, PrintsOnlyItsResultLine) {
  QTemporaryDir dir;
  for (const char* form : {"gallery", "main"}) {
    const QString out = dir.filePath(QStringLiteral("%1.png").arg(form));
    const SkinRun r = Skin({"preview", "--builtin", out, "--form", form});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QImage img(out);
    EXPECT_EQ(r.out, QStringLiteral("wrote %1 (%2x%3)\n").arg(out).arg(img.width()).arg(img.height()));
    EXPECT_EQ(r.err, "") << form;
  }
}

TEST(SkinPreviewCall, HelpListsEveryOptionAndWrongValuesAreWrongCalls) {
  const SkinRun help = Skin({"preview", "--help"});
  EXPECT_EQ(help.code, 0);
  EXPECT_EQ(help.err, "");
  const SkinRun all = Skin({"--help"});
  for (const char* flag : {"--form", "--size", "--inactive", "--state", "--hit-map"}) {
    EXPECT_TRUE(help.out.contains(flag)) << flag;
    EXPECT_TRUE(all.out.contains(flag)) << flag;
  }
  const QStringList wrong[] = {
      {"preview", "--builtin", "x.png", "--size", "12"},
      {"preview", "--builtin", "x.png", "--size", "axb"},
      {"preview", "--builtin", "x.png", "--state", "sideways"},
      {"preview", "--builtin", "x.png", "--form", "nothing"},
      {"preview", "--builtin", "x.png", "--size"},
      {"preview", "--builtin"},
  };
  for (const QStringList& args : wrong) {
    const SkinRun r = Skin(args);
    EXPECT_EQ(r.code, 2) << args.join(' ').toStdString();
    EXPECT_TRUE(r.err.contains("usage: tarnwick-skin preview")) << r.err.toStdString();
    EXPECT_EQ(r.out, "");
  }
  const SkinRun size = Skin({"preview", "--builtin", "x.png", "--size", "12"});
  EXPECT_TRUE(size.err.startsWith("tarnwick-skin: --size wants WIDTHxHEIGHT")) << size.err.toStdString();
  EXPECT_FALSE(QFile::exists("x.png"));
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
