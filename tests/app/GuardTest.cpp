// The guard inside one process: which messages it keeps, what a later copy
// does, and how it meets forged, foreign and hung peers.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <QThread>
#include <functional>
#include <memory>

#include "app/MultYunXing.h"
#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/Form.h"
#include "platform/Message.h"
#include "platform/instance/InstanceChannel.h"

#include "tests/platform/instance/Peers.h"
#include "tests/support/EventWait.h"
#include "tests/support/MessageInbox.h"

namespace {

using twtest::App;
using twtest::WaitFor;

// Whatever handled the application window's messages before the guard came.
class Earlier : public QObject {
 public:
  QList<TMessage> seen;
  bool eventFilter(QObject*, QEvent* e) override {
    if (TMessage* m = MessageOf(e)) seen.append(*m);
    return false;
  }
};

using twtest::Inbox;

class GuardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    App();
    ASSERT_TRUE(dir.isValid());
    app = std::make_unique<TApplication>();
    TDialogs::Install(&dialogs);
  }
  void TearDown() override {
    guards.clear();
    app.reset();
    TDialogs::Install(nullptr);
  }
  QString SocketPath() const { return dir.filePath(QString::fromLatin1(kInstanceGuardName)); }
  // Runs the loop long enough for posted work (a queued warning) to happen.
  void Settle(int ms = 300) { WaitFor([] { return false; }, ms); }
  TInstanceGuard* Guard(QObject* window, int timeoutMs = 0) {
    guards.push_back(std::make_unique<TInstanceGuard>(window, dir.path()));
    guards.back()->AnswerTimeoutMs = timeoutMs;
    return guards.back().get();
  }
  QTemporaryDir dir;
  TScriptedDialogs dialogs;
  std::unique_ptr<TApplication> app;
  std::vector<std::unique_ptr<TInstanceGuard>> guards;
};

TEST_F(GuardTest, FirstCopyListensAndKeepsItsWindow) {
  TInstanceGuard* g = Guard(app.get());
  g->Install();
  EXPECT_FALSE(g->AnotherCopyRuns());
  EXPECT_TRUE(g->Channel()->Listening());
  EXPECT_TRUE(app->ShowMainForm);
  EXPECT_EQ(g->MessageNumber(), RegisterWindowMessage(QString::fromLatin1(kInstanceGuardName)));
}

TEST_F(GuardTest, InstanceMessagesStopAtTheGuardOthersPassOn) {
  Earlier earlier;
  app->installEventFilter(&earlier);
  TInstanceGuard* g = Guard(app.get());
  g->Install();
  const uint32_t n = g->MessageNumber();

  struct Case {
    intptr_t wparam, lparam;
  } cases[] = {{0, 5}, {3, 5}, {-1, 0}, {1, 0}};  // unknown kinds, and an answer naming no window
  for (const Case& c : cases) EXPECT_EQ(SendMessage(app.get(), n, c.wparam, c.lparam), 0);
  SendMessage(app.get(), n + 1, 1, 2);
  ASSERT_EQ(earlier.seen.size(), 1) << "only the other message reaches the earlier handler";
  EXPECT_EQ(earlier.seen[0].Msg, n + 1);

  QCoreApplication::processEvents();
  EXPECT_FALSE(app->Terminated()) << "an answer with no window does not end the copy";

  g->Finalize();
  SendMessage(app.get(), n, 3, 0);
  EXPECT_EQ(earlier.seen.size(), 2) << "after finalization the messages go where they went before";
}

TEST_F(GuardTest, LaterCopyHidesAnnouncesAndEndsOnTheAnswer) {
  TForm* main = nullptr;
  app->CreateForm(main);
  main->resize(120, 80);
  main->show();
  main->showMinimized();
  ASSERT_TRUE(main->isMinimized());

  // Both copies in one process: the running one answers with the main window.
  Inbox runningWindow;
  TInstanceGuard* running = Guard(&runningWindow);
  running->Install();
  ASSERT_FALSE(running->AnotherCopyRuns());

  QObject laterWindow;
  TInstanceGuard* later = Guard(&laterWindow);
  later->Install();
  EXPECT_TRUE(later->AnotherCopyRuns());
  EXPECT_FALSE(app->ShowMainForm) << "a later copy never shows its main window";

  EXPECT_TRUE(WaitFor([&] { return app->Terminated(); })) << "the answer ends the later copy";
  EXPECT_TRUE(WaitFor([&] { return !main->isMinimized(); })) << "the running copy's window is restored";
  EXPECT_TRUE(runningWindow.got.isEmpty()) << "the guard keeps the instance message to itself";
}

TEST_F(GuardTest, LaterCopyAnsweredWithoutWindowSaysSoAfterItsTimeout) {
  Inbox runningWindow;
  TInstanceChannel silent(QString::fromLatin1(kInstanceGuardName), &runningWindow, 1);
  silent.SetDirectory(dir.path());
  ASSERT_EQ(silent.Create(), TChannelStatus::Ok);

  QObject laterWindow;
  TInstanceGuard* later = Guard(&laterWindow, 400);
  later->Install();
  ASSERT_TRUE(later->AnotherCopyRuns());
  ASSERT_TRUE(WaitFor([&] { return runningWindow.got.size() == 1; }));
  const TMessage announce = runningWindow.got[0];
  EXPECT_EQ(announce.Msg, later->MessageNumber());
  EXPECT_EQ(announce.WParam, 2);
  EXPECT_EQ(announce.LParam, QCoreApplication::applicationPid());

  silent.Post(announce.LParam, announce.Msg, 1, 0);
  QElapsedTimer t;
  t.start();
  EXPECT_TRUE(WaitFor([&] { return app->Terminated(); }, 3000));
  EXPECT_GE(t.elapsed(), 250) << "the empty answer itself must not end the copy";
  ASSERT_EQ(dialogs.asked.size(), 1u) << "a copy that ends unanswered says why";
  EXPECT_TRUE(dialogs.asked[0].text.contains("not respond")) << dialogs.asked[0].text.toStdString();
}

TEST_F(GuardTest, RunningCopyIgnoresAForgedAnswer) {
  Inbox runningWindow;
  TInstanceGuard* running = Guard(&runningWindow);
  running->Install();
  ASSERT_FALSE(running->AnotherCopyRuns());

  QLocalSocket forger;
  forger.connectToServer(SocketPath());
  ASSERT_TRUE(forger.waitForConnected(1000));
  // An answer names the running copy's window; a running copy never asked for one.
  forger.write(twtest::Frame(twtest::FrameKind::Message, 4242, running->MessageNumber(), 1, 0x1234));
  forger.flush();
  Settle();
  EXPECT_FALSE(app->Terminated()) << "an answer out of turn would end the running copy (and ask to quit)";
  EXPECT_TRUE(runningWindow.got.isEmpty());
  EXPECT_TRUE(running->Channel()->Listening());
}

TEST_F(GuardTest, HungCopyWithAFullQueueKeepsItsSocketAndTheNewCopySaysSo) {
  Inbox hungWindow;
  TInstanceGuard* hung = Guard(&hungWindow);
  hung->Install();
  ASSERT_TRUE(hung->Channel()->Listening());
  const ino_t before = twtest::InodeOf(SocketPath());
  // The loop does not run from here on until the new copy has decided: the
  // running copy takes none of these connections, as if it hung.
  std::vector<int> queued = twtest::FillQueue(SocketPath());
  ASSERT_FALSE(queued.empty());

  QObject laterWindow;
  TInstanceGuard* later = Guard(&laterWindow);
  later->Install();
  EXPECT_EQ(twtest::InodeOf(SocketPath()), before) << "the live copy's socket was replaced";
  EXPECT_FALSE(later->Channel()->Listening());
  EXPECT_FALSE(app->ShowMainForm) << "the new copy must not start beside the hung one";
  twtest::CloseAll(queued);

  ASSERT_TRUE(WaitFor([&] { return !dialogs.asked.empty(); }));
  EXPECT_TRUE(dialogs.asked[0].text.contains("not respond")) << dialogs.asked[0].text.toStdString();
  EXPECT_TRUE(WaitFor([&] { return app->Terminated(); })) << "after saying so the new copy ends";
  EXPECT_TRUE(hung->Channel()->Listening());
}

// Where nothing can be trusted the guard steps aside, and says so once the
// program runs, instead of starting silently unguarded or hiding for good.
class UntrustedGuardTest : public GuardTest {
 protected:
  void ExpectStartsAndWarns(const char* about) {
    EXPECT_TRUE(app->ShowMainForm) << "the program still starts";
    Settle();
    ASSERT_EQ(dialogs.asked.size(), 1u) << "the user must be told the guard is off";
    EXPECT_TRUE(dialogs.asked[0].text.contains(about)) << dialogs.asked[0].text.toStdString();
    EXPECT_TRUE(dialogs.asked[0].text.contains("only one copy")) << dialogs.asked[0].text.toStdString();
    EXPECT_FALSE(app->Terminated());
  }
};

TEST_F(UntrustedGuardTest, ForeignSocketIsNeverTalkedTo) {
  if (getuid() != 0) GTEST_SKIP() << "needs root to play another user";
  struct Case {
    const char* name;
    bool fileOfAnother;  // else: our file, but another user listens on it
  } cases[] = {{"socket file of another user", true}, {"listener of another user", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    guards.clear();
    dialogs.asked.clear();
    app->ShowMainForm = true;
    QFile::remove(SocketPath());
    int fd = -1;
    std::unique_ptr<twtest::ListenerOfAnotherUser> other;
    if (c.fileOfAnother) {
      fd = twtest::Listen(SocketPath());
      ASSERT_GE(fd, 0);
      ASSERT_EQ(lchown(QFile::encodeName(SocketPath()).constData(), 65534, 65534), 0);
    } else {
      other = std::make_unique<twtest::ListenerOfAnotherUser>(SocketPath(), 65534);
      ASSERT_TRUE(other->Listening());
    }

    QObject window;
    TInstanceGuard* g = Guard(&window);
    g->Install();
    EXPECT_FALSE(g->AnotherCopyRuns());
    if (fd >= 0) {
      EXPECT_FALSE(twtest::SomeoneConnected(fd)) << "the announcement went to another user";
    }
    ExpectStartsAndWarns("another user");
    if (fd >= 0) close(fd);
  }
}

TEST_F(UntrustedGuardTest, FolderNotOursAloneIsNotUsed) {
  const QString elsewhere = dir.filePath("elsewhere");
  ASSERT_TRUE(QDir().mkpath(elsewhere));
  struct Case {
    const char* name;
    bool needsRoot;
    std::function<void(const QByteArray&)> make;
  } cases[] = {
      {"open to everyone", false,
       [](const QByteArray& p) { ASSERT_EQ(mkdir(p.constData(), 0700) | chmod(p.constData(), 0777), 0); }},
      {"a link", false,
       [&](const QByteArray& p) { ASSERT_EQ(symlink(QFile::encodeName(elsewhere).constData(), p.constData()), 0); }},
      {"another user's", true,
       [](const QByteArray& p) { ASSERT_EQ(mkdir(p.constData(), 0700) | chown(p.constData(), 65534, 65534), 0); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.needsRoot && getuid() != 0) continue;
    guards.clear();
    dialogs.asked.clear();
    const QString folder = dir.filePath(c.name);
    c.make(QFile::encodeName(folder));
    QObject window;
    auto g = std::make_unique<TInstanceGuard>(&window, folder);
    g->Install();
    EXPECT_EQ(g->State(), TGuardState::Unguarded);
    EXPECT_FALSE(QFile::exists(folder + "/" + kInstanceGuardName)) << "a socket where others can reach it";
    ExpectStartsAndWarns(folder.toUtf8().constData());
  }
}

}  // namespace
