#pragma once
// One source of time for every delay, repeat, fade and auto-scroll, so that a
// test advances time instead of sleeping. The system clock is monotonic and
// its timers are QTimers; a test installs a TwManualClock and calls Advance.
#include <QObject>
#include <QPointer>
#include <functional>
#include <vector>

class TwTimer;

class TwClock {
 public:
  virtual ~TwClock() = default;
  // Milliseconds on a monotonic scale; only differences mean anything.
  virtual qint64 NowMs() const = 0;

  // The clock every TwTimer started from now on uses (the system one unless
  // a test installed another). Install(nullptr) puts the system clock back.
  static TwClock& Current();
  static void Install(TwClock* clock);

 protected:
  friend class TwTimer;
  // A manual clock keeps its own schedule; the system clock lets QTimer run.
  virtual bool Schedules() const { return false; }
  virtual void Arm(TwTimer*, qint64 /*dueMs*/) {}
  virtual void Disarm(TwTimer*) {}
};

// A clock that moves only when told to, for tests.
class TwManualClock : public TwClock {
 public:
  TwManualClock();    // installs itself
  ~TwManualClock() override;  // puts the previous clock back
  qint64 NowMs() const override { return now_; }
  // Moves time forward by ms, firing every timer that falls due on the way in
  // order of its due time, each at its own moment.
  void Advance(qint64 ms);
  int ArmedTimers() const { return int(armed_.size()); }

 protected:
  bool Schedules() const override { return true; }
  void Arm(TwTimer* t, qint64 dueMs) override;
  void Disarm(TwTimer* t) override;

 private:
  struct Entry {
    QPointer<TwTimer> timer;
    qint64 due;
    quint64 order;  // keeps timers due at the same moment in arming order
  };
  std::vector<Entry> armed_;
  qint64 now_ = 1'000'000;  // far from zero, so "time since 0" mistakes show
  quint64 nextOrder_ = 0;
  TwClock* previous_ = nullptr;
};

// A timer on the current clock. A repeating timer never runs at 0 ms (that
// would be a busy loop): its floor is 1 ms.
class TwTimer : public QObject {
  Q_OBJECT
 public:
  explicit TwTimer(QObject* parent = nullptr);
  ~TwTimer() override;

  void Start(int intervalMs);  // (re)starts from now
  void Start() { Start(interval_); }
  void Stop();
  bool IsActive() const { return active_; }
  int Interval() const { return interval_; }
  void SetInterval(int ms);    // takes effect from the next start or shot
  bool IsSingleShot() const { return singleShot_; }
  void SetSingleShot(bool v) { singleShot_ = v; }

  std::function<void()> OnTimeout;

  // Calls fn once after ms, unless context is destroyed first.
  static void SingleShot(int ms, QObject* context, std::function<void()> fn);

 signals:
  void timeout();

 private:
  friend class TwManualClock;
  void Fire();
  int EffectiveInterval() const;

  int interval_ = 0;
  bool singleShot_ = false;
  bool active_ = false;
  TwClock* clock_ = nullptr;  // the clock this run was armed on
  class QTimer* qtimer_ = nullptr;
};
