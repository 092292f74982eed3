// Message boxes behind one interface, so tests can script the answers.
#include "Dialogs.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace {
TDialogs* installed = nullptr;

QMessageBox::StandardButton ToStd(TMsgDlgBtn b) {
  switch (b) {
    case TMsgDlgBtn::Yes: return QMessageBox::Yes;
    case TMsgDlgBtn::No: return QMessageBox::No;
    case TMsgDlgBtn::OK: return QMessageBox::Ok;
    case TMsgDlgBtn::Cancel: return QMessageBox::Cancel;
  }
  return QMessageBox::NoButton;
}

int ToResult(int std) {
  switch (std) {
    case QMessageBox::Ok: return mrOk;
    case QMessageBox::Cancel: return mrCancel;
    case QMessageBox::Yes: return mrYes;
    case QMessageBox::No: return mrNo;
  }
  return mrCancel;
}
}  // namespace

TDialogs& TDialogs::Current() {
  static TQtDialogs real;
  return installed ? *installed : real;
}

void TDialogs::Install(TDialogs* dialogs) { installed = dialogs; }

int TQtDialogs::MessageBox(QWidget* owner, const QString& text, const QString& caption,
                           unsigned flags) {
  QMessageBox box(owner);
  box.setText(text);
  box.setWindowTitle(caption);
  switch (flags & 0xF0) {
    case mb::ICONERROR: box.setIcon(QMessageBox::Critical); break;
    case mb::ICONQUESTION: box.setIcon(QMessageBox::Question); break;
    case mb::ICONWARNING: box.setIcon(QMessageBox::Warning); break;
    case mb::ICONINFORMATION: box.setIcon(QMessageBox::Information); break;
    default: break;
  }
  std::vector<QMessageBox::StandardButton> order;
  switch (flags & 0xF) {
    case mb::OKCANCEL: order = {QMessageBox::Ok, QMessageBox::Cancel}; break;
    case mb::YESNOCANCEL: order = {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel}; break;
    case mb::YESNO: order = {QMessageBox::Yes, QMessageBox::No}; break;
    default: order = {QMessageBox::Ok}; break;
  }
  for (auto b : order) box.addButton(b);
  const size_t def = (flags >> 8) & 0xF;
  if (def < order.size()) box.setDefaultButton(order[def]);
  if (flags & mb::TOPMOST) box.setWindowFlag(Qt::WindowStaysOnTopHint);
  return ToResult(box.exec());
}

int TQtDialogs::MessageDlg(const TMsgDlgRequest& r) {
  QMessageBox box;
  box.setText(r.text);
  box.setWindowTitle(r.caption);
  switch (r.type) {
    case TMsgDlgType::Warning: box.setIcon(QMessageBox::Warning); break;
    case TMsgDlgType::Error: box.setIcon(QMessageBox::Critical); break;
    case TMsgDlgType::Information: box.setIcon(QMessageBox::Information); break;
    case TMsgDlgType::Confirmation: box.setIcon(QMessageBox::Question); break;
    case TMsgDlgType::Custom: break;
  }
  for (auto b : r.buttons) box.addButton(ToStd(b));
  box.setDefaultButton(ToStd(r.defaultButton));
  box.setEscapeButton(box.button(ToStd(r.escapeButton)));
  return ToResult(box.exec());
}

void TQtDialogs::ShowError(QWidget* owner, const QString& text) {
  QMessageBox box(owner);
  box.setIcon(QMessageBox::Critical);
  box.setWindowTitle(QApplication::applicationName());
  box.setText(text);
  box.exec();
}

int TScriptedDialogs::Next() {
  if (answers.empty()) return mrCancel;
  const int a = answers.front();
  answers.pop_front();
  return a;
}

int TScriptedDialogs::MessageBox(QWidget*, const QString& text, const QString& caption,
                                 unsigned flags) {
  asked.push_back(Asked{text, caption, flags, false, {}});
  return Next();
}

int TScriptedDialogs::MessageDlg(const TMsgDlgRequest& request) {
  asked.push_back(Asked{request.text, request.caption, 0, true, request});
  return Next();
}

void TScriptedDialogs::ShowError(QWidget*, const QString& text) { errors << text; }
