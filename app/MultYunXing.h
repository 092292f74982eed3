#pragma once
#include <QObject>
#include <QPointer>
#include <QString>
#include <cstdint>

class TInstanceChannel;

// The name shared by every copy: the lock and its message both carry it.
inline constexpr char kInstanceGuardName[] = "{19BEDD01-55E7-4F9B-9A93-0DE473CCFBA5}";

// Where a copy stands with the others. Install leads from Idle to one of
// Running, Waiting, Refused or Unguarded; Waiting ends in Ending (the answer
// came) or Refused (it did not); Finalize returns to Idle.
//   Running    the first copy: answers announcements, ignores answers
//   Waiting    a later copy that has announced itself: takes one answer
//   Ending     a later copy that was answered and is ending
//   Refused    a copy runs but cannot be reached: say so, then end
//   Unguarded  nothing here can be trusted: say so, then run anyway
enum class TGuardState { Idle, Running, Waiting, Ending, Refused, Unguarded };

// Only one copy of the program runs per user session. A later start tells
// the running copy, which answers with its main window; the later copy asks
// for that window to come forward and ends without showing one of its own.
// The guard watches the messages of the application object, the way a
// window procedure would.
class TInstanceGuard : public QObject {
  Q_OBJECT
 public:
  // `applicationWindow` receives the instance messages (the application
  // object in the program); `directory` overrides where the channel lives.
  explicit TInstanceGuard(QObject* applicationWindow, const QString& directory = {});
  ~TInstanceGuard() override;

  // At program start: take over the messages, then find or become the running copy.
  void Install();
  // At program end: give the messages back and leave the channel.
  void Finalize();

  uint32_t MessageNumber() const { return message_; }
  TGuardState State() const { return state_; }
  bool AnotherCopyRuns() const {
    return state_ == TGuardState::Waiting || state_ == TGuardState::Ending || state_ == TGuardState::Refused;
  }
  TInstanceChannel* Channel() const { return channel_; }

  // A later copy that hears no usable answer says so and ends after this
  // long instead of lingering with no window (ms; 0 waits for ever).
  int AnswerTimeoutMs = 10000;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void SetState(TGuardState state, const QString& reason = {});
  void Tell(const QString& text, bool thenEnd);

  QPointer<QObject> window_;
  QString directory_;
  uint32_t message_ = 0;
  bool hooked_ = false;
  TGuardState state_ = TGuardState::Idle;
  TInstanceChannel* channel_ = nullptr;
};

// The program's own guard, on the application object.
void InstallInstanceGuard();
void FinalizeInstanceGuard();
