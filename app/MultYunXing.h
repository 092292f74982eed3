#pragma once
#include <QObject>
#include <QPointer>
#include <QString>
#include <cstdint>

class TInstanceChannel;

// The name shared by every copy: the lock and its message both carry it.
inline constexpr char kInstanceGuardName[] = "{19BEDD01-55E7-4F9B-9A93-0DE473CCFBA5}";

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
  bool AnotherCopyRuns() const { return anotherCopy_; }
  TInstanceChannel* Channel() const { return channel_; }

  // A later copy that hears no usable answer ends after this long instead of
  // lingering with no window (ms; 0 waits for ever).
  int AnswerTimeoutMs = 10000;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QPointer<QObject> window_;
  QString directory_;
  uint32_t message_ = 0;
  bool hooked_ = false;
  bool anotherCopy_ = false;
  TInstanceChannel* channel_ = nullptr;
};

// The program's own guard, on the application object.
void InstallInstanceGuard();
void FinalizeInstanceGuard();
