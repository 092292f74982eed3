// Renders each notes window and the gallery offscreen at a fixed size under a
// skin whose description is the input, with the built-in pictures. A skin the
// loader refuses is an expected outcome; anything else must draw.
#include "fuzz/skin_render/RenderSkin.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <memory>

#include "app/Globals.h"
#include "app/Unit1.h"
#include "skin/controls/twSkinButtons.h"
#include "app/Unit3.h"
#include "app/Unit5.h"
#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/Errors.h"
#include "skin/controls/twSkinControlBase.h"
#include "skin/data/twCompressedSkin.h"
#include "skin/data/twSkinData.h"
#include "skin/data/twSkinPackage.h"
#include "skin/data/twZStream.h"
#include "skins/BuiltinSkin.h"
#include "tools/db/NotesSchema.h"
#include "tools/skin/previewGallery.h"

namespace {

const QSize kWindowSize(640, 480);

struct World {
  int argc = 1;
  char arg0[24] = "fuzz_skin_render";
  char* argv[2] = {arg0, nullptr};
  std::unique_ptr<QApplication> qapp;
  QTemporaryDir dir;
  TtwSkinPackage base;
  std::unique_ptr<TtwSkinData> galleryData;
  std::unique_ptr<TGalleryForm> gallery;
  // Questions are answered and errors recorded: nothing may wait for a user.
  TScriptedDialogs dialogs;

  World() {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qapp = std::make_unique<QApplication>(argc, argv);
    TDialogs::Install(&dialogs);
    auto* app = new TApplication;
    QDir::setCurrent(dir.path());
    CreateNotesDatabase(dir.filePath("data.mdb"), true);
    CreateNotesForms(*app);
    TtwCompressedStoredSkin builtin;
    builtin.SetCompressedData(BuiltinSkinPackage());
    QByteArray raw;
    builtin.UnpackTo(raw);
    base = TtwSkinPackage::Read(raw);
    galleryData = std::make_unique<TtwSkinData>();
    galleryData->SetShowButtonGlowFrames(false);
    gallery = std::make_unique<TGalleryForm>(galleryData.get());
    Form1->twSkinData1->SetShowButtonGlowFrames(false);
    // Shown the way a user reaches them: the editor and the results window
    // from the main window's buttons.
    Form1->Show();
    gallery->show();
    Form1->twSkinSpeedButton2->Click();
    Form1->twSkinSpeedButton4->Click();
  }
  QList<QWidget*> Windows() const { return {gallery.get(), Form1, Box, AboutBox1}; }
};

// Never destroyed: the process ends with the run, and tearing the
// application down among other statics at exit crashes inside Qt.
World& TheWorld() {
  static World* w = new World;
  return *w;
}

void Draw(QWidget* w) {
  QApplication::processEvents();
  QImage img(w->size(), QImage::Format_ARGB32_Premultiplied);
  w->render(&img);
}

}  // namespace

int TwRenderSkinDescription(const QByteArray& description) {
  World& world = TheWorld();
  TtwSkinPackage pkg = world.base;
  pkg.Text = description;
  TtwCompressedStoredSkin stored;
  stored.SetFileName(QStringLiteral("skin.ini"));
  stored.SetCompressedData(TwCompress(pkg.Write(), TCompressionLevel::clFastest));
  int drawn = 0;
  for (TtwSkinData* data : {world.galleryData.get(), Form1->twSkinData1}) {
    const QWidgetList tops = QApplication::topLevelWidgets();
    try {
      for (QWidget* w : tops) ForgetSkinRecords(w, data);
      data->SetCompressedStoredSkin(&stored);
      for (QWidget* w : tops) ApplySkinToControls(w, data);
    } catch (const EError&) {
      continue;  // refused as a malformed skin: the windows keep their plain look
    }
  }
  for (QWidget* w : world.Windows()) {
    w->resize(kWindowSize);
    Draw(w);
    ++drawn;
  }
  return drawn;
}
