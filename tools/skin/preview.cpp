// The preview command: builds the gallery or one of the program's windows
// offscreen, gives it the skin under test and writes the whole window,
// frame included, as a 32-bit PNG whose pixels outside the window's region
// are transparent. A skin that cannot be read ends with a message and 1.
#include "tools/skin/preview.h"

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QWindow>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <memory>

#include "app/Globals.h"
#include "app/Unit1.h"
#include "app/Unit2.h"
#include "app/Unit3.h"
#include "app/Unit5.h"
#include "platform/Application.h"
#include "platform/Errors.h"
#include "skin/form/twHitMap.h"
#include "skin/form/twSkinForm.h"
#include "skin/controls/twSkinButtons.h"
#include "skin/controls/twSkinControlBase.h"
#include "skin/controls/twSkinTreeView.h"
#include "skin/data/twCompressedSkin.h"
#include "skin/data/twSkinData.h"
#include "tools/db/NotesSchema.h"
#include "tools/skin/previewGallery.h"

#ifdef TW_HAVE_BUILTIN_SKIN
#include "skins/BuiltinSkin.h"
#endif

namespace {

const char kPreviewUsage[] =
    "usage: tarnwick-skin preview (FILE | DIR | --builtin) OUT.png [--form gallery|main|box|results]\n"
    "                             [--size WxH] [--inactive] [--state normal|maximized|rolledup]\n"
    "                             [--hit-map]\n"
    "Renders a window drawn with the skin in FILE (a compressed skin), DIR (a skin\n"
    "folder) or the built-in skin to OUT.png, and prints one line saying so.\n"
    "  --form      the window: the control gallery (default), or the program's\n"
    "              main window, category editor (box) or search results\n"
    "  --size      the window's size in pixels, for example 996x642\n"
    "  --inactive  draw the window as it looks when another one is active\n"
    "  --state     the frame's state: normal (default), maximized or rolledup\n"
    "  --hit-map   writes, instead of the picture, one pixel per window pixel whose\n"
    "              red channel is the frame's hit-test code there (0 outside the\n"
    "              window's region)\n"
    "Exit status: 0 on success, 1 when the skin cannot be read or the picture\n"
    "written, 2 on a wrong call.\n";

struct TPreviewOptions {
  QString source, out;
  QString form = QStringLiteral("gallery");
  QSize size;
  bool inactive = false;
  QString state = QStringLiteral("normal");
  bool hitMap = false;
};

// A wrong call: what was wrong (or nothing, when the usage says it all).
struct TPreviewUsage {
  QString problem;
};

// Options as a table: each takes its value (if any) from the argument list,
// so a new option is one more entry.
TPreviewOptions ParseOptions(const QStringList& args) {
  TPreviewOptions o;
  using Handler = std::function<void(const QString&)>;
  const std::map<QString, std::pair<bool, Handler>> options = {
      {"--form", {true, [&](const QString& v) {
         if (!QStringList{"gallery", "main", "box", "results"}.contains(v))
           throw TPreviewUsage{QStringLiteral("--form wants gallery, main, box or results, not \"%1\"").arg(v)};
         o.form = v;
       }}},
      {"--size", {true, [&](const QString& v) {
         const QStringList wh = v.split('x');
         bool okW = false, okH = false;
         if (wh.size() == 2) o.size = QSize(wh[0].toInt(&okW), wh[1].toInt(&okH));
         if (!okW || !okH || o.size.width() < 1 || o.size.height() < 1 || o.size.width() > 10000 ||
             o.size.height() > 10000)
           throw TPreviewUsage{QStringLiteral("--size wants WIDTHxHEIGHT, for example 800x600, not \"%1\"").arg(v)};
       }}},
      {"--inactive", {false, [&](const QString&) { o.inactive = true; }}},
      {"--state", {true, [&](const QString& v) {
         if (v != "normal" && v != "maximized" && v != "rolledup")
           throw TPreviewUsage{QStringLiteral("--state wants normal, maximized or rolledup, not \"%1\"").arg(v)};
         o.state = v;
       }}},
      {"--hit-map", {false, [&](const QString&) { o.hitMap = true; }}},
  };
  QStringList positional;
  for (int i = 0; i < args.size(); ++i) {
    const auto it = options.find(args[i]);
    if (it == options.end()) {
      if (args[i].startsWith("--") && args[i] != "--builtin")
        throw TPreviewUsage{QStringLiteral("unknown option \"%1\"").arg(args[i])};
      positional << args[i];
      continue;
    }
    if (it->second.first && ++i >= args.size())
      throw TPreviewUsage{QStringLiteral("%1 needs a value").arg(args[i - 1])};
    it->second.second(it->second.first ? args[i] : QString());
  }
  if (positional.size() != 2) throw TPreviewUsage{QStringLiteral("preview needs a skin and OUT.png")};
  o.source = positional[0];
  // Absolute now: the program's windows run in a folder of their own.
  o.out = QFileInfo(positional[1]).absoluteFilePath();
  return o;
}

// The skin under test as a stored skin; raises EError with a clear text.
std::unique_ptr<TtwCompressedStoredSkin> LoadSource(const QString& source) {
  auto s = std::make_unique<TtwCompressedStoredSkin>();
  s->SetFileName(QStringLiteral("skin.ini"));
  if (source == "--builtin") {
#ifdef TW_HAVE_BUILTIN_SKIN
    s->SetCompressedData(BuiltinSkinPackage());
    return s;
#else
    throw EError("this build has no built-in skin");
#endif
  }
  const QFileInfo info(source);
  if (!info.exists()) throw EError(QStringLiteral("there is no file or folder \"%1\"").arg(source));
  if (info.isDir()) {
    const QDir d(source);
    QString ini = d.filePath("skin.ini");
    if (!QFileInfo::exists(ini)) {
      const QStringList inis = d.entryList({"*.ini"}, QDir::Files);
      if (inis.size() != 1) throw EError(QStringLiteral("\"%1\" has no skin.ini").arg(source));
      ini = d.filePath(inis.first());
    }
    if (!s->LoadFromSkinFolder(ini)) throw EError(QStringLiteral("\"%1\" is not a complete skin folder").arg(source));
    return s;
  }
  QFile f(source);
  if (!f.open(QIODevice::ReadOnly)) throw EError(QStringLiteral("cannot open \"%1\": %2").arg(source, f.errorString()));
  s->LoadFromCompressedStream(f);
  if (s->IsEmpty()) throw EError(QStringLiteral("\"%1\" holds no skin data").arg(source));
  return s;
}

void Settle(int ms = 300) {
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 20);
}

// Gives every window of the program the skin under test, the way a skin
// change reaches them: records forgotten, the skin loaded, the skin applied.
void Reskin(TtwSkinData* data, TtwCompressedStoredSkin* stored) {
  const QWidgetList tops = QApplication::topLevelWidgets();
  for (QWidget* w : tops) ForgetSkinRecords(w, data);
  data->SetCompressedStoredSkin(stored);
  for (QWidget* w : tops) ApplySkinToControls(w, data);
}

// A transparent picture of the widget at the screen's pixel ratio, so a run
// under QT_SCALE_FACTOR=2 shows what a high-density screen shows.
QImage BlankFor(const QWidget* w) {
  const qreal dpr = w->devicePixelRatioF();
  QImage img(w->size() * dpr, QImage::Format_ARGB32_Premultiplied);
  img.setDevicePixelRatio(dpr);
  img.fill(Qt::transparent);
  return img;
}

// The window as it shows on screen, frame included; outside its region
// (when it has one) fully transparent.
QImage RenderWindow(QWidget* w) {
  QImage img = BlankFor(w);
  w->render(&img, QPoint(), QRegion(), QWidget::DrawWindowBackground | QWidget::DrawChildren);
  // A skinned frame shapes the native window, not the widget.
  const auto* frame = w->findChild<TtwSkinForm*>(QString(), Qt::FindDirectChildrenOnly);
  const QRegion region = frame ? frame->WindowRegion() : w->mask();
  if (!region.isEmpty()) {
    QPainter p(&img);
    p.setCompositionMode(QPainter::CompositionMode_Clear);
    p.setClipRegion(QRegion(img.rect()) - region);
    p.fillRect(img.rect(), Qt::transparent);
  }
  return img.convertToFormat(QImage::Format_ARGB32);
}

// Menus and hints the window opened are windows of their own; the picture
// shows them where they stand over the window.
void PaintPopups(QImage& img, QWidget* window) {
  QPainter p(&img);
  for (QWidget* w : QApplication::topLevelWidgets()) {
    const Qt::WindowType t = w->windowType();
    if (w == window || !w->isVisible() || (t != Qt::Popup && t != Qt::ToolTip)) continue;
    QImage pic = BlankFor(w);
    w->render(&pic, QPoint(), w->mask().isEmpty() ? QRegion() : w->mask());
    p.drawImage(w->mapToGlobal(QPoint()) - window->mapToGlobal(QPoint()), pic);
  }
}

QWidget* BuildProgramWindow(const QString& form) {
  TApplication& app = *new TApplication;
  app.SetTitle(QStringLiteral("Tarnwick"));
  CreateNotesForms(app);
  Form1->Show();
  Settle(100);
  if (form == "main") {
    // A note loaded from the tree, its category expanded.
    for (int i = 0; i < Form1->TreeView1->topLevelItemCount(); ++i) {
      QTreeWidgetItem* c = Form1->TreeView1->topLevelItem(i);
      c->setExpanded(true);
      if (i == Form1->TreeView1->topLevelItemCount() - 1 && c->childCount() > 0) {
        Form1->TreeView1->SetSelected(c->child(0));
        emit Form1->TreeView1->clicked();
      }
    }
    return Form1;
  }
  if (form == "box") {
    Form1->twSkinSpeedButton2->Click();
    return Box;
  }
  Form1->twSkinEdit1->setText(QString());
  Form1->twSkinSpeedButton4->Click();
  AboutBox1->ListBox1->setCurrentRow(1);
  return AboutBox1;
}

int Preview(const TPreviewOptions& o) {
  std::unique_ptr<TtwCompressedStoredSkin> stored = LoadSource(o.source);
  // Only the states the preview asks for: no control is under the pointer.
  QCursor::setPos(-10000, -10000);
  QTemporaryDir dir;
  if (!dir.isValid()) throw EError("cannot create a temporary folder for the demo notebook");
  QWidget* window = nullptr;
  std::unique_ptr<TtwSkinData> ownData;
  std::unique_ptr<TGalleryForm> gallery;
  if (o.form == "gallery") {
    ownData = std::make_unique<TtwSkinData>();
    // Glow frames are windows of their own: not part of the picture, and
    // showing one would take the activation from the window.
    ownData->SetShowButtonGlowFrames(false);
    ownData->SetCompressedStoredSkin(stored.get());
    gallery = std::make_unique<TGalleryForm>(ownData.get());
    window = gallery.get();
    window->show();
  } else {
    QDir::setCurrent(dir.path());
    CreateNotesDatabase(dir.filePath("data.mdb"), true);
    window = BuildProgramWindow(o.form);
    Form1->twSkinData1->SetShowButtonGlowFrames(false);
    Reskin(Form1->twSkinData1, stored.get());
  }
  window->setWindowState(Qt::WindowNoState);
  window->show();
  auto* frame = window->findChild<TtwSkinForm*>(QString(), Qt::FindDirectChildrenOnly);
  if (frame && frame->FrameState() != TtwFrameState::Normal) frame->Restore();
  if (o.size.isValid()) window->resize(o.size);
  if (frame && o.state == "maximized") frame->Maximize();
  if (frame && o.state == "rolledup") frame->SetRolledUp(true);
  if (!frame && (o.hitMap || o.state != "normal"))
    throw EError(QStringLiteral("the \"%1\" window has no skinned frame").arg(o.form));
  QWidget other;  // takes the activation when the window is to look inactive
  if (o.inactive) {
    other.show();
    other.activateWindow();
    QApplication::setActiveWindow(&other);
  } else {
    window->activateWindow();
    QApplication::setActiveWindow(window);
    if (window->windowHandle()) window->windowHandle()->requestActivate();
  }
  Settle(100);
  if (gallery) gallery->SetStates(!o.inactive);
  Settle();  // lets cross-fades run to their end
  QImage img = o.hitMap ? RenderHitMap(*frame) : RenderWindow(window);
  if (!o.hitMap) PaintPopups(img, window);
  // An empty picture is the skin's doing (a caption of no height, say), not the file's.
  if (img.isNull())
    throw EError(QStringLiteral("the window has no area to draw (%1 x %2 pixels) with this skin")
                     .arg(window->width())
                     .arg(window->height()));
  if (!img.save(o.out, "PNG")) throw EError(QStringLiteral("cannot write \"%1\"").arg(o.out));
  std::printf("wrote %s (%dx%d)\n", qPrintable(o.out), img.width(), img.height());
  return 0;
}

}  // namespace

int RunPreview(int argc, char** argv) {
  // Help is answered before any window system is started.
  for (int i = 2; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      fputs(kPreviewUsage, stdout);
      return 0;
    }
  }
  // Offscreen unless the caller chose a platform: the preview never needs a
  // display. Its screen is a large one, so popups stand where they would on
  // a desktop instead of being pushed inside 800 x 600 (or half that under
  // QT_SCALE_FACTOR=2).
  QTemporaryDir screenDir;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    QByteArray platform = "offscreen";
    QFile config(screenDir.filePath(QStringLiteral("screen.json")));
    if (screenDir.isValid() && config.open(QIODevice::WriteOnly) &&
        config.write(R"({"screens":[{"name":"preview","x":0,"y":0,"width":3840,"height":2160,)"
                     R"("logicalDpi":96,"logicalBaseDpi":96,"dpr":1}]})") > 0) {
      config.close();
      platform += ":configfile=" + QFile::encodeName(config.fileName());
    }
    qputenv("QT_QPA_PLATFORM", platform);
  }
  // The offscreen platform warns about what it lacks (size hints, grabs,
  // activation, a runtime folder); the preview needs none of it, so only its
  // own result line is printed. Messages of other kinds still show.
  qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& text) {
    const bool platformNoise = type != QtCriticalMsg && type != QtFatalMsg &&
                               (QByteArray(context.category ? context.category : "").startsWith("qt.") ||
                                text.startsWith(QLatin1String("This plugin does not support")) ||
                                text.startsWith(QLatin1String("QStandardPaths: ")));
    if (!platformNoise) fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, text)));
  });
  QApplication app(argc, argv);
  try {
    return Preview(ParseOptions(app.arguments().mid(2)));
  } catch (const TPreviewUsage& u) {
    if (!u.problem.isEmpty()) fprintf(stderr, "tarnwick-skin: %s\n\n", qPrintable(u.problem));
    fputs(kPreviewUsage, stderr);
    return 2;
  } catch (const EError& e) {
    fprintf(stderr, "tarnwick-skin: %s\n", qPrintable(e.Message()));
  } catch (const std::exception& e) {
    fprintf(stderr, "tarnwick-skin: %s\n", e.what());
  }
  return 1;
}
