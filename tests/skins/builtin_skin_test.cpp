// Facts of the built-in skin, checked on the package the program embeds.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <memory>

#include "platform/Application.h"
#include "skin/data/twCompressedSkin.h"
#include "skin/data/twSkinData.h"
#include "skin/data/twSkinIni.h"
#include "skin/data/twSkinPackage.h"
#include "skin/data/twSkinRecords.h"
#include "skins/BuiltinSkin.h"
#ifdef TW_HAVE_SKIN_DRAW
#include "skin/draw/twUtils.h"
#endif

namespace {

QByteArray Inflated() {
  TtwCompressedStoredSkin holder;
  holder.SetCompressedData(BuiltinSkinPackage());
  QByteArray raw;
  holder.UnpackTo(raw);
  return raw;
}

QString Description() { return TwDecodeDescription(TtwSkinPackage::Read(Inflated()).Text); }

bool Inside(const TRect& r, const QSize& s) {
  return !r.IsEmpty() && r.Left >= 0 && r.Top >= 0 && r.Right <= s.width() && r.Bottom <= s.height();
}
bool Inside(const TPoint& p, const TRect& r) {
  return p.X >= r.Left && p.X <= r.Right && p.Y >= r.Top && p.Y <= r.Bottom;
}

// The loaded built-in skin, as the main window's skin data holds it.
class BuiltinSkin : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    app = new TApplication;
    stored = new TtwCompressedStoredSkin;
    stored->SetCompressedData(BuiltinSkinPackage());
    stored->SetFileName(kBuiltinSkinFileName);
    data = new TtwSkinData;
    data->SetCompressedStoredSkin(stored);
  }
  static void TearDownTestSuite() {
    delete data;
    delete stored;
    delete app;
  }
  template <typename T>
  static const T& Control(const QString& name) {
    const int i = data->FindControlIndex(name);
    EXPECT_GE(i, 0) << name.toStdString();
    const T* r = i < 0 ? nullptr : dynamic_cast<const T*>(data->ControlRecords()[i]);
    if (!r) throw std::runtime_error("no record " + name.toStdString() + " of the expected class");
    return *r;
  }
  template <typename T>
  static const T& Object(const QString& name) {
    const int i = data->FindObjectIndex(name);
    const T* r = i < 0 ? nullptr : dynamic_cast<const T*>(data->ObjectRecords()[i]);
    if (!r) throw std::runtime_error("no object " + name.toStdString() + " of the expected class");
    return *r;
  }
  static inline TApplication* app = nullptr;
  static inline TtwCompressedStoredSkin* stored = nullptr;
  static inline TtwSkinData* data = nullptr;
};

TEST(BuiltinPackage, LayoutPicturesAndText) {
  const QByteArray stored = BuiltinSkinPackage();
  ASSERT_GE(stored.size(), 2);
  EXPECT_EQ(uchar(stored[0]), 0x78);
  EXPECT_EQ(uchar(stored[1]), 0xDA);  // best compression

  const TtwSkinPackage p = TtwSkinPackage::Read(Inflated());
  EXPECT_EQ(p.Version, 3);
  EXPECT_EQ(p.Picture.Width(), 285);
  EXPECT_EQ(p.Picture.Height(), 210);
  EXPECT_EQ(p.Picture.BitCount(), 24);
  EXPECT_EQ(p.Picture.FileSize(), 179814);
  EXPECT_TRUE(p.InactivePicture.IsEmpty());
  EXPECT_EQ(p.Mask.Width(), 285);
  EXPECT_EQ(p.Mask.Height(), 210);
  EXPECT_EQ(p.Mask.BitCount(), 8);
  EXPECT_EQ(p.Mask.ColorTable().size(), 256);
  EXPECT_EQ(p.Mask.FileSize(), 61558);

  struct Want {
    int w, h, bits;
  };
  const Want want[] = {{75, 263, 24}, {28, 21, 24}, {93, 55, 24}, {132, 147, 24},
                       {556, 410, 24}, {219, 178, 24}, {93, 55, 4}, {28, 21, 1}};
  ASSERT_EQ(p.ActivePictures.size(), 8);
  for (int i = 0; i < 8; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(p.ActivePictures[i].Width(), want[i].w);
    EXPECT_EQ(p.ActivePictures[i].Height(), want[i].h);
    EXPECT_EQ(p.ActivePictures[i].BitCount(), want[i].bits);
  }
  EXPECT_TRUE(p.Text.endsWith("\r\n"));
  EXPECT_EQ(p.Text.count('\n'), p.Text.count("\r\n"));  // every line ends in CR LF
}

TEST(BuiltinDescription, SectionsAndRecordLists) {
  const TtwSkinIni ini = TtwSkinIni::FromText(Description());
  QStringList sections = ini.Sections();
  EXPECT_EQ(sections.size(), 85);
  sections.removeDuplicates();
  EXPECT_EQ(sections.size(), 85);  // no section written twice

  const QStringList controls = {
      "button", "toolbutton", "resizebutton", "bigtoolbutton", "resizetoolbutton", "combobutton",
      "vtracktoolbutton", "htracktoolbutton", "toolmenubutton", "toolmenutrackbutton", "bigtoolmenubutton",
      "bigtoolmenutrackbutton", "toolpanel", "panel", "groupbox", "statusbar", "bigtoolpanel", "resizetoolpanel",
      "combobox", "captioncombobox", "statuscombobox", "toolcombobox", "listbox", "captionlistbox", "edit",
      "buttonedit", "statusedit", "statusbuttonedit", "tooledit", "toolbuttonedit", "memo", "checklistbox",
      "captionchecklistbox", "spinedit", "statusspinedit", "toolspinedit", "hscrollbar", "vscrollbar",
      "bothhscrollbar", "vupdown", "hupdown", "label", "statuspanel", "stdlabel", "checkbox", "radiobox", "gauge",
      "vgauge", "statusgauge", "trackbar", "htrackbar", "vsplitter", "hsplitter", "expanel", "tab", "grid",
      "mainmenubar", "controlbar", "treeview", "listview", "richedit", "scrollbox", "bevel", "slider"};
  const QStringList objects = {"closebutton", "maxbutton", "minbutton", "rollupbutton", "sysmenubutton",
                               "traybutton", "caption", "menuitem", "mainmenubaritem", "menubarsysmenubutton",
                               "menubarclosebutton", "menubarmaxbutton", "menubarminbutton"};
  auto names = [&](const QString& section) {
    QStringList out;
    for (const TtwSkinRecordEntry& e : ini.ReadRecordEntries(section)) {
      out << e.Name;
      EXPECT_EQ(e.Name, e.Name.toLower());
      EXPECT_TRUE(ini.SectionExists(e.Name)) << e.Name.toStdString();
    }
    return out;
  };
  EXPECT_EQ(names("SKINCONTROLS").join(' ').toStdString(), controls.join(' ').toStdString());
  EXPECT_EQ(names("SKINOBJECTS").join(' ').toStdString(), objects.join(' ').toStdString());
  for (const char* fixed : {"VERSION", "PICTURES", "FORMINFO", "POPUPWINDOW", "HINTWINDOW", "SKINCOLORS"})
    EXPECT_TRUE(ini.SectionExists(fixed)) << fixed;
  // all eight interface colours are the skin's own, not system colours
  for (const char* key : {"cbtnface", "cbtntext", "cwindow", "cwindowtext", "chighlight", "chighlighttext",
                          "cbtnhighlight", "cbtnshadow"}) {
    EXPECT_TRUE(ini.ValueExists("SKINCOLORS", key)) << key;
    EXPECT_EQ(ini.ReadColor("SKINCOLORS", key, 0xFF000000u) >> 24, 0u) << key;
  }
}

TEST_F(BuiltinSkin, LoadsWithFrameGeometry) {
  ASSERT_FALSE(data->Empty());
  EXPECT_EQ(stored->FileName(), "skin.ini");
  EXPECT_EQ(data->ControlRecords().size(), 64);
  EXPECT_EQ(data->ObjectRecords().size(), 13);
  EXPECT_EQ(data->FindControlIndex("combobox"), 18);
  EXPECT_EQ(data->FindControlIndex("buttonedit"), 25);
  EXPECT_FALSE(data->MaskName().isEmpty());
  EXPECT_EQ(data->clientrect, (TRect{4, 27, 281, 206}));
  EXPECT_EQ(data->maskrectarea, (TRect{4, 3, 282, 206}));
  // the corner points lie inside the client rectangle, so loading left them
  // as the description wrote them
  const TtwSkinIni ini = TtwSkinIni::FromText(Description());
  const TPoint pts[] = {data->lefttoppoint, data->righttoppoint, data->leftbottompoint, data->rightbottompoint};
  const char* keys[] = {"lefttoppoint", "righttoppoint", "leftbottompoint", "rightbottompoint"};
  for (int i = 0; i < 4; ++i) {
    EXPECT_TRUE(Inside(pts[i], data->clientrect)) << keys[i];
    EXPECT_EQ(pts[i], ini.ReadPoint("FORMINFO", keys[i])) << keys[i];
  }
  EXPECT_NE(data->lefttoppoint.X, data->rightbottompoint.X);
  EXPECT_NE(data->lefttoppoint.Y, data->rightbottompoint.Y);
  EXPECT_EQ(data->SkinColors().chighlighttext, 0xFFFFFFu);
}

// The frame's outline: rounded top corners cut on both sides, square
// bottom, everything else inside.
TEST_F(BuiltinSkin, MaskCutsOnlyTheTopCorners) {
  const QImage& m = data->FormMask();
  ASSERT_EQ(m.size(), QSize(285, 210));
  auto inside = [&](int x, int y) { return (m.pixel(x, y) & 0xFFFFFF) == 0; };
  EXPECT_FALSE(inside(0, 0));
  EXPECT_FALSE(inside(284, 0));
  EXPECT_TRUE(inside(142, 0));
  EXPECT_TRUE(inside(0, 209));
  EXPECT_TRUE(inside(284, 209));
  EXPECT_TRUE(inside(0, 30));
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) EXPECT_EQ(inside(x, y), inside(284 - x, y)) << x << "," << y;
}

#ifdef TW_HAVE_SKIN_DRAW
// The window outline at any size: only the two top corners are cut, the
// same on both sides, and the tiled edges between them are never cut.
TEST_F(BuiltinSkin, WindowRegionRoundsOnlyTheTopCorners) {
  const TPieceAnchors a{data->lefttoppoint, data->righttoppoint, data->leftbottompoint, data->rightbottompoint,
                        data->maskrectarea};
  const TRect whole{0, 0, data->FormMask().width(), data->FormMask().height()};
  for (const QSize size : {QSize(285, 210), QSize(800, 500), QSize(1283, 977)}) {
    SCOPED_TRACE(size.width());
    const int W = size.width(), H = size.height();
    const TPieceAnchors n = ShiftAnchors(pmNinePiece, whole, a, W, H);
    const QRegion r = FrameRegionFromMask(data->FormMask(), a, n, W);
    ASSERT_FALSE(r.isEmpty());
    EXPECT_FALSE(r.contains(QPoint(0, 0)));
    EXPECT_FALSE(r.contains(QPoint(W - 1, 0)));
    for (int x = 6; x < W - 6; x += 7) EXPECT_TRUE(r.contains(QPoint(x, 0))) << x;
    for (int y = 6; y < H; y += 7) {
      EXPECT_TRUE(r.contains(QPoint(0, y))) << y;
      EXPECT_TRUE(r.contains(QPoint(W - 1, y))) << y;
    }
    for (int y = 0; y < 6; ++y)
      for (int x = 0; x < 6; ++x) EXPECT_EQ(r.contains(QPoint(x, y)), r.contains(QPoint(W - 1 - x, y)));
    EXPECT_EQ(r.boundingRect(), QRect(0, 0, W, H));
  }
}

// Hints draw from the skin: the face sits in the push button glow's hidden
// centre and the glow mask's black centre cuts its shape, so at any size the
// visible hint is the rounded face, never a piece of the glow around it.
TEST_F(BuiltinSkin, HintRegionIsTheRoundedFaceAtEverySize) {
  const TtwDataSkinHintWindow& h = *data->HintWindowRecord();
  const auto& pics = data->ActivePictures();
  ASSERT_GE(h.windowpictureindex, 0);
  ASSERT_LT(h.windowpictureindex, pics.size());
  ASSERT_GE(h.maskpictureindex, 0);
  ASSERT_LT(h.maskpictureindex, pics.size());
  const QImage& picture = pics[h.windowpictureindex];
  const QImage& mask = pics[h.maskpictureindex];
  ASSERT_EQ(mask.size(), picture.size());
  const auto& button = Control<TtwDataSkinButtonControl>("button");
  EXPECT_EQ(button.glowlayerpictureindex, h.windowpictureindex);
  EXPECT_EQ(button.glowlayermaskpictureindex, h.maskpictureindex);
  const int gx = button.glowlayeroffsetleft, gy = button.glowlayeroffsettop;
  const TPieceAnchors a{h.lefttoppoint, h.righttoppoint, h.leftbottompoint, h.rightbottompoint, h.clientrect};
  const TRect whole{0, 0, picture.width(), picture.height()};
  for (const QSize size : {picture.size(), QSize(50, 54), QSize(420, 130)}) {  // "OK" to three lines
    SCOPED_TRACE(size.width());
    const int W = size.width(), H = size.height();
    const TPieceAnchors n = ShiftAnchors(pmNinePiece, whole, a, W, H);
    const QRegion r = FrameRegionFromMask(mask, a, n, W);
    EXPECT_EQ(r.boundingRect(), QRect(gx, gy, W - 2 * gx, H - 2 * gy));
    EXPECT_TRUE(r.contains(n.ClRect.ToQ()));
    // Rounded corners, the same at all four.
    for (const QPoint c : {QPoint(gx, gy), QPoint(W - gx - 1, gy), QPoint(gx, H - gy - 1), QPoint(W - gx - 1, H - gy - 1)})
      EXPECT_FALSE(r.contains(c)) << c.x() << "," << c.y();
    EXPECT_TRUE(r.contains(QPoint(W / 2, gy)));
    EXPECT_TRUE(r.contains(QPoint(gx, H / 2)));
  }
}
#endif

TEST_F(BuiltinSkin, EveryPieceLiesInsideItsPicture) {
  const auto& pics = data->ActivePictures();
  for (const TtwDataSkinControl* c : data->ControlRecords()) {
    if (c->pictureindex < 0) continue;
    ASSERT_LT(c->pictureindex, pics.size()) << c->IDName.toStdString();
    EXPECT_TRUE(Inside(c->skinrect, pics[c->pictureindex].size())) << c->IDName.toStdString();
  }
  for (const TtwDataSkinObject* o : data->ObjectRecords()) {
    if (!o->skinrectinapicture) continue;
    ASSERT_GE(o->activepictureindex, 0) << o->IDName.toStdString();
    ASSERT_LT(o->activepictureindex, pics.size());
    const QSize s = pics[o->activepictureindex].size();
    EXPECT_TRUE(Inside(o->skinrect, s)) << o->IDName.toStdString();
    for (const TRect& r : {o->activeskinrect, o->inactiveskinrect})
      EXPECT_TRUE(r.IsEmpty() || Inside(r, s)) << o->IDName.toStdString();
  }
  const TtwDataSkinPopupWindow* popup = data->PopupWindowRecord();
  ASSERT_GE(popup->windowpictureindex, 0);
  EXPECT_LT(popup->windowpictureindex, pics.size());
}

TEST_F(BuiltinSkin, CaptionButtonsAndCaption) {
  struct Want {
    const char* name;
    uint8_t command;
  };
  const Want buttons[] = {{"closebutton", twtok::cmclose},
                          {"maxbutton", twtok::cmmaximize},
                          {"minbutton", twtok::cmminimize},
                          {"rollupbutton", twtok::cmrollup},
                          {"traybutton", twtok::cmminimizetotray}};
  for (const Want& w : buttons) {
    const auto& b = Object<TtwDataSkinStdButton>(w.name);
    EXPECT_EQ(b.command, w.command) << w.name;
    EXPECT_TRUE(b.skinrectinapicture) << w.name;
    EXPECT_EQ(b.skinrect.Width(), 21) << w.name;
    EXPECT_EQ(b.skinrect.Height(), 21) << w.name;
  }
  EXPECT_EQ(Object<TtwDataSkinStdButton>("sysmenubutton").command, twtok::cmsysmenu);
  // the window opens maximised: its maximise button shows a restore look
  EXPECT_FALSE(Object<TtwDataSkinStdButton>("maxbutton").restorerect.IsEmpty());
  // buttons are placed in a row along the caption rectangle, gap 2
  EXPECT_TRUE(data->buttonsrect.IsEmpty());
  EXPECT_EQ(data->buttonsoffset, 2);
  EXPECT_FALSE(data->buttonsinleft);
  EXPECT_GE(data->captionrect.Height(), 21);
  EXPECT_LE(data->captionrect.Right, data->clientrect.Right);

  const auto& c = Object<TtwDataSkinCaption>("caption");
  EXPECT_TRUE(c.shadow);
  EXPECT_FALSE(c.gloweffect || c.vistagloweffect || c.reflectioneffect);
  EXPECT_NE(c.activefontcolor, c.activeshadowcolor);
}

// Caption buttons are copied over the caption band as they are: their
// resting looks must carry the band's own rows, or each shows as a box.
TEST_F(BuiltinSkin, CaptionButtonsBlendIntoTheCaptionBand) {
  const QImage& frame = data->FormPicture();
  const TRect cap = data->captionrect;
  auto same = [&](const QImage& pic, const TRect& r, int top) {
    for (int k = 0; k < r.Height(); ++k)
      for (int x : {r.Left, r.Right - 1})
        if ((pic.pixel(x, r.Top + k) & 0xFFFFFF) != (frame.pixel(frame.width() / 2, top + k) & 0xFFFFFF))
          return false;
    return true;
  };
  for (const char* name : {"closebutton", "maxbutton", "minbutton", "rollupbutton", "traybutton"}) {
    const auto& b = Object<TtwDataSkinStdButton>(name);
    const QImage& pic = *data->ActivePicture(b.activepictureindex);
    for (const TRect& r : {b.skinrect, b.inactiveskinrect, b.disableskinrsect})
      EXPECT_TRUE(same(pic, r, cap.Top)) << name;
  }
  const auto& sys = Object<TtwDataSkinStdButton>("sysmenubutton");
  EXPECT_TRUE(same(*data->ActivePicture(sys.activepictureindex), sys.skinrect,
                   cap.Top + cap.Height() / 2 - sys.skinrect.Height() / 2));
}

TEST_F(BuiltinSkin, ControlPieceShapes) {
  const auto& button = Control<TtwDataSkinButtonControl>("button");
  EXPECT_EQ(button.skinrect.Height(), 25);  // tool bar and dialog buttons are 25 high
  EXPECT_TRUE(button.righttoppoint.X != 0 && button.rightbottompoint == TPoint{});  // three-piece across
  const auto& label = Control<TtwDataSkinLabelControl>("label");
  EXPECT_TRUE(label.righttoppoint.X != 0 && label.rightbottompoint == TPoint{});
  const auto& split = Control<TtwDataSkinSplitterControl>("vsplitter");
  EXPECT_EQ(split.skinrect.Width(), 5);
  EXPECT_FALSE(split.gripperrect.IsEmpty());
  EXPECT_FALSE(Control<TtwDataSkinPanelControl>("groupbox").captionrect.IsEmpty());
  const auto& edit = Control<TtwDataSkinEditControl>("edit");
  EXPECT_TRUE(edit.righttoppoint.X != 0 && edit.rightbottompoint == TPoint{});  // height fixed by the piece
  const auto& status = Control<TtwDataSkinPanelControl>("statusbar");
  EXPECT_TRUE(status.rightbottompoint.X != 0 && status.rightbottompoint.Y != 0);
  EXPECT_TRUE(status.stretcheffect);
  const auto& spanel = Control<TtwDataSkinLabelControl>("statuspanel");
  EXPECT_TRUE(spanel.rightbottompoint.X != 0 && spanel.rightbottompoint.Y != 0);
  const auto& panel = Control<TtwDataSkinPanelControl>("panel");
  EXPECT_EQ(panel.clientrect, (TRect{1, 1, panel.skinrect.Width() - 1, panel.skinrect.Height() - 1}));
}

TEST_F(BuiltinSkin, RecordsThatNameOtherRecords) {
  const auto& combo = Control<TtwDataSkinComboBox>("combobox");
  EXPECT_EQ(combo.listboxname, "listbox");
  EXPECT_EQ(combo.fontheight, 14);
  EXPECT_EQ(combo.itemleftoffset, 5);
  EXPECT_EQ(combo.itemrightoffset, 5);
  EXPECT_TRUE(combo.activeskinrect.IsEmpty());
  EXPECT_EQ(Control<TtwDataSkinComboBox>("captioncombobox").listboxname, "captionlistbox");
  EXPECT_EQ(Control<TtwDataSkinTabControl>("tab").updown, "hupdown");
  const auto& bar = Control<TtwDataSkinMainMenuBar>("mainmenubar");
  EXPECT_EQ(bar.menubaritem, "mainmenubaritem");
  EXPECT_EQ(bar.closebutton, "menubarclosebutton");
  EXPECT_EQ(bar.minbutton, "menubarminbutton");
  EXPECT_EQ(bar.maxbutton, "menubarmaxbutton");
  EXPECT_EQ(bar.sysmenubutton, "menubarsysmenubutton");
  // every named record exists
  for (const QString& n : {combo.listboxname, QString("captionlistbox"), QString("hupdown")})
    EXPECT_GE(data->FindControlIndex(n), 0) << n.toStdString();
  for (const QString& n : {bar.menubaritem, bar.closebutton, bar.minbutton, bar.maxbutton, bar.sysmenubutton})
    EXPECT_GE(data->FindObjectIndex(n), 0) << n.toStdString();
  // the tree would otherwise be black on black
  const auto& tree = Control<TtwDataSkinTreeView>("treeview");
  EXPECT_NE(tree.fontcolor, tree.bgcolor);
  EXPECT_NE(tree.bgcolor, 0u);
}

#ifdef TW_SKINMAKER
// The committed folder is what the generator draws and writes today.
TEST(BuiltinFolder, MatchesTheGenerator) {
  const QString source = qEnvironmentVariable("TW_SOURCE_DIR");
  ASSERT_FALSE(source.isEmpty());
  QTemporaryDir tmp;
  ASSERT_TRUE(tmp.isValid());
  QProcess gen;
  gen.start(TW_SKINMAKER, {tmp.path()});
  ASSERT_TRUE(gen.waitForFinished(60000));
  ASSERT_EQ(gen.exitCode(), 0) << gen.readAllStandardError().toStdString();
  const QDir committed(source + "/skins/default");
  const QStringList made = QDir(tmp.path()).entryList(QDir::Files, QDir::Name);
  EXPECT_EQ(made, committed.entryList(QDir::Files, QDir::Name));
  for (const QString& f : made) {
    QFile a(tmp.filePath(f)), b(committed.filePath(f));
    ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly)) << f.toStdString();
    EXPECT_TRUE(a.readAll() == b.readAll()) << f.toStdString() << " differs: run tarnwick-skinmaker skins/default";
  }
}
#endif

}  // namespace
