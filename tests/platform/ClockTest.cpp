// The injected clock: timers fire at their moments, in order, and stop cleanly.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <memory>

#include "platform/Clock.h"

namespace {

TEST(ClockTest, RepeatingTimerFiresAtEachIntervalAndStopsFromItsHandler) {
  TwManualClock clock;
  TwTimer t;
  std::vector<qint64> at;
  const qint64 start = clock.NowMs();
  t.OnTimeout = [&] {
    at.push_back(clock.NowMs() - start);
    if (at.size() == 3) t.Stop();
  };
  t.Start(50);
  clock.Advance(49);
  EXPECT_TRUE(at.empty());
  clock.Advance(1000);
  EXPECT_EQ(at, (std::vector<qint64>{50, 100, 150}));
  EXPECT_FALSE(t.IsActive());
  EXPECT_EQ(clock.ArmedTimers(), 0);
}

TEST(ClockTest, TimersFireInDueOrderAndRestartsMoveTheDueTime) {
  TwManualClock clock;
  TwTimer a, b;
  a.SetSingleShot(true);
  b.SetSingleShot(true);
  std::string log;
  a.OnTimeout = [&] { log += 'a'; };
  b.OnTimeout = [&] {
    log += 'b';
    a.Start(10);  // armed from inside another timer's handler
  };
  a.Start(30);
  b.Start(20);
  clock.Advance(25);
  EXPECT_EQ(log, "b");
  clock.Advance(4);
  EXPECT_EQ(log, "b");  // a was restarted at 20, so it is due at 30
  clock.Advance(1);
  EXPECT_EQ(log, "ba");
  EXPECT_FALSE(a.IsActive());
}

TEST(ClockTest, ZeroIntervalRepeatIsNotABusyLoopAndDestroyedTimersDisarm) {
  TwManualClock clock;
  int fired = 0;
  TwTimer t;
  t.OnTimeout = [&] { ++fired; };
  t.Start(0);
  clock.Advance(10);
  EXPECT_EQ(fired, 10);  // a 1 ms floor
  auto gone = std::make_unique<TwTimer>();
  gone->OnTimeout = [&] { ADD_FAILURE() << "a destroyed timer fired"; };
  gone->Start(5);
  gone.reset();
  t.Stop();
  clock.Advance(100);
  EXPECT_EQ(clock.ArmedTimers(), 0);
}

TEST(ClockTest, ATimerMayDeleteItselfInItsTimeout) {
  TwManualClock clock;
  auto* t = new TwTimer;
  bool fired = false;
  t->OnTimeout = [&] {
    fired = true;
    delete t;
  };
  t->Start(5);
  clock.Advance(20);
  EXPECT_TRUE(fired);
  EXPECT_EQ(clock.ArmedTimers(), 0);
}

TEST(ClockTest, SystemClockTimerRunsOnTheEventLoop) {
  int argc = 1;
  char arg0[] = "clock_test";
  char* argv[] = {arg0, nullptr};
  QCoreApplication app(argc, argv);
  bool fired = false;
  TwTimer::SingleShot(1, &app, [&] {
    fired = true;
    QCoreApplication::quit();
  });
  TwTimer guard;
  guard.SetSingleShot(true);
  guard.OnTimeout = [] { QCoreApplication::quit(); };
  guard.Start(5000);
  app.exec();
  EXPECT_TRUE(fired);
}

}  // namespace
