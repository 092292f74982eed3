// Skins with values no real skin has: the preview of every form ends soon,
// stays small, and either draws a picture or says what is wrong.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <chrono>
#include <thread>
#include <vector>

extern char** environ;

namespace {

struct Case {
  const char* name;
  const char* form;   // gallery, main, box
  const char* state;  // normal, rolledup
  const char* section;
  const char* key;
  const char* value;
  // Values some cases need beside the first, "section:key=value ...".
  const char* more = nullptr;
};

// Each value once led to a crash, a hang, gigabytes of memory or an error
// thrown out of a paint.
const Case kCases[] = {
    {"huge minimum width", "main", "normal", "FORMINFO", "formminwidth", "16777216"},
    {"minimum width past a screen", "gallery", "normal", "FORMINFO", "formminwidth", "1000000"},
    {"huge client rectangle", "main", "normal", "FORMINFO", "clientrect", "30000,30000,30000,30000"},
    {"huge splitter gripper", "main", "normal", "vsplitter", "gripperrect", "0,0,30000,30000"},
    {"gripper past any bitmap", "main", "normal", "hsplitter", "gripperrect", "0,0,16777216,16777216"},
    {"huge status bar gripper", "main", "normal", "statusbar", "gripperrect", "0,0,30000,30000"},
    {"tall menu item", "gallery", "normal", "menuitem", "skinrect", "10,10,110,910"},
    {"huge menu check image", "gallery", "normal", "menuitem", "checkimagerect", "0,0,30000,30000"},
    {"huge menu marker", "gallery", "normal", "menuitem", "menumarkerrect", "0,0,30000,30000"},
    {"huge group frame", "gallery", "normal", "groupbox", "framerect", "0,0,30000,30000"},
    {"huge font", "gallery", "normal", "button", "fontheight", "30000"},
    {"caption of no height rolled up", "main", "rolledup", "FORMINFO", "clientrect", "4,0,281,206"},
    {"busy animation timer", "gallery", "normal", "closebutton", "animateinterval", "-5"},
    {"one pixel tiled over a wide panel", "main", "normal", "panel", "clientrect", "1,1,2,2",
     "panel:stretcheffect=0 FORMINFO:formminwidth=8192"},
};

// Puts key=value into [section] of an ini text, replacing an old value.
QString WithValue(const QString& ini, const char* section, const char* key, const char* value) {
  QStringList lines = ini.split('\n');
  int at = -1;
  bool inSection = false;
  for (int i = 0; i < lines.size(); ++i) {
    const QString l = lines[i].trimmed();
    if (l.startsWith('[')) {
      if (inSection) break;
      inSection = l.compare(QStringLiteral("[%1]").arg(section), Qt::CaseInsensitive) == 0;
      if (inSection) at = i + 1;
      continue;
    }
    if (inSection && l.startsWith(QLatin1String(key) + '=')) {
      lines[i] = QStringLiteral("%1=%2").arg(key, value);
      return lines.join('\n');
    }
  }
  if (at < 0) ADD_FAILURE() << "no section " << section;
  lines.insert(at, QStringLiteral("%1=%2").arg(key, value));
  return lines.join('\n');
}

struct PreviewRun {
  int status = -1;  // wait status
  double cpuSeconds = 0;
  long peakKb = 0;
  QByteArray err;
};

// Runs the preview with a watchdog, so a hang fails the case instead of the suite.
PreviewRun Preview(const QStringList& args) {
  std::vector<QByteArray> keep{QByteArray(TW_SKIN_TOOL), "preview"};
  for (const QString& a : args) keep.push_back(a.toUtf8());
  std::vector<char*> argv;
  for (QByteArray& k : keep) argv.push_back(k.data());
  argv.push_back(nullptr);
  int fds[2];
  EXPECT_EQ(pipe(fds), 0);
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_adddup2(&fa, fds[1], 2);
  posix_spawn_file_actions_addclose(&fa, fds[0]);
  pid_t pid = -1;
  EXPECT_EQ(posix_spawn(&pid, argv[0], &fa, nullptr, argv.data(), environ), 0);
  posix_spawn_file_actions_destroy(&fa);
  close(fds[1]);
  PreviewRun r;
  rusage use{};
  const auto start = std::chrono::steady_clock::now();
  for (;;) {
    const pid_t done = wait4(pid, &r.status, WNOHANG, &use);
    if (done == pid) break;
    if (std::chrono::steady_clock::now() - start > std::chrono::seconds(120)) {
      kill(pid, SIGKILL);
      wait4(pid, &r.status, 0, &use);
      ADD_FAILURE() << "the preview did not end";
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  char buf[4096];
  ssize_t n;
  while ((n = read(fds[0], buf, sizeof buf)) > 0) r.err.append(buf, n);
  close(fds[0]);
  r.cpuSeconds = double(use.ru_utime.tv_sec + use.ru_stime.tv_sec) +
                 double(use.ru_utime.tv_usec + use.ru_stime.tv_usec) / 1e6;
  r.peakKb = use.ru_maxrss;
  return r;
}

class HostileSkin : public ::testing::TestWithParam<Case> {};

TEST_P(HostileSkin, PreviewEndsSmallWithAPictureOrAClearMessage) {
  const Case& c = GetParam();
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QDir pictures(QStringLiteral(TW_SOURCE_DIR "/skins/default"));
  for (const QString& f : pictures.entryList({"*.bmp"}, QDir::Files))
    ASSERT_TRUE(QFile::copy(pictures.filePath(f), dir.filePath(f)));
  QFile base(QStringLiteral(TW_SOURCE_DIR "/tests/skins/hostile/base.ini"));
  ASSERT_TRUE(base.open(QIODevice::ReadOnly));
  QFile ini(dir.filePath("skin.ini"));
  ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
  QString text = WithValue(QString::fromUtf8(base.readAll()), c.section, c.key, c.value);
  for (const QString& m : QString::fromLatin1(c.more).split(' ', Qt::SkipEmptyParts)) {
    const QByteArray section = m.section(':', 0, 0).toLatin1(), key = m.section(':', 1).section('=', 0, 0).toLatin1(),
                     value = m.section('=', 1).toLatin1();
    text = WithValue(text, section.constData(), key.constData(), value.constData());
  }
  ini.write(text.replace('\n', "\r\n").toUtf8());
  ini.close();

  const QString out = dir.filePath("out.png");
  const PreviewRun r = Preview({dir.path(), out, "--form", c.form, "--state", c.state});
  ASSERT_TRUE(WIFEXITED(r.status)) << "ended by signal " << WTERMSIG(r.status) << "\n" << r.err.constData();
  const int code = WEXITSTATUS(r.status);
  EXPECT_LT(r.cpuSeconds, 10.0);
#ifndef TW_SANITIZED
  EXPECT_LT(r.peakKb, 300 * 1024) << "peak memory";
#endif
  if (code == 0) {
    EXPECT_FALSE(QImage(out).isNull());
  } else {
    EXPECT_EQ(code, 1) << r.err.constData();
    // One line that names the cause, never a failure to write the file.
    EXPECT_TRUE(r.err.startsWith("tarnwick-skin: ")) << r.err.constData();
    EXPECT_FALSE(r.err.contains("cannot write")) << r.err.constData();
  }
}

INSTANTIATE_TEST_SUITE_P(Values, HostileSkin, ::testing::ValuesIn(kCases), [](const auto& info) {
  return QString::fromLatin1(info.param.name).replace(QRegularExpression("[^A-Za-z0-9]"), "_").toStdString();
});

}  // namespace
