// The program's start: the instance guard, then the four windows in the
// order the others rely on, then the message loop.
#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QPixmapCache>
#include <cstdio>

#include "app/Globals.h"
#include "app/MultYunXing.h"
#include "app/Unit1.h"
#include "app/Unit2.h"
#include "app/Unit3.h"
#include "app/Unit5.h"
#include "platform/Application.h"
#include "platform/Clock.h"
#include "platform/db/Backup.h"
#include "skin/controls/twSkinLabels.h"
#include "skin/draw/twSystemColors.h"

namespace {

// Shaped windows, skinned popups and free positioning need X11, so a desktop
// run goes through xcb (XWayland on a Wayland session). Only the headless
// platforms of tests and scripts are left as asked; any other request, such
// as the "wayland" many sessions set, is overridden and said so once.
void ChooseX11Platform() {
  const QByteArray asked = qgetenv("QT_QPA_PLATFORM");
  // The value may carry options ("offscreen:fontengine=...") or a fallback list.
  const QByteArray name = asked.split(';').first().split(':').first().trimmed();
  if (name == "xcb" || name == "offscreen" || name == "minimal") return;
  qputenv("QT_QPA_PLATFORM", "xcb");
  if (!name.isEmpty())
    std::fprintf(stderr,
                 "tarnwick: using X11 (XWayland) instead of QT_QPA_PLATFORM=%s: "
                 "the skinned windows need X11.\n",
                 asked.constData());
}

// A failed backup is shown where the user sees it without being stopped:
// the status bar, with the reason on the panel's tip and on standard error.
// A later copy that succeeds says so there, so the failure is neither hidden
// at once nor left standing as if it still held.
void ShowBackupResult(const QString& failure) {
  static QString failed;
  if (!failure.isEmpty()) std::fprintf(stderr, "tarnwick: %s\n", failure.toUtf8().constData());
  TtwSkinStatusPanel* panel = Form1 ? Form1->twSkinStatusPanel3 : nullptr;
  if (!panel || (failure.isEmpty() && failed.isEmpty())) return;
  if (failure.isEmpty()) {
    panel->SetCaption(QStringLiteral("Backup made again"));
    panel->setToolTip(QStringLiteral("An earlier backup failed: %1\nA new copy has been made.").arg(failed));
    failed.clear();
    return;
  }
  failed = failure;
  panel->SetCaption(QStringLiteral("Last backup failed"));
  panel->setToolTip(failure);
}

// Automatic copies in backups/ beside the notebook, on a thread of their own.
// Only the copy that shows its window keeps them: a second start hands over
// and quits.
void StartBackups(QObject* owner) {
  if (!Application()->ShowMainForm || !Data) return;
  const QString notebook = QFileInfo(Data->ADOConnection1->DataSource()).absoluteFilePath();
  auto* keeper = new TBackupKeeper(notebook, owner);
  keeper->OnFinished = ShowBackupResult;
  const QString earlier = keeper->LastFailure();
  if (!earlier.isEmpty()) ShowBackupResult(earlier);
  keeper->Start();
}

// Qt keeps the pictures of the first paint (the window icon's sizes, the
// tree's branch marks) in its pixmap cache, whose sweep would wake the
// resting program half a minute later. Dropping them once the start has
// settled costs a few small renders on the next hover.
constexpr int kSettledMs = 1000;

}  // namespace

int main(int argc, char* argv[]) {
  ChooseX11Platform();
  if (qgetenv("QT_QPA_PLATFORM") == "xcb" && qEnvironmentVariableIsEmpty("DISPLAY")) {
    // Qt would abort here with a crash report; say plainly what is missing.
    std::fputs("Tarnwick needs an X display: start it from a desktop session (DISPLAY is not set).\n", stderr);
    return 1;
  }
  QApplication qtApp(argc, argv);
  QIcon icon;  // rendered from dist/tarnwick.svg at build time
  for (int size : {16, 24, 32, 48, 64, 128, 256}) icon.addFile(QStringLiteral(":/icons/tarnwick-%1.png").arg(size));
  QApplication::setWindowIcon(icon);
  // Plain Qt widgets (edits, lists) take the engine's system colours too.
  QApplication::setPalette(SystemPalette());
  TApplication application;
  InstallInstanceGuard();

  Application()->SetTitle(QStringLiteral("Tarnwick"));
  CreateNotesForms(*Application());
  StartBackups(&qtApp);
  TwTimer::SingleShot(kSettledMs, &qtApp, [] { QPixmapCache::clear(); });
  const int rc = Application()->Run();

  FinalizeInstanceGuard();
  return rc;
}
