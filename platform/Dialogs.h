#pragma once
#include <QString>
#include <QStringList>
#include <deque>
#include <vector>

class QWidget;

// Message-box flags and answers keep the platform's numbers, so texts and
// flag sets read the same as everywhere else in the program.
namespace mb {
constexpr unsigned OK = 0x0, OKCANCEL = 0x1, YESNOCANCEL = 0x3, YESNO = 0x4;
constexpr unsigned ICONERROR = 0x10, ICONQUESTION = 0x20, ICONWARNING = 0x30, ICONINFORMATION = 0x40;
constexpr unsigned DEFBUTTON1 = 0x0, DEFBUTTON2 = 0x100, DEFBUTTON3 = 0x200;
constexpr unsigned TOPMOST = 0x40000;
}  // namespace mb

enum TModalResult : int { mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4,
                          mrIgnore = 5, mrYes = 6, mrNo = 7 };

enum class TMsgDlgType { Warning, Error, Information, Confirmation, Custom };
enum class TMsgDlgBtn { Yes, No, OK, Cancel };

// The standard message dialog's request: buttons in the order shown, which
// one is the default and which one answers Escape.
struct TMsgDlgRequest {
  QString text;
  QString caption;
  TMsgDlgType type = TMsgDlgType::Custom;
  std::vector<TMsgDlgBtn> buttons;
  TMsgDlgBtn defaultButton = TMsgDlgBtn::OK;
  TMsgDlgBtn escapeButton = TMsgDlgBtn::Cancel;
};

// Every question the program asks goes through this, so tests can answer.
class TDialogs {
 public:
  virtual ~TDialogs() = default;
  // Returns mrOk, mrCancel, mrYes, mrNo ... (the platform's IDOK etc.).
  virtual int MessageBox(QWidget* owner, const QString& text, const QString& caption,
                         unsigned flags) = 0;
  virtual int MessageDlg(const TMsgDlgRequest& request) = 0;
  virtual void ShowError(QWidget* owner, const QString& text) = 0;

  static TDialogs& Current();
  // Installs a replacement (not owned); nullptr restores the real dialogs.
  static void Install(TDialogs* dialogs);
};

// Real modal QMessageBox dialogs.
class TQtDialogs : public TDialogs {
 public:
  int MessageBox(QWidget* owner, const QString& text, const QString& caption,
                 unsigned flags) override;
  int MessageDlg(const TMsgDlgRequest& request) override;
  void ShowError(QWidget* owner, const QString& text) override;
};

// For tests: answers from a queue (mrCancel once it runs dry) and records
// every question and error.
class TScriptedDialogs : public TDialogs {
 public:
  struct Asked {
    QString text, caption;
    unsigned flags = 0;       // MessageBox only
    bool standardDialog = false;
    TMsgDlgRequest request;   // MessageDlg only
  };
  std::deque<int> answers;
  std::vector<Asked> asked;
  QStringList errors;

  int MessageBox(QWidget* owner, const QString& text, const QString& caption,
                 unsigned flags) override;
  int MessageDlg(const TMsgDlgRequest& request) override;
  void ShowError(QWidget* owner, const QString& text) override;

 private:
  int Next();
};

// Scoped installation for tests.
class TDialogsScope {
 public:
  explicit TDialogsScope(TDialogs* d) { TDialogs::Install(d); }
  ~TDialogsScope() { TDialogs::Install(nullptr); }
  TDialogsScope(const TDialogsScope&) = delete;
  TDialogsScope& operator=(const TDialogsScope&) = delete;
};
