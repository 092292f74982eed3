#pragma once
#include <QWidget>

#include "Dialogs.h"
#include "Message.h"

enum class TCloseAction { caNone, caHide, caFree, caMinimize };
// How a window's border behaves: sizeable or not, a tool window's smaller
// caption, or no border at all.
enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };

// Base of the program's windows. A form's controls are created in its
// constructor; the hooks below run through the application's error display.
class TForm : public QWidget {
  Q_OBJECT
 public:
  explicit TForm(QWidget* parent = nullptr);
  ~TForm() override;

  // Hooks, named as the windows' handlers are.
  virtual void FormCreate() {}
  virtual void FormShow() {}
  virtual void FormClose(TCloseAction& /*action*/) {}
  virtual void FormCloseQuery(bool& /*canClose*/) {}

  // Window messages sent or posted to the form arrive here.
  virtual void WndProc(TMessage& /*message*/) {}

  void Show();
  void Hide();
  bool Visible() const { return isVisible(); }
  // Runs a local loop until the form closes or ModalResult is set.
  int ShowModal();
  int ModalResult() const { return modalResult_; }
  void SetModalResult(int r);

  QString Caption() const { return windowTitle(); }
  void SetCaption(const QString& c) { setWindowTitle(c); }

  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle s) { borderStyle_ = s; }

  // The client area is the contents rectangle: a frame around it (the
  // contents margins) never moves the controls, which keep client
  // coordinates.
  QRect ClientRect() const { return QRect(QPoint(0, 0), contentsRect().size()); }
  int ClientWidth() const { return contentsRect().width(); }
  int ClientHeight() const { return contentsRect().height(); }
  void SetClientWidth(int w);
  void SetClientHeight(int h);

 protected:
  bool event(QEvent* e) override;
  void showEvent(QShowEvent* e) override;
  void closeEvent(QCloseEvent* e) override;

 private:
  void ShiftChildrenToClientOrigin();

  int modalResult_ = mrNone;
  TFormBorderStyle borderStyle_ = TFormBorderStyle::bsSizeable;
  QPoint clientOrigin_;
  class QEventLoop* modalLoop_ = nullptr;
};
