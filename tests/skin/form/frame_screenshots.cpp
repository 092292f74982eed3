// Screen grabs of the skinned frames of the notes windows, for looking at:
// the main window maximised and restored, the category editor, active and
// inactive, caption buttons hot and pressed, a caption cut with "...",
// rolled up, minimised, during a resize, and the results window.
// Grabs come from the screen, so the window's shape shows as it is.
// Usage (needs a display): tests/with-x frame_screenshots [OUTPUT_DIR]
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

#include "app/Globals.h"
#include "app/Unit1.h"
#include "app/Unit2.h"
#include "app/Unit3.h"
#include "app/Unit5.h"
#include "platform/Application.h"
#include "skin/controls/twSkinButtons.h"
#include "skin/form/twSkinForm.h"
#include "tools/db/NotesSchema.h"

namespace {

QString out;

void Settle(int rounds = 10) {
  for (int i = 0; i < rounds; ++i) {
    QApplication::processEvents();
    QTest::qWait(30);
  }
}

void Xdo(const QStringList& args) {
  QProcess::execute("xdotool", args);
  Settle(4);
}

void MoveTo(QPoint g) { Xdo({"mousemove", QString::number(g.x()), QString::number(g.y())}); }

// The window's screen area with a margin, at 1x and enlarged 3x.
void Shot(QWidget* w, const QString& name, int margin = 6) {
  Settle();
  const QRect r = w->frameGeometry().adjusted(-margin, -margin, margin, margin);
  const QImage img = QGuiApplication::primaryScreen()->grabWindow(0, r.x(), r.y(), r.width(), r.height()).toImage();
  const QString path = out + "/" + name + ".png";
  const bool ok = img.save(path);
  std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
}

// A close-up of the top-right of the caption, enlarged 3x.
void CaptionCloseUp(QWidget* w, const QString& name) {
  Settle();
  const QRect g = w->geometry();
  const QRect r(g.right() - 160, g.top() - 4, 168, 40);
  const QImage img = QGuiApplication::primaryScreen()->grabWindow(0, r.x(), r.y(), r.width(), r.height()).toImage();
  const QString path = out + "/" + name + "-x3.png";
  const bool ok = img.scaled(img.size() * 3, Qt::IgnoreAspectRatio, Qt::FastTransformation).save(path);
  std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
}

QPoint ButtonCentre(TtwSkinForm* f, const char* name) {
  return f->Form()->mapToGlobal(f->FindObject(QString::fromLatin1(name))->ObjectRect.ToQ().center());
}

}  // namespace

int main(int argc, char** argv) {
  QApplication qapp(argc, argv);
  out = QDir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots")).absolutePath();
  QDir().mkpath(out);
  QTemporaryDir dir;
  QDir::setCurrent(dir.path());
  CreateNotesDatabase(dir.filePath("data.mdb"), true);

  TApplication app;
  app.SetTitle(QStringLiteral("Tarnwick"));
  CreateNotesForms(app);
  Form1->Show();
  MoveTo(QPoint(1500, 1150));
  Shot(Form1, "frame-main-maximized", 0);

  TtwSkinForm* main = Form1->twSkinForm1;
  main->Restore();
  Form1->move(60, 40);
  Settle();
  Shot(Form1, "frame-main-restored");
  CaptionCloseUp(Form1, "frame-main-caption");

  MoveTo(ButtonCentre(main, "closebutton"));
  Settle(8);
  CaptionCloseUp(Form1, "frame-main-close-hot");
  Xdo({"mousedown", "1"});
  CaptionCloseUp(Form1, "frame-main-close-pressed");
  MoveTo(QPoint(1500, 1150));  // released away from the button: nothing runs
  Xdo({"mouseup", "1"});
  MoveTo(ButtonCentre(main, "maxbutton"));
  Settle(8);
  CaptionCloseUp(Form1, "frame-main-max-hot");
  MoveTo(QPoint(1500, 1150));

  Xdo({"key", "alt+space"});
  Settle(10);
  {
    const QPoint at = Form1->mapToGlobal(QPoint(0, 0));
    const QImage img = QGuiApplication::primaryScreen()->grabWindow(0, at.x() - 4, at.y() - 4, 260, 200).toImage();
    const QString path = out + "/frame-main-system-menu.png";
    std::printf("%s %s\n", img.save(path) ? "wrote" : "FAILED", qPrintable(path));
  }
  Xdo({"key", "Escape"});

  Box->move(700, 300);
  Box->Show();
  Settle();
  Shot(Box, "frame-editor-active");
  Shot(Form1, "frame-main-inactive");
  CaptionCloseUp(Form1, "frame-main-caption-inactive");
  Form1->activateWindow();
  Settle();
  Shot(Box, "frame-editor-inactive");

  Box->SetCaption(QStringLiteral("A category editor caption far too long to fit between the buttons"));
  Box->activateWindow();
  Settle();
  Shot(Box, "frame-editor-long-caption");

  // Rolled up: the frame alone, caption text and buttons, no client.
  Form1->activateWindow();
  main->SetRolledUp(true);
  Shot(Form1, "frame-main-rolledup");
  main->SetRolledUp(false);
  Box->twSkinForm1->SetRolledUp(true);
  Shot(Box, "frame-editor-rolledup");
  Box->twSkinForm1->SetRolledUp(false);
  Box->twSkinForm1->Minimize();
  Shot(Box, "frame-editor-minimized");
  Box->twSkinForm1->Restore();

  // Rolled up, maximised, restored: back to the bar, which unrolls.
  main->SetRolledUp(true);
  main->Maximize();
  Shot(Form1, "frame-main-rolledup-maximized", 0);
  main->Restore();
  Shot(Form1, "frame-main-rolledup-restored");
  main->SetRolledUp(false);

  // During a resize: each step grabbed as soon as it has painted once.
  const QSize size = Form1->size();
  for (int i = 1; i <= 3; ++i) {
    Form1->resize(size.width() - 60 * i, size.height() - 40 * i);
    Form1->repaint();
    Settle(1);
    Shot(Form1, QStringLiteral("frame-main-resize-%1").arg(i));
  }
  Form1->resize(size);

  // An empty search lists every note in the results window.
  Form1->twSkinEdit1->setText(QString());
  Form1->twSkinSpeedButton4->Click();
  AboutBox1->move(300, 200);
  Shot(AboutBox1, "frame-results-active");
  Form1->activateWindow();
  Shot(AboutBox1, "frame-results-inactive");
  return 0;
}
