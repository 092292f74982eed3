#pragma once
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <type_traits>

class TForm;

// The application object: title, the main-window show switch, creation of
// the program's windows into their globals, the ordered forms list that skin
// broadcasts walk, termination and the error display every handler uses.
// A QApplication must exist first.
class TApplication : public QObject {
  Q_OBJECT
 public:
  TApplication();
  ~TApplication() override;

  static TApplication* Instance();

  QString Title() const { return title_; }
  void SetTitle(const QString& title);

  bool ShowMainForm = true;

  // Creates an object of T into `global`. The first form created becomes the
  // main form. Forms get their FormCreate hook once constructed.
  template <class T>
  void CreateForm(T*& global) {
    global = new T();
    Created(global);
  }

  TForm* MainForm() const { return mainForm_; }
  // Forms in creation order (forms created outside CreateForm join too).
  const QList<TForm*>& Forms() const { return forms_; }

  // Ends the message loop once the current event has been handled.
  void Terminate();
  bool Terminated() const { return terminated_; }

  // Shows the main form (when ShowMainForm is on) and runs the loop.
  int Run();

  // The error display: shows the text of an error that escaped a handler.
  void ShowException(const QString& text);
  // Tests replace the display; an empty function restores the default.
  void SetErrorDisplay(std::function<void(const QString&)> display);

  // Runs f, showing any error it raises instead of letting it escape.
  // Returns false when f failed.
  template <class F>
  bool Guard(F&& f) noexcept;

  // Every object created with CreateForm, owned here and freed in reverse order.
  const QList<QObject*>& Components() const { return components_; }

 private:
  friend class TForm;
  void Created(QObject* o);
  void AddForm(TForm* f);
  void RemoveForm(TForm* f);

  QString title_;
  TForm* mainForm_ = nullptr;
  QList<TForm*> forms_;
  QList<QObject*> components_;
  bool terminated_ = false;
  std::function<void(const QString&)> errorDisplay_;
};

// The application object of this process (created by the program's main or
// by a test fixture).
inline TApplication* Application() { return TApplication::Instance(); }

QString DescribeCurrentException();

template <class F>
bool TApplication::Guard(F&& f) noexcept {
  try {
    f();
    return true;
  } catch (...) {
    ShowException(DescribeCurrentException());
    return false;
  }
}

// Runs f under the application's error display when there is an application
// object, else lets nothing escape either.
template <class F>
bool Guarded(F&& f) noexcept {
  if (auto* app = TApplication::Instance()) return app->Guard(std::forward<F>(f));
  try {
    f();
    return true;
  } catch (...) {
    return false;
  }
}
