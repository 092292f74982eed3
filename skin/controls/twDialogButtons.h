#pragma once
// The default and cancel buttons of one window, kept by the window as a
// dialog keeps its default button: buttons register while Default or Cancel
// is set; Enter with the focus away from any button presses the default
// button, Escape the cancel button, and every focus change in the window
// tells the registered buttons whether Enter targets them.
#include <QList>
#include <QObject>
#include <QPointer>

class QWidget;
class TtwSkinButton;

class TtwDialogButtons : public QObject {
  Q_OBJECT
 public:
  // The list of `window`, made on first use; it lives as long as the window.
  static TtwDialogButtons* Of(QWidget* window);

  void Register(TtwSkinButton* b);
  void Unregister(TtwSkinButton* b);
  // Tells every registered button the current focus again (Default changed).
  void Refresh();
  int Count() const { return int(buttons_.size()); }

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  explicit TtwDialogButtons(QWidget* window);
  void FocusChanged(QWidget* now);

  QWidget* window_;
  QList<QPointer<TtwSkinButton>> buttons_;
};
