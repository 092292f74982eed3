// The single-instance guard: a later start hands over to the running copy and
// ends unseen. When the running copy cannot be reached or the channel cannot
// be trusted, the user is told; the guard never fails silently or invisibly.
#include "app/MultYunXing.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <cstdio>

#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/Form.h"
#include "platform/Message.h"
#include "platform/instance/InstanceChannel.h"

namespace {
constexpr intptr_t kAnswer = 1;
constexpr intptr_t kAnnounce = 2;
// A copy holding the lock without taking connections is normally just
// between locking and listening, or ending; one that stays so this long hangs.
constexpr int kReachWaitMs = 2000;
constexpr int kRetryDelayMs = 50;

TInstanceGuard* programGuard = nullptr;

intptr_t OwnId() { return static_cast<intptr_t>(QCoreApplication::applicationPid()); }
}  // namespace

TInstanceGuard::TInstanceGuard(QObject* applicationWindow, const QString& directory)
    : window_(applicationWindow), directory_(directory) {}

TInstanceGuard::~TInstanceGuard() { Finalize(); }

void TInstanceGuard::Install() {
  if (channel_ || !window_) return;
  const QString name = QString::fromLatin1(kInstanceGuardName);
  message_ = RegisterWindowMessage(name);
  window_->installEventFilter(this);
  hooked_ = true;

  channel_ = new TInstanceChannel(name, window_, OwnId(), this);
  if (!directory_.isEmpty()) channel_->SetDirectory(directory_);
  QElapsedTimer waited;
  waited.start();
  for (;;) {
    // Reach a running copy first; only when none answers become it.
    const TChannelStatus reached = channel_->Open();
    if (reached == TChannelStatus::Ok) return SetState(TGuardState::Waiting);
    if (reached == TChannelStatus::Untrusted) return SetState(TGuardState::Unguarded, channel_->Problem());
    const TChannelStatus created = channel_->Create();
    if (created == TChannelStatus::Ok) return SetState(TGuardState::Running);
    if (created == TChannelStatus::Untrusted) return SetState(TGuardState::Unguarded, channel_->Problem());
    if (waited.elapsed() >= kReachWaitMs) {
      const qint64 pid = channel_->HolderPid();
      return SetState(TGuardState::Refused, pid > 0 ? QStringLiteral(" (process %1)").arg(pid) : QString());
    }
    QThread::msleep(kRetryDelayMs);
  }
}

void TInstanceGuard::SetState(TGuardState state, const QString& reason) {
  state_ = state;
  TApplication* app = Application();
  switch (state) {
    case TGuardState::Idle:
    case TGuardState::Running:
      break;
    case TGuardState::Waiting:
      if (app) app->ShowMainForm = false;
      channel_->Broadcast(message_, kAnnounce, OwnId());
      if (AnswerTimeoutMs > 0) {
        QTimer::singleShot(AnswerTimeoutMs, this, [this] {
          if (state_ == TGuardState::Waiting) SetState(TGuardState::Refused);
        });
      }
      break;
    case TGuardState::Ending:
      if (app) app->Terminate();
      break;
    case TGuardState::Refused:
      if (app) app->ShowMainForm = false;
      Tell(QStringLiteral("Tarnwick is already running%1 but does not respond.\n\n"
                          "Wait until it responds, or end it, then start Tarnwick again.")
               .arg(reason),
           true);
      break;
    case TGuardState::Unguarded:
      Tell(QStringLiteral("Tarnwick cannot make sure that only one copy of it runs: %1.\n\n"
                          "It starts anyway. If Tarnwick is already open, keep working in one of its windows only.")
               .arg(reason),
           false);
      break;
  }
}

void TInstanceGuard::Tell(const QString& text, bool thenEnd) {
  std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
  // Shown once the message loop runs, over the main window when there is one.
  QTimer::singleShot(0, this, [text, thenEnd] {
    TApplication* app = Application();
    QWidget* owner = app && app->MainForm() && app->MainForm()->isVisible() ? app->MainForm() : nullptr;
    TDialogs::Current().MessageBox(owner, text, QStringLiteral("Tarnwick"), mb::OK | mb::ICONWARNING);
    if (thenEnd && app) app->Terminate();
  });
}

void TInstanceGuard::Finalize() {
  if (hooked_ && window_) window_->removeEventFilter(this);
  hooked_ = false;
  if (channel_) {
    channel_->Close();
    delete channel_;
    channel_ = nullptr;
  }
  state_ = TGuardState::Idle;
}

bool TInstanceGuard::eventFilter(QObject* watched, QEvent* event) {
  TMessage* m = MessageOf(event);
  if (watched != window_ || !m || m->Msg != message_ || message_ == 0 || !channel_)
    return QObject::eventFilter(watched, event);
  // The instance message is answered here and never handed on; a kind that
  // does not fit this copy's state is dropped, so a forged answer cannot end
  // the running copy.
  m->Result = 0;
  if (m->WParam == kAnnounce && state_ == TGuardState::Running) {
    // The running copy's answer names the window to bring forward.
    intptr_t mainWindow = 0;
    if (auto* app = Application())
      if (TForm* f = app->MainForm()) mainWindow = static_cast<intptr_t>(f->winId());
    channel_->Post(m->LParam, message_, kAnswer, mainWindow);
  } else if (m->WParam == kAnswer && m->LParam != 0 && state_ == TGuardState::Waiting) {
    channel_->ActivateWindow(m->LParam);
    SetState(TGuardState::Ending);
  }
  return true;
}

void InstallInstanceGuard() {
  if (programGuard || !Application()) return;
  programGuard = new TInstanceGuard(Application());
  programGuard->Install();
}

void FinalizeInstanceGuard() {
  delete programGuard;
  programGuard = nullptr;
}
