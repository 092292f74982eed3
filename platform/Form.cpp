#include "Form.h"

#include <QCloseEvent>
#include <QEventLoop>

#include "Application.h"

TForm::TForm(QWidget* parent) : QWidget(parent, Qt::Window) {
  if (auto* app = TApplication::Instance()) app->AddForm(this);
}

TForm::~TForm() {
  if (auto* app = TApplication::Instance()) app->RemoveForm(this);
}

void TForm::Show() {
  show();
  raise();
  activateWindow();
}

void TForm::Hide() { hide(); }

int TForm::ShowModal() {
  modalResult_ = mrNone;
  setWindowModality(Qt::ApplicationModal);
  Show();
  QEventLoop loop;
  modalLoop_ = &loop;
  if (isVisible() && modalResult_ == mrNone) loop.exec();
  modalLoop_ = nullptr;
  setWindowModality(Qt::NonModal);
  if (modalResult_ == mrNone) modalResult_ = mrCancel;
  return modalResult_;
}

void TForm::SetModalResult(int r) {
  modalResult_ = r;
  if (r != mrNone && modalLoop_) close();
}

bool TForm::event(QEvent* e) {
  if (TMessage* m = MessageOf(e)) {
    Guarded([&] { WndProc(*m); });
    return true;
  }
  return QWidget::event(e);
}

void TForm::showEvent(QShowEvent* e) {
  QWidget::showEvent(e);
  if (!e->spontaneous()) Guarded([this] { FormShow(); });
}

void TForm::closeEvent(QCloseEvent* e) {
  bool canClose = true;
  Guarded([&] { FormCloseQuery(canClose); });
  if (!canClose) {
    e->ignore();
    return;
  }
  TCloseAction action = TCloseAction::caHide;
  Guarded([&] { FormClose(action); });
  if (action == TCloseAction::caNone) {
    e->ignore();
    return;
  }
  e->accept();
  if (modalLoop_) modalLoop_->quit();
  auto* app = TApplication::Instance();
  if (app && app->MainForm() == this) app->Terminate();
}
