// The tray icon in a real tray (trayer, an X11 embedding tray) and the
// images menu on a real display, driven by real clicks (xdotool): the icon
// appears, a right click opens the skinned menu at the pointer and its
// entry brings a held window back; with no tray, minimising to the tray
// leaves the window reachable; a click on an images-menu cell chooses it.
#include <gtest/gtest.h>

#include <QProcess>
#include <QScreen>
#include <QTest>

#include "MenuFixtures.h"
#include "platform/ImageList.h"
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
