// A small program with the real guard and a plain main window. Its refresh
// leaves a file "shown" in the working folder, as the notes window would
// open its database there.
#include <QApplication>
#include <QFile>

#include "app/MultYunXing.h"
#include "platform/Application.h"
#include "platform/Errors.h"
#include "platform/Form.h"

namespace {
class TProbeForm : public TForm {
 public:
  TProbeForm() {
    SetCaption(QStringLiteral("probe"));
    resize(320, 200);
  }
  void FormShow() override {
    QFile f(QStringLiteral("shown"));
    if (!f.open(QIODevice::WriteOnly)) throw EError(QStringLiteral("cannot write the marker"));
  }
};
TProbeForm* ProbeForm = nullptr;
}  // namespace

int main(int argc, char* argv[]) {
  QApplication qtApp(argc, argv);
  TApplication application;
  InstallInstanceGuard();
  Application()->SetTitle(QStringLiteral("probe"));
  Application()->CreateForm(ProbeForm);
  const int rc = Application()->Run();
  FinalizeInstanceGuard();
  return rc;
}
