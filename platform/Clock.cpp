// The injected clock and its timers. Guarantees: a timer fires on the clock it
// was started on; stopping or destroying a timer (even from inside its own
// timeout) disarms it; a manual clock fires timers in due-time order.
#include "platform/Clock.h"

#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>

namespace {

class SystemClock : public TwClock {
 public:
  SystemClock() { timer_.start(); }
  qint64 NowMs() const override { return timer_.elapsed(); }

 private:
  QElapsedTimer timer_;  // monotonic: a wall-clock change never fires a repeat
};

SystemClock& System() {
  static SystemClock clock;
  return clock;
}

TwClock* installed = nullptr;

}  // namespace

TwClock& TwClock::Current() { return installed ? *installed : System(); }

void TwClock::Install(TwClock* clock) { installed = clock; }

// ------------------------------------------------------------ manual clock

TwManualClock::TwManualClock() : previous_(installed) { Install(this); }

TwManualClock::~TwManualClock() {
  for (Entry& e : armed_)
    if (e.timer) e.timer->clock_ = nullptr, e.timer->active_ = false;
  if (installed == this) Install(previous_);
}

void TwManualClock::Arm(TwTimer* t, qint64 dueMs) {
  Disarm(t);
  armed_.push_back({t, dueMs, nextOrder_++});
}

void TwManualClock::Disarm(TwTimer* t) {
  std::erase_if(armed_, [t](const Entry& e) { return e.timer == t || !e.timer; });
}

void TwManualClock::Advance(qint64 ms) {
  const qint64 target = now_ + std::max<qint64>(ms, 0);
  for (;;) {
    std::erase_if(armed_, [](const Entry& e) { return !e.timer; });
    auto next = std::min_element(armed_.begin(), armed_.end(), [](const Entry& a, const Entry& b) {
      return a.due != b.due ? a.due < b.due : a.order < b.order;
    });
    if (next == armed_.end() || next->due > target) break;
    now_ = std::max(now_, next->due);
    QPointer<TwTimer> t = next->timer;
    armed_.erase(next);
    // A repeating timer is re-armed before it fires, so its handler may stop it.
    if (!t->singleShot_)
      Arm(t, now_ + t->EffectiveInterval());
    else
      t->active_ = false;
    t->Fire();
  }
  now_ = target;
}

// ------------------------------------------------------------------ timer

TwTimer::TwTimer(QObject* parent) : QObject(parent) {}

TwTimer::~TwTimer() { Stop(); }

int TwTimer::EffectiveInterval() const { return singleShot_ ? std::max(interval_, 0) : std::max(interval_, 1); }

void TwTimer::SetInterval(int ms) { interval_ = ms; }

void TwTimer::Start(int intervalMs) {
  Stop();
  interval_ = intervalMs;
  clock_ = &TwClock::Current();
  active_ = true;
  if (clock_->Schedules()) {
    clock_->Arm(this, clock_->NowMs() + EffectiveInterval());
    return;
  }
  if (!qtimer_) {
    qtimer_ = new QTimer(this);
    qtimer_->setTimerType(Qt::PreciseTimer);
    connect(qtimer_, &QTimer::timeout, this, [this] {
      if (singleShot_) active_ = false;
      Fire();
    });
  }
  qtimer_->setSingleShot(singleShot_);
  qtimer_->start(EffectiveInterval());
}

void TwTimer::Stop() {
  if (!active_) return;
  active_ = false;
  if (qtimer_) qtimer_->stop();
  if (clock_ && clock_->Schedules()) clock_->Disarm(this);
  clock_ = nullptr;
}

void TwTimer::Fire() {
  QPointer<TwTimer> self(this);
  if (OnTimeout) OnTimeout();
  if (self) emit timeout();
}

void TwTimer::SingleShot(int ms, QObject* context, std::function<void()> fn) {
  auto* t = new TwTimer(context);
  t->SetSingleShot(true);
  t->OnTimeout = [t, fn = std::move(fn)] {
    t->deleteLater();
    fn();
  };
  t->Start(ms);
}
