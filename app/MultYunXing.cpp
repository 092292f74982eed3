#include "app/MultYunXing.h"

#include <QCoreApplication>
#include <QTimer>
#include <QWidget>

#include "platform/Application.h"
#include "platform/Form.h"
#include "platform/Message.h"
#include "platform/instance/InstanceChannel.h"

namespace {
constexpr intptr_t kAnswer = 1;
constexpr intptr_t kAnnounce = 2;

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
  if (!channel_->Open()) {
    // Nobody answered: this is the first copy. A listen refused because a
    // copy started in the same instant got there first makes this one the
    // later copy after all; any other failure goes unreported and the copy
    // simply runs without the guard's protection.
    if (channel_->Create() || !channel_->Open()) return;
  }
  anotherCopy_ = true;
  if (auto* app = Application()) app->ShowMainForm = false;
  channel_->Broadcast(message_, kAnnounce, OwnId());
  if (AnswerTimeoutMs > 0) {
    QTimer::singleShot(AnswerTimeoutMs, this, [] {
      if (auto* app = Application()) app->Terminate();
    });
  }
}

void TInstanceGuard::Finalize() {
  if (hooked_ && window_) window_->removeEventFilter(this);
  hooked_ = false;
  if (channel_) {
    channel_->Close();
    delete channel_;
    channel_ = nullptr;
  }
}

bool TInstanceGuard::eventFilter(QObject* watched, QEvent* event) {
  TMessage* m = MessageOf(event);
  if (watched != window_ || !m || m->Msg != message_ || message_ == 0 || !channel_)
    return QObject::eventFilter(watched, event);
  // The instance message is answered here and never handed on.
  m->Result = 0;
  if (m->WParam == kAnnounce) {
    // The running copy's answer names the window to bring forward.
    intptr_t mainWindow = 0;
    if (auto* app = Application())
      if (TForm* f = app->MainForm()) mainWindow = static_cast<intptr_t>(f->winId());
    channel_->Post(m->LParam, message_, kAnswer, mainWindow);
  } else if (m->WParam == kAnswer && m->LParam != 0) {
    channel_->ActivateWindow(m->LParam);
    if (auto* app = Application()) app->Terminate();
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
