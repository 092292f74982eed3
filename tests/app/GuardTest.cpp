#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>
#include <functional>
#include <memory>

#include "app/MultYunXing.h"
#include "platform/Application.h"
#include "platform/Form.h"
#include "platform/Message.h"
#include "platform/instance/InstanceChannel.h"

#include "tests/support/EventWait.h"

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

// A stand-in application window that keeps every message reaching it.
class Inbox : public QObject {
 public:
  QList<TMessage> got;
  bool event(QEvent* e) override {
    if (TMessage* m = MessageOf(e)) {
      got.append(*m);
      return true;
    }
    return QObject::event(e);
  }
};

class GuardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    App();
    ASSERT_TRUE(dir.isValid());
    app = std::make_unique<TApplication>();
  }
  void TearDown() override {
    guards.clear();
    app.reset();
  }
  TInstanceGuard* Guard(QObject* window, int timeoutMs = 0) {
    guards.push_back(std::make_unique<TInstanceGuard>(window, dir.path()));
    guards.back()->AnswerTimeoutMs = timeoutMs;
    return guards.back().get();
  }
  QTemporaryDir dir;
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

TEST_F(GuardTest, LaterCopyAnsweredWithoutWindowEndsOnlyAfterItsTimeout) {
  Inbox runningWindow;
  TInstanceChannel silent(QString::fromLatin1(kInstanceGuardName), &runningWindow, 1);
  silent.SetDirectory(dir.path());
  ASSERT_TRUE(silent.Create());

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
}

}  // namespace
