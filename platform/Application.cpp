// The application object: title, the ordered forms list skin broadcasts walk,
// and Terminate as a quit after the current event.
#include "Application.h"

#include <QApplication>
#include <QTimer>

#include "Dialogs.h"
#include "Errors.h"
#include "Form.h"

namespace {
TApplication* instance = nullptr;
}

TApplication::TApplication() {
  instance = this;
  // The main form decides when the program ends (its close query may refuse).
  QApplication::setQuitOnLastWindowClosed(false);
}

TApplication::~TApplication() {
  for (int i = components_.size() - 1; i >= 0; --i) delete components_[i];
  components_.clear();
  if (instance == this) instance = nullptr;
}

TApplication* TApplication::Instance() { return instance; }

void TApplication::SetTitle(const QString& title) {
  title_ = title;
  // Not the display name: Qt would append it to every window's title.
  QApplication::setApplicationName(title);
}

void TApplication::Created(QObject* o) {
  components_.append(o);
  if (auto* f = qobject_cast<TForm*>(o)) {
    if (!mainForm_) mainForm_ = f;
    Guard([f] { f->FormCreate(); });
  }
}

void TApplication::AddForm(TForm* f) {
  if (!forms_.contains(f)) forms_.append(f);
}

void TApplication::RemoveForm(TForm* f) {
  forms_.removeAll(f);
  components_.removeAll(f);
  if (mainForm_ == f) mainForm_ = nullptr;
}

void TApplication::Terminate() {
  terminated_ = true;
  QTimer::singleShot(0, qApp, [] { QCoreApplication::quit(); });
}

int TApplication::Run() {
  if (terminated_) return 0;
  if (ShowMainForm && mainForm_) mainForm_->Show();
  return QApplication::exec();
}

void TApplication::ShowException(const QString& text) {
  if (errorDisplay_) {
    errorDisplay_(text);
  } else {
    TDialogs::Current().ShowError(mainForm_, text);
  }
}

void TApplication::SetErrorDisplay(std::function<void(const QString&)> display) {
  errorDisplay_ = std::move(display);
}

QString DescribeCurrentException() {
  try {
    throw;
  } catch (const EError& e) {
    return e.Message();
  } catch (const std::exception& e) {
    return QString::fromUtf8(e.what());
  } catch (...) {
    return QStringLiteral("An unexpected error occurred.");
  }
}
