// The form base: show, close and modal hooks, and a client rectangle that
// frame margins never move.
#include "Form.h"

#include <QCloseEvent>
#include <QEventLoop>

#include "Align.h"
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

void TForm::SetClientWidth(int w) {
  const QMargins m = contentsMargins();
  resize(w + m.left() + m.right(), height());
}

void TForm::SetClientHeight(int h) {
  const QMargins m = contentsMargins();
  resize(width(), h + m.top() + m.bottom());
}

// Children not placed by alignment hold client coordinates; when the frame
// around the client area changes they move with its origin.
void TForm::ShiftChildrenToClientOrigin() {
  const QPoint origin = contentsRect().topLeft();
  const QPoint delta = origin - clientOrigin_;
  clientOrigin_ = origin;
  if (delta.isNull()) return;
  for (QObject* o : children()) {
    auto* c = qobject_cast<QWidget*>(o);
    if (c && !c->isWindow() && WidgetAlign(c) == TAlign::alNone) c->move(c->pos() + delta);
  }
  AlignChildren(this);
}

bool TForm::event(QEvent* e) {
  if (TMessage* m = MessageOf(e)) {
    Guarded([&] { WndProc(*m); });
    return true;
  }
  if (e->type() == QEvent::ContentsRectChange) ShiftChildrenToClientOrigin();
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
