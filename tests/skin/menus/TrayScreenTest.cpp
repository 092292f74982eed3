// The tray icon in a real tray (trayer, an X11 embedding tray) and the
// images menu on a real display, driven by real clicks (xdotool): the icon
// appears, a right click opens the skinned menu at the pointer and its
// entry brings a held window back, also through a skinned form's caption
// buttons and tray menu, whose "close" ends a program held in the tray;
// with no tray, minimising to the tray leaves the window reachable; a click
// on an images-menu cell chooses it.
#include <gtest/gtest.h>

#include <QProcess>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <cstdio>

#include "MenuFixtures.h"
#include "platform/Form.h"
#include "platform/ImageList.h"
#include "skin/controls/twSkinButtons.h"
#include "skin/form/twSkinForm.h"
#include "skin/menus/twSkinImagesMenu.h"
#include "skin/menus/twSkinMenus.h"
#include "skin/menus/twTrayIcon.h"
#include "skins/BuiltinSkin.h"
#include "tests/support/EventWait.h"

namespace {

using namespace twtest;

void Xdo(const QStringList& args) { ASSERT_EQ(QProcess::execute("xdotool", args), 0); }
void ClickAt(const QPoint& p, int button = 1) {
  Xdo({"mousemove", QString::number(p.x()), QString::number(p.y()), "click", QString::number(button)});
}

constexpr QRgb kIconColour = 0xFFE0208C;

QIcon SolidIcon() {
  QPixmap p(22, 22);
  p.fill(QColor::fromRgb(kIconColour));
  return QIcon(p);
}

// A tray host for one test, gone when the test ends.
class TTrayHost {
 public:
  TTrayHost() {
    host_.start("trayer", {"--edge", "top", "--align", "left", "--widthtype", "pixel", "--width", "120",
                           "--height", "32", "--SetDockType", "false"});
  }
  // Waits until the tray is there; false when it never came.
  bool Up() const { return WaitFor([] { return QSystemTrayIcon::isSystemTrayAvailable(); }, 10000); }
  ~TTrayHost() {
    host_.kill();
    host_.waitForFinished(3000);
    WaitFor([] { return !QSystemTrayIcon::isSystemTrayAvailable(); });
  }

 private:
  QProcess host_;
};

// A plain window on the screen, to hold in the tray.
class TrayScreen : public ::testing::Test {
 protected:
  void SetUp() override {
    main.setGeometry(300, 300, 300, 200);
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
  }
  QWidget main;
};

TEST_F(TrayScreen, TheIconAppearsAndARightClickOpensTheSkinnedMenuWhoseEntryRestores) {
  TTrayHost host;
  ASSERT_TRUE(host.Up()) << "no tray host";

  TtwTrayIcon tray;
  tray.SetIcon(SolidIcon());
  TtwCompressedStoredSkin stored;
  stored.SetCompressedData(BuiltinSkinPackage());
  TtwSkinData skin;
  skin.SetCompressedStoredSkin(&stored);
  TtwSkinMenu controller(nullptr);
  TtwSkinPopupMenu menu;
  menu.SetSkinMenu(&controller);
  menu.SetSkinData(&skin);
  QObject::connect(menu.addAction("&Restore"), &QAction::triggered, [&] { tray.ShowMainWindow({&main}); });
  menu.addSeparator();
  menu.addAction("&Close");
  tray.SetPopupMenu(&menu);
  ASSERT_TRUE(tray.HideMainWindow({&main}));
  EXPECT_FALSE(main.isVisible());

  auto* backend = static_cast<TtwQtTrayBackend*>(tray.Backend());
  ASSERT_TRUE(WaitFor([&] { return backend->Geometry().width() > 0; }, 5000));
  EXPECT_TRUE(backend->RawMouse());
  const QRect icon = backend->Geometry();
  QTest::qWait(300);
  const QImage shot = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
  EXPECT_EQ(shot.pixel(icon.center()), kIconColour) << "the icon is not on the screen";

  ClickAt(icon.center(), 3);
  ASSERT_TRUE(WaitFor([&] { return controller.Visible() && controller.Level(0)->isVisible(); }));
  EXPECT_EQ(controller.Level(0)->frameGeometry().topLeft(), icon.center());
  QTest::qWait(150);
  // For looking at: TW_TRAY_SHOT=file.png saves the tray corner with the menu.
  if (const QString shot = qEnvironmentVariable("TW_TRAY_SHOT"); !shot.isEmpty())
    QGuiApplication::primaryScreen()->grabWindow(0, 0, 0, 360, 220).save(shot);
  TtwSkinPopupWindow* level = controller.Level(0);
  ClickAt(level->mapToGlobal(level->At(0).Rect.ToQ().center()));
  ASSERT_TRUE(WaitFor([&] { return main.isVisible(); }));
  EXPECT_EQ(tray.State(), TtwTrayState::Shown);
}

TEST_F(TrayScreen, ARestartedTrayGetsTheIconBack) {
  auto host = std::make_unique<TTrayHost>();
  ASSERT_TRUE(host->Up()) << "no tray host";
  TtwTrayIcon tray;
  tray.SetIcon(SolidIcon());
  tray.SetIconVisible(true);
  auto* backend = static_cast<TtwQtTrayBackend*>(tray.Backend());
  auto iconShown = [&] {
    const QRect icon = backend->Geometry();
    return icon.width() > 0 &&
           QGuiApplication::primaryScreen()->grabWindow(0).toImage().pixel(icon.center()) == kIconColour;
  };
  ASSERT_TRUE(WaitFor(iconShown, 5000));
  host.reset();
  host = std::make_unique<TTrayHost>();
  EXPECT_TRUE(WaitFor(iconShown, 3 * kTrayHostPollMs + 5000));
  EXPECT_TRUE(tray.IconVisible());
}

TEST_F(TrayScreen, ATrayThatGoesAwayGivesTheHeldWindowBack) {
  auto host = std::make_unique<TTrayHost>();
  ASSERT_TRUE(host->Up()) << "no tray host";
  TtwTrayIcon tray;
  ASSERT_TRUE(tray.HideMainWindow({&main}));
  EXPECT_FALSE(main.isVisible());
  host.reset();
  EXPECT_TRUE(WaitFor([&] { return main.isVisible(); }, 2 * kTrayHostPollMs + 1000));
  EXPECT_EQ(tray.State(), TtwTrayState::Shown);
}

TEST_F(TrayScreen, WithNoTrayMinimisingToTheTrayLeavesTheWindowReachable) {
  ASSERT_TRUE(WaitFor([] { return !QSystemTrayIcon::isSystemTrayAvailable(); }));
  TtwTrayIcon tray(&main);
  EXPECT_FALSE(tray.HideMainWindow({&main}));
  QTest::qWait(200);
  EXPECT_TRUE(main.isVisible());
  EXPECT_NE(tray.State(), TtwTrayState::HoldingMainWindow);
  tray.MinimizedOnStart = true;
  tray.Loaded();
  EXPECT_TRUE(main.isVisible());
}

// ---- through a skinned form -------------------------------------------------------

// The skinned menu window open on the screen, if any.
TtwSkinPopupWindow* OpenSkinnedLevel() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* level = qobject_cast<TtwSkinPopupWindow*>(w); level && level->isVisible()) return level;
  return nullptr;
}

// Where the tray shows the icon, once it is on the screen in our colour.
QRect IconOnScreen(const TtwTrayIcon& tray) {
  QRect icon;
  WaitFor(
      [&] {
        icon = static_cast<TtwQtTrayBackend*>(tray.Backend())->Geometry();
        return icon.width() > 0 &&
               QGuiApplication::primaryScreen()->grabWindow(0).toImage().pixel(icon.center()) == kIconColour;
      },
      5000);
  return icon;
}

// A skinned form (the built-in skin, with the tray caption button) and the
// tray icon its frame minimises into.
class FrameTrayScreen : public ::testing::Test {
 protected:
  void SetUp() override {
    Xdo({"mousemove", "5", "300"});
    stored.SetCompressedData(BuiltinSkinPackage());
    skin.SetCompressedStoredSkin(&stored);
    form.SetCaption("Tray test");
    form.setGeometry(300, 300, 400, 300);
    frame = new TtwSkinForm(&form);
    frame->SetSkinData(&skin);
    frame->SetBorderIcons(frame->BorderIcons() | biMinimizeToTray);
    tray.SetIcon(SolidIcon());
  }
  void Show() {
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QTest::qWait(100);
  }
  void ClickObject(const char* name) {
    ClickAt(form.mapToGlobal(frame->FindObject(QString::fromLatin1(name))->ObjectRect.ToQ().center()));
  }
  // Right-clicks the icon: the frame's skinned tray menu opens at the pointer.
  TtwSkinPopupWindow* OpenTrayMenu(const QRect& icon) {
    ClickAt(icon.center(), 3);
    TtwSkinPopupWindow* level = nullptr;
    EXPECT_TRUE(WaitFor([&] { return (level = OpenSkinnedLevel()) != nullptr; }));
    if (!level) return nullptr;
    EXPECT_EQ(level->frameGeometry().topLeft(), icon.center());
    EXPECT_FALSE(frame->TrayMenu()->isVisible()) << "the plain menu opened, not the skinned one";
    EXPECT_EQ(level->Count(), 3);  // restore, separator, close
    return level;
  }
  void ClickEntry(TtwSkinPopupWindow* level, int i) {
    QTest::qWait(100);
    ClickAt(level->mapToGlobal(level->At(i).Rect.ToQ().center()));
  }

  TtwCompressedStoredSkin stored;
  TtwSkinData skin;
  TForm form;
  TtwSkinForm* frame = nullptr;
  TtwTrayIcon tray;
};

TEST_F(FrameTrayScreen, TheTrayButtonHidesTheFormAndTheTrayMenusRestoreBringsItBack) {
  TTrayHost host;
  ASSERT_TRUE(host.Up()) << "no tray host";
  int toTray = 0, fromTray = 0;
  frame->OnMinimizeToTray = [&] { ++toTray; };
  frame->OnRestoreFromTray = [&] { ++fromTray; };
  frame->TrayIcon = &tray;
  Show();
  EXPECT_FALSE(tray.IconVisible());

  ClickObject("traybutton");
  ASSERT_TRUE(WaitFor([&] { return !form.isVisible(); }));
  EXPECT_EQ(tray.State(), TtwTrayState::HoldingMainWindow);
  EXPECT_EQ(toTray, 1);
  const QRect icon = IconOnScreen(tray);
  ASSERT_GT(icon.width(), 0) << "the icon is not in the tray";

  TtwSkinPopupWindow* level = OpenTrayMenu(icon);
  ASSERT_TRUE(level);
  EXPECT_EQ(level->At(0).Action->objectName(), "TRAY_TWF_RESTORE");
  QTest::qWait(150);
  // For looking at: TW_FRAME_TRAY_SHOT=file.png saves the tray corner with the menu.
  if (const QString shot = qEnvironmentVariable("TW_FRAME_TRAY_SHOT"); !shot.isEmpty())
    QGuiApplication::primaryScreen()->grabWindow(0, 0, 0, 360, 220).save(shot);
  ClickEntry(level, 0);
  ASSERT_TRUE(WaitFor([&] { return form.isVisible() && !tray.IconVisible(); }));
  EXPECT_FALSE(form.isMinimized());
  EXPECT_EQ(frame->FrameState(), TtwFrameState::Normal);
  EXPECT_EQ(tray.State(), TtwTrayState::Hidden);
  EXPECT_EQ(fromTray, 1);
  EXPECT_TRUE(WaitFor([&] { return static_cast<TtwQtTrayBackend*>(tray.Backend())->Geometry().isEmpty(); }));
}

TEST_F(FrameTrayScreen, WithNoTrayTheTrayButtonMinimisesTheFormWhereItStaysReachable) {
  ASSERT_TRUE(WaitFor([] { return !QSystemTrayIcon::isSystemTrayAvailable(); }));
  frame->TrayIcon = &tray;
  Show();
  ClickObject("traybutton");
  ASSERT_TRUE(WaitFor([&] { return frame->FrameState() == TtwFrameState::Minimized; }));
  EXPECT_TRUE(form.isVisible());
  EXPECT_NE(tray.State(), TtwTrayState::HoldingMainWindow);
}

// Run as a program of its own by the next test: the skinned form is the
// program's only window; it goes to the tray by its minimise button (the
// icon already up), and "close" in the tray menu must end the program.
TEST_F(FrameTrayScreen, ClosingFromTheTrayChild) {
  if (!qEnvironmentVariableIsSet("TW_TRAY_CLOSE_CHILD")) GTEST_SKIP() << "runs as the next test's program";
  ASSERT_TRUE(WaitFor([] { return QSystemTrayIcon::isSystemTrayAvailable(); }, 10000));
  frame->AlwaysShowInTray = true;
  frame->AlwaysMinimizeToTray = true;
  tray.SetIconVisible(true);
  frame->TrayIcon = &tray;
  Show();
  const QRect icon = IconOnScreen(tray);
  ASSERT_GT(icon.width(), 0) << "the icon is not in the tray";

  ClickObject("minbutton");
  ASSERT_TRUE(WaitFor([&] { return !form.isVisible(); }));
  EXPECT_EQ(tray.State(), TtwTrayState::HoldingMainWindow);
  EXPECT_EQ(IconOnScreen(tray), icon) << "Qt's tray window went into the tray with the form";
  TtwSkinPopupWindow* level = OpenTrayMenu(icon);
  ASSERT_TRUE(level);
  EXPECT_EQ(level->At(2).Action->objectName(), "TRAY_TWF_CLOSE");
  QTest::qWait(100);
  // The click is handled inside the loop below, which the quit must end.
  ClickAt(level->mapToGlobal(level->At(2).Rect.ToQ().center()));
  QTimer::singleShot(10000, [] { QCoreApplication::exit(3); });
  ASSERT_EQ(QApplication::exec(), 0) << "the program did not quit";
  std::printf("quit by close\n");
}

TEST(FrameTrayClose, CloseInTheTrayMenuEndsTheProgramWhoseOnlyWindowIsHeld) {
  TTrayHost host;
  ASSERT_TRUE(host.Up()) << "no tray host";
  QProcess child;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("TW_TRAY_CLOSE_CHILD", "1");
  child.setProcessEnvironment(env);
  child.setProcessChannelMode(QProcess::MergedChannels);
  child.start(QCoreApplication::applicationFilePath(), {"--gtest_filter=FrameTrayScreen.ClosingFromTheTrayChild"});
  ASSERT_TRUE(child.waitForFinished(40000));
  const QString out = QString::fromLocal8Bit(child.readAll());
  EXPECT_EQ(child.exitCode(), 0) << out.toStdString();
  EXPECT_TRUE(out.contains("quit by close")) << out.toStdString();
}

// ---- the images menu -------------------------------------------------------------

int CountColour(const QImage& img, QRgb c) {
  int n = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) n += (img.pixel(x, y) | 0xFF000000u) == c;
  return n;
}

TEST(ImagesMenuScreen, TheMenuButtonOpensItOnARealClickAndShowsTheCellChosenByOne) {
  Xdo({"mousemove", "5", "5"});
  TtwCompressedStoredSkin stored;
  stored.SetCompressedData(BuiltinSkinPackage());
  TtwSkinData skin;
  skin.SetCompressedStoredSkin(&stored);
  const QList<QRgb> colours = {0xFFE02020u, 0xFF20A020u, 0xFF2020E0u};
  TImageList images;
  for (QRgb c : colours) {
    QPixmap p(16, 16);
    p.fill(QColor::fromRgb(c));
    images.Add(p);
  }
  TtwSkinImagesMenu menu;
  menu.SetSkinData(&skin);
  menu.SetImages(&images);
  menu.SetColumnsCount(3);
  for (int i = 0; i < 3; ++i) {
    TtwImagesMenuItem it;
    it.ImageIndex = i;
    it.Caption = QStringLiteral("Tone %1").arg(i);
    menu.ImagesItems.push_back(it);
  }
  QWidget window;
  window.setGeometry(200, 200, 300, 200);
  auto makeButton = [&](int top, const QString& caption) {
    auto* b = new TtwSkinMenuSpeedButton(&window);
    b->SetSkinData(&skin);
    b->SetUseSkinSize(false);
    b->SetBounds(20, top, 110, 26);
    b->SetCaption(caption);
    return b;
  };
  auto* button = makeButton(20, QStringLiteral("Pick"));
  button->SetSkinImagesMenu(&menu);
  button->SetUseImagesMenuImage(true);
  button->SetUseImagesMenuCaption(true);
  // What the button must look like once "Tone 2" is chosen.
  auto* expected = makeButton(100, QStringLiteral("Tone 2"));
  expected->SetImageList(&images);
  expected->SetImageIndex(2);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  QTest::qWait(100);

  ClickAt(button->mapToGlobal(button->rect().center()));
  ASSERT_TRUE(WaitFor([&] { return menu.Opened() && menu.PopupWindow()->isVisible(); }));
  EXPECT_TRUE(button->MenuTracked());
  EXPECT_TRUE(button->Down());
  auto* popup = menu.PopupWindow();
  EXPECT_EQ(popup->geometry().topLeft(), button->mapToGlobal(QPoint(0, button->height())));
  ASSERT_TRUE(QTest::qWaitForWindowExposed(popup));
  QTest::qWait(100);
  ClickAt(popup->mapToGlobal(popup->EntryRect(2).ToQ().center()));
  ASSERT_TRUE(WaitFor([&] { return !menu.Opened(); }));
  EXPECT_EQ(menu.ItemIndex(), 2);
  // Up again, showing the chosen picture and caption, on the screen too.
  EXPECT_FALSE(button->MenuTracked());
  EXPECT_FALSE(button->Down());
  // (The hot look fades out first.)
  EXPECT_TRUE(WaitFor([&] { return button->RenderFace() == expected->RenderFace(); }));
  QImage onScreen;
  EXPECT_TRUE(WaitFor([&] {
    onScreen = QGuiApplication::primaryScreen()->grabWindow(0, 0, 0, -1, -1).copy(
        QRect(button->mapToGlobal(QPoint(0, 0)), button->size())).toImage();
    return CountColour(onScreen, colours[2]) == 16 * 16;
  }));
  EXPECT_EQ(CountColour(onScreen, colours[0]), 0);
}

TEST(ImagesMenuScreen, ARealClickOnACellChoosesIt) {
  Xdo({"mousemove", "5", "5"});
  QWidget form;
  form.setGeometry(100, 100, 400, 300);
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  TImageList images;
  for (int i = 0; i < 6; ++i) {
    QPixmap p(16, 16);
    p.fill(QColor::fromHsv(i * 60, 200, 220));
    images.Add(p);
  }
  TtwSkinImagesMenu menu(&form);
  menu.SetImages(&images);
  menu.SetColumnsCount(3);
  for (int i = 0; i < 6; ++i) {
    TtwImagesMenuItem it;
    it.ImageIndex = i;
    menu.ImagesItems.push_back(it);
  }
  int changes = 0;
  menu.OnChange = [&] { ++changes; };
  const QPoint anchor = form.mapToGlobal(QPoint(20, 20));
  menu.Popup(TRect{anchor.x(), anchor.y(), anchor.x() + 60, anchor.y() + 24});
  auto* w = menu.PopupWindow();
  ASSERT_TRUE(w);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
  QTest::qWait(100);
  ClickAt(w->mapToGlobal(w->EntryRect(4).ToQ().center()));
  ASSERT_TRUE(WaitFor([&] { return !menu.Opened(); }));
  EXPECT_EQ(menu.ItemIndex(), 4);
  EXPECT_EQ(changes, 1);

  // Real keys reach the open popup: down twice walks the first column.
  Xdo({"mousemove", "5", "5"});
  menu.Popup(TRect{anchor.x(), anchor.y(), anchor.x() + 60, anchor.y() + 24});
  ASSERT_TRUE(menu.PopupWindow() && QTest::qWaitForWindowExposed(menu.PopupWindow()));
  QTest::qWait(100);
  Xdo({"key", "Down", "Down", "Return"});
  ASSERT_TRUE(WaitFor([&] { return !menu.Opened(); }));
  EXPECT_EQ(menu.ItemIndex(), 3);
  EXPECT_EQ(changes, 2);
}

}  // namespace
