// The program's start: the instance guard, then the four windows in the
// order the others rely on, then the message loop.
#include <QApplication>
#include <QIcon>
#include <cstdio>

#include "app/Globals.h"
#include "app/MultYunXing.h"
#include "app/Unit1.h"
#include "app/Unit2.h"
#include "app/Unit3.h"
#include "app/Unit5.h"
#include "platform/Application.h"
#include "skin/draw/twSystemColors.h"

int main(int argc, char* argv[]) {
  // Shaped windows, skinned popups and free positioning need X11; a platform
  // chosen explicitly (tests run offscreen) is left alone.
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "xcb");
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
  const int rc = Application()->Run();

  FinalizeInstanceGuard();
  return rc;
}
