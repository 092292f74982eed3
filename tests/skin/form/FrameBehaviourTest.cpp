// What the frame does beside its geometry and states: hover on an inactive
// window, the border style none, menus (pushed settings, the form's own
// system menu, menus on caption buttons), the application's windows
// minimised together, settings applied at run time, centring with the frame,
// caption text effects, and giving the platform frame back.
#include <QPainter>
#include <QScreen>
#include <QTest>

#include "../controls/QtApp.h"
#include "FrameFixtures.h"
#include "platform/Application.h"
#include "platform/Clock.h"
#include "platform/Form.h"
#include "skin/form/twSkinForm.h"
#ifdef TW_HAVE_BUILTIN_SKIN
#include "skins/BuiltinSkin.h"
#endif

namespace {

struct ShownForm {
  twtest::FixtureSkin skin;
  TForm form;
  TtwSkinForm* frame = nullptr;
  explicit ShownForm(const QByteArray& captionExtra = {}) : skin(true, captionExtra) {
    form.resize(120, 40);
    form.SetCaption("Fixture");
    frame = new TtwSkinForm(&form);
    frame->SetSkinData(&skin.data);
    form.show();
    (void)QTest::qWaitForWindowExposed(&form);
  }
  QPoint CentreOf(const char* name) const {
    return frame->FindObject(QString::fromLatin1(name))->ObjectRect.ToQ().center();
  }
};

// Without a window manager the first click on an inactive window's caption
// button must reach it: hover is tracked whether the window is active or not.
TEST(FrameBehaviour, CaptionButtonsAnswerWhileTheWindowIsInactive) {
  ShownForm f;
  QWidget other;
  other.show();
  other.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  ASSERT_FALSE(f.frame->WindowActive());
  const QPoint close = f.CentreOf("closebutton");
  QTest::mouseMove(&f.form, close);
  EXPECT_EQ(f.frame->HotObject(), 0);
  QTest::mouseClick(&f.form, Qt::LeftButton, {}, close);
  QCoreApplication::processEvents();
  EXPECT_FALSE(f.form.isVisible());
}

TEST(FrameBehaviour, BorderStyleNoneHasNoFrame) {
  twtest::FixtureSkin skin;
  TForm form;
  form.SetBorderStyle(TFormBorderStyle::bsNone);
  form.resize(60, 40);
  TtwSkinForm frame(&form);
  frame.SetSkinData(&skin.data);
  EXPECT_EQ(form.contentsMargins(), QMargins());
  EXPECT_EQ(form.size(), QSize(60, 40));
  EXPECT_TRUE(frame.Objects().empty());
  for (QPoint p : {QPoint(0, 0), QPoint(20, 3), QPoint(59, 39)}) EXPECT_EQ(frame.HitTest(p), htClient);
}

TEST(FrameBehaviour, MenuSettingsReachTheControllerBeforeAnyMenuOpens) {
  twtest::FixtureSkin skin, other;
  TForm form;
  TtwSkinForm frame(&form);
  frame.SetSkinData(&skin.data);
  TtwSkinMenu* menu = frame.SkinMenu();
  EXPECT_EQ(menu->DefaultSkinData, &skin.data);
  frame.MaxMenuItemsInWindow = 3;
  frame.MenusAlphaBlend = true;
  frame.MenusAlphaBlendValue = 120;
  frame.DefMenuItemHeight = 24;
  frame.MenusSkinData = &other.data;
  EXPECT_EQ(menu->MaxMenuItemsInWindow, 3);
  EXPECT_TRUE(menu->AlphaBlend);
  EXPECT_EQ(menu->AlphaBlendValue, 120);
  EXPECT_EQ(menu->DefMenuItemHeight, 24);
  EXPECT_EQ(menu->DefaultSkinData, &other.data);
}

#ifdef TW_HAVE_BUILTIN_SKIN
// A popup menu for a control draws from the form's skin although the
// system menu was never opened.
TEST(FrameBehaviour, PopupMenuDrawsFromTheSkinWithoutTheSystemMenu) {
  TtwCompressedStoredSkin stored;
  stored.SetCompressedData(BuiltinSkinPackage());
  TtwSkinData data;
  data.SetCompressedStoredSkin(&stored);
  TForm form;
  form.resize(300, 200);
  TtwSkinForm frame(&form);
  frame.SetSkinData(&data);
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  TtwSkinPopupMenu popup(&form);
  popup.addAction("One");
  popup.addAction("Two");
  popup.PopupForControl(&form, 300, 300);
  ASSERT_TRUE(frame.SkinMenu()->Visible());
  EXPECT_TRUE(frame.SkinMenu()->Level(0)->Skinned());
  frame.SkinMenu()->CloseMenu();
}
#endif

TEST(FrameBehaviour, FormsOwnSystemMenuStandsAloneWithoutTheDefaults) {
  ShownForm f;
  QMenu own;
  own.addAction("Mine")->setObjectName("mine");
  f.frame->SystemMenu = &own;
  f.frame->UseDefaultSysMenu = false;
  f.frame->OpenSystemMenu();
  QStringList names;
  for (QAction* a : f.frame->SystemMenuItems()->actions()) names << a->objectName();
  EXPECT_EQ(names, QStringList{"mine"});
  f.frame->SkinMenu()->CloseMenu();
  f.frame->UseDefaultSysMenu = true;
  f.frame->OpenSystemMenu();
  names.clear();
  for (QAction* a : f.frame->SystemMenuItems()->actions()) names << a->objectName();
  EXPECT_EQ(names.first(), "TWF_MINITEM");
  EXPECT_EQ(names.last(), "mine");
  f.frame->SkinMenu()->CloseMenu();
}

TEST(FrameBehaviour, MenuOnACaptionButtonOpensInsteadOfTheCommand) {
  ShownForm f;
  QMenu menu;
  menu.addAction("Item");
  f.frame->SetObjectMenu("closebutton", &menu);
  const QPoint close = f.CentreOf("closebutton");
  QTest::mouseMove(&f.form, close);
  QTest::mousePress(&f.form, Qt::LeftButton, {}, close);
  QCoreApplication::processEvents();
  ASSERT_TRUE(f.frame->SkinMenu()->Visible());
  const QPoint at = f.frame->SkinMenu()->Level(0)->pos();
  EXPECT_EQ(at, f.form.mapToGlobal(QPoint(f.frame->FindObject("closebutton")->ObjectRect.Left,
                                           f.frame->FindObject("closebutton")->ObjectRect.Bottom)));
  f.frame->SkinMenu()->CloseMenu();
  QCoreApplication::processEvents();
  EXPECT_TRUE(f.form.isVisible());
  EXPECT_FALSE(static_cast<TtwSkinButtonObject*>(f.frame->FindObject("closebutton"))->State().Down);
}

// The main window takes the application's other windows with it.
TEST(FrameBehaviour, MinimisingTheMainWindowHidesAndRestoresTheOthers) {
  TApplication app;
  TForm* main = nullptr;
  app.CreateForm(main);
  twtest::FixtureSkin skin;
  TForm editor, results, closed;
  auto* frame = new TtwSkinForm(main);
  frame->SetSkinData(&skin.data);
  for (TForm* f : {main, &editor, &results}) f->show();
  frame->Minimize();
  EXPECT_TRUE(main->isMinimized());
  EXPECT_FALSE(editor.isVisible());
  EXPECT_FALSE(results.isVisible());
  frame->Restore();
  EXPECT_FALSE(main->isMinimized());
  EXPECT_TRUE(editor.isVisible());
  EXPECT_TRUE(results.isVisible());
  EXPECT_FALSE(closed.isVisible()) << "a window that was not shown stays hidden";
}

TEST(FrameBehaviour, SettingsWithSideEffectsApplyAtRunTime) {
  ShownForm f;
  f.frame->HideCaptionButtons = true;
  EXPECT_FALSE(f.frame->FindObject("closebutton")->Enabled);
  f.frame->HideCaptionButtons = false;
  EXPECT_TRUE(f.frame->FindObject("closebutton")->Enabled);
  f.frame->AlphaBlend = true;
  EXPECT_NEAR(f.form.windowOpacity(), 200 / 255.0, 0.01);
  f.frame->AlphaBlendValue = 100;
  EXPECT_NEAR(f.form.windowOpacity(), 100 / 255.0, 0.01);
  f.frame->AlphaBlend = false;
  EXPECT_DOUBLE_EQ(f.form.windowOpacity(), 1.0);
}

// The fade-in steps on the injected clock: 10 of 255 a tick, up to the value.
TEST(FrameBehaviour, FadeInStepsOnTheInjectedClock) {
  TwManualClock clock;
  twtest::FixtureSkin skin;
  TForm form;
  form.resize(60, 40);
  TtwSkinForm frame(&form);
  frame.SetSkinData(&skin.data);
  frame.AlphaBlendAnimation = true;
  frame.AlphaBlendValue = 120;
  frame.AlphaBlend = true;
  form.show();
  EXPECT_DOUBLE_EQ(form.windowOpacity(), 0.0);
  clock.Advance(5 * 5);
  EXPECT_NEAR(form.windowOpacity(), 50 / 255.0, 0.002);
  clock.Advance(1000);
  EXPECT_NEAR(form.windowOpacity(), 120 / 255.0, 0.002);
  EXPECT_EQ(clock.ArmedTimers(), 0) << "the fade stops at its value";
}

// A window centred before its frame was attached stays centred with it.
TEST(FrameBehaviour, CentredWindowStaysCentredWithItsFrame) {
  twtest::FixtureSkin skin;
  TForm form;
  form.resize(200, 100);
  QRect r(QPoint(0, 0), form.size());
  const QRect area = form.screen()->availableGeometry();
  r.moveCenter(area.center());
  form.move(r.topLeft());
  TtwSkinForm frame(&form);
  frame.SetSkinData(&skin.data);
  QRect centred(QPoint(0, 0), QSize(206, 109));
  centred.moveCenter(area.center());
  EXPECT_EQ(form.geometry(), centred);
}

// The frame reads no environment switch: a variable once used to turn the
// frame's painting off has no effect.
TEST(FrameBehaviour, NoEnvironmentSwitchTurnsThePaintingOff) {
  qputenv("TWX_NOFRAME", "1");
  ShownForm f;
  const QImage shot = f.form.grab().toImage();
  qunsetenv("TWX_NOFRAME");
  EXPECT_EQ(shot.pixel(1, 3), twtest::CoordinatePicture(20, 16).pixel(1, 3));
}

// A repaint of part of the window (its clip a ring of rectangles, drawn band
// by band as plain copies) leaves the same pixels as a paint of the whole.
TEST(FrameBehaviour, APaintOfARingOfRectanglesDrawsWhatTheWholePaintDraws) {
  ShownForm f;
  const QImage whole = f.form.grab().toImage().convertToFormat(QImage::Format_RGB32);
  const QRect all = f.form.rect();
  const QRegion ring = QRegion(all) - QRegion(all.adjusted(5, 5, -5, -5)) - QRegion(40, 0, 3, all.height());
  ASSERT_GT(ring.rectCount(), 3);
  QImage part(all.size(), QImage::Format_RGB32);
  part.fill(Qt::magenta);
  f.form.render(&part, QPoint(), ring, QWidget::DrawWindowBackground);
  for (int y = 0; y < all.height(); ++y)
    for (int x = 0; x < all.width(); ++x)
      ASSERT_EQ(part.pixel(x, y), ring.contains(QPoint(x, y)) ? whole.pixel(x, y) : QColor(Qt::magenta).rgb())
          << x << "," << y;
}

TEST(FrameBehaviour, CaptionTextEffectsChangeTheCaption) {
  auto caption = [](const QByteArray& extra) {
    ShownForm f("fontcolor=16777215\r\n" + extra);
    f.form.SetCaption("WWWW");
    f.frame->FindObject("caption")->ObjectRect = TRect{0, 0, 120, 6};
    QImage img(120, 6, QImage::Format_RGB32);
    img.fill(Qt::black);
    QPainter p(&img);
    f.frame->FindObject("caption")->Draw(p, true);
    return img;
  };
  const QImage plain = caption({});
  for (const char* effect : {"gloweffect=1\r\nglowsize=2\r\nglowcolor=255\r\nglowactivecolor=255\r\n",
                             "vistagloweffect=1\r\nvistaglowinactiveeffect=1\r\nglowcolor=255\r\nglowactivecolor=255\r\n",
                             "reflectioneffect=1\r\nreflactioncolor=255\r\nreflactionactivecolor=255\r\n"})
    EXPECT_NE(caption(effect), plain) << effect;
}

// Removing the frame gives the window back the platform's frame around the
// same client area.
TEST(FrameBehaviour, RemovingTheFrameGivesBackThePlatformFrame) {
  twtest::FixtureSkin skin;
  TForm form;
  form.resize(80, 60);
  auto* frame = new TtwSkinForm(&form);
  frame->SetSkinData(&skin.data);
  form.show();
  const QRect client = form.contentsRect().translated(form.pos());
  delete frame;
  EXPECT_FALSE(form.windowFlags() & Qt::FramelessWindowHint);
  EXPECT_EQ(form.contentsMargins(), QMargins());
  EXPECT_EQ(form.geometry(), client);
  QCoreApplication::processEvents();
  EXPECT_TRUE(form.isVisible());
  EXPECT_EQ(form.findChild<TtwSkinMenu*>(), nullptr);
}

}  // namespace

// ---- the tray link ---------------------------------------------------------------

namespace {

class TFrameFakeTray : public TtwTrayBackend {
 public:
  bool available = true, shown = false;
  bool Available() const override { return available; }
  void Add(const QIcon&, const QString&) override { shown = true; }
  void Modify(const QIcon&, const QString&) override {}
  void Delete() override { shown = false; }
  void ShowBalloon(const QString&, const QString&, QSystemTrayIcon::MessageIcon, int) override {}
};

struct TrayedForm : ShownForm {
  TFrameFakeTray* fake = new TFrameFakeTray;
  QPointer<TtwTrayIcon> tray = new TtwTrayIcon(nullptr, fake);
  int toTray = 0, fromTray = 0;
  TrayedForm() {
    tray->SetIconVisible(true);
    frame->OnMinimizeToTray = [this] { ++toTray; };
    frame->OnRestoreFromTray = [this] { ++fromTray; };
  }
  ~TrayedForm() { delete tray; }
};

}  // namespace

TEST(FrameTray, AssigningHidesTheIconAndGivesTheRestoreAndCloseMenu) {
  TrayedForm f;
  ASSERT_TRUE(f.fake->shown);
  f.frame->TrayIcon = f.tray.data();
  EXPECT_FALSE(f.tray->IconVisible());
  EXPECT_FALSE(f.fake->shown);
  TtwSkinPopupMenu* menu = f.tray->PopupMenu();
  ASSERT_TRUE(menu);
  ASSERT_EQ(menu->actions().size(), 3);
  EXPECT_EQ(menu->actions()[0]->objectName(), "TRAY_TWF_RESTORE");
  EXPECT_EQ(menu->actions()[0]->text(), "&Restore");
  EXPECT_TRUE(menu->actions()[1]->isSeparator());
  EXPECT_EQ(menu->actions()[2]->objectName(), "TRAY_TWF_CLOSE");
  EXPECT_EQ(menu->actions()[2]->text(), "&Close");
  EXPECT_EQ(menu->defaultAction(), menu->actions()[0]);

  // A tray with a menu of its own keeps it; AlwaysShowInTray keeps the icon up.
  TtwSkinPopupMenu own;
  TFrameFakeTray* fake2 = new TFrameFakeTray;
  TtwTrayIcon other(nullptr, fake2);
  other.SetIconVisible(true);
  other.SetPopupMenu(&own);
  f.frame->AlwaysShowInTray = true;
  f.frame->TrayIcon = &other;
  EXPECT_EQ(other.PopupMenu(), &own);
  EXPECT_TRUE(other.IconVisible());
  f.frame->TrayIcon = nullptr;
}

TEST(FrameTray, MinimisingHidesTheWindowsAndRestoreBringsThemBack) {
  TrayedForm f;
  f.frame->TrayIcon = f.tray.data();
  f.frame->MinimizeToTray();
  EXPECT_FALSE(f.form.isVisible());
  EXPECT_TRUE(f.fake->shown);
  EXPECT_EQ(f.tray->State(), TtwTrayState::HoldingMainWindow);
  EXPECT_EQ(f.toTray, 1);

  f.tray->PopupMenu()->actions()[0]->trigger();  // "restore"
  EXPECT_TRUE(f.form.isVisible());
  EXPECT_FALSE(f.form.isMinimized());
  EXPECT_FALSE(f.tray->IconVisible());
  EXPECT_EQ(f.fromTray, 1);
}

TEST(FrameTray, WithoutATrayTheWindowStaysReachable) {
  TrayedForm f;
  f.fake->available = false;
  f.frame->TrayIcon = f.tray.data();
  f.frame->MinimizeToTray();
  QCoreApplication::processEvents();
  EXPECT_TRUE(f.form.isVisible());
  EXPECT_NE(f.tray->State(), TtwTrayState::HoldingMainWindow);
  EXPECT_EQ(f.toTray, 0);
}

TEST(FrameTray, ADestroyedTrayIconLeavesNoDanglingLink) {
  TrayedForm f;
  f.frame->TrayIcon = f.tray.data();
  delete f.tray.data();
  EXPECT_FALSE(f.frame->TrayIcon.Value());
  f.frame->MinimizeToTray();
  f.frame->RestoreFromTray();
  EXPECT_TRUE(f.form.isVisible());
}
