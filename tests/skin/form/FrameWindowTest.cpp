// The skinned frame on a real X server, with a plain window manager and
// without any: no system frame, the mask cuts the corners, real mouse drags
// move and size the window, caption buttons and keys work, and the caption
// turns inactive when another window takes the focus.
#include <QApplication>
#include <QMenu>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QScreen>
#include <QTest>
#include <QWindow>

#include "../controls/QtApp.h"
#include "platform/Application.h"
#include "platform/Form.h"
#include "skin/data/twCompressedSkin.h"
#include "skin/data/twSkinData.h"
#include "skin/data/twSkinIni.h"
#include "skin/form/twSkinForm.h"
#include "skins/BuiltinSkin.h"

namespace {

QString RunTool(const QString& program, const QStringList& args) {
  QProcess p;
  p.start(program, args);
  p.waitForFinished(5000);
  return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

void Xdo(const QStringList& args) {
  RunTool("xdotool", args);
  QTest::qWait(120);
}

template <class F>
bool WaitFor(F&& condition, int ms = 3000) {
  return QTest::qWaitFor(condition, ms);
}

// Openbox with no key bindings of its own (its default takes Alt+Space) and
// a click that focuses and raises a window.
const char kOpenboxConfig[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <focus><focusNew>yes</focusNew><followMouse>no</followMouse></focus>
  <keyboard></keyboard>
  <mouse><context name="Client">
    <mousebind button="Left" action="Press"><action name="Focus"/><action name="Raise"/></mousebind>
  </context></mouse>
</openbox_config>
)";

// Runs openbox on the test's display for the lifetime of the object.
class WindowManager {
 public:
  WindowManager() {
    QFile rc(dir_.filePath("rc.xml"));
    if (!rc.open(QIODevice::WriteOnly)) return;
    rc.write(kOpenboxConfig);
    rc.close();
    wm_.start("openbox", {"--sm-disable", "--config-file", rc.fileName()});
    if (!wm_.waitForStarted(3000)) return;
    started_ = WaitFor([] { return RunTool("xprop", {"-root", "_NET_SUPPORTING_WM_CHECK"}).contains("window id"); });
    QTest::qWait(500);
  }
  ~WindowManager() {
    // A manager still running into the next case would move its windows.
    wm_.terminate();
    if (!wm_.waitForFinished(5000)) {
      wm_.kill();
      wm_.waitForFinished(5000);
    }
  }
  bool Started() const { return started_; }

 private:
  QTemporaryDir dir_;
  QProcess wm_;
  bool started_ = false;
};

class RealFrame : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    if (GetParam()) {
      wm_ = std::make_unique<WindowManager>();
      if (!wm_->Started()) GTEST_SKIP() << "openbox is not installed";
    }
    stored_.SetCompressedData(BuiltinSkinPackage());
    data_.SetCompressedStoredSkin(&stored_);
    form_ = std::make_unique<TForm>();
    form_->SetCaption("Frame test");
    form_->resize(400, 300);
    form_->move(100, 100);
    frame_ = new TtwSkinForm(form_.get());
    frame_->SetSkinData(&data_);
    Xdo({"mousemove", "5", "5"});
  }
  void TearDown() override {
    form_.reset();
    wm_.reset();
  }
  void ShowActive() {
    form_->show();
    form_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form_.get()));
    // A window manager may refuse a program's own activation: click it.
    for (int i = 0; i < 3 && !WaitFor([this] { return form_->isActiveWindow(); }, 700); ++i) {
      Click(QPoint(150, 12));
      form_->activateWindow();
    }
    ASSERT_TRUE(form_->isActiveWindow());
    QTest::qWait(150);
  }
  QPoint Global(QPoint local) const { return form_->mapToGlobal(local); }
  // Another window takes the focus: the frame turns inactive.
  void DeactivateBy(QWidget& other) {
    other.setGeometry(600, 500, 100, 100);
    other.show();
    other.activateWindow();
    ASSERT_TRUE(WaitFor([&] { return other.isActiveWindow(); }));
    ASSERT_TRUE(WaitFor([this] { return !frame_->WindowActive(); }));
  }
  QPoint CentreOf(const char* name) const {
    return frame_->FindObject(QString::fromLatin1(name))->ObjectRect.ToQ().center();
  }
  void Click(QPoint local, int repeat = 1) {
    const QPoint g = Global(local);
    Xdo({"mousemove", QString::number(g.x()), QString::number(g.y())});
    Xdo({"click", "--repeat", QString::number(repeat), "--delay", "80", "1"});
  }
  // firstStep: the x distance of the first motion, which starts the drag.
  void Drag(QPoint local, QPoint delta, int firstStep = 1) {
    const QPoint g = Global(local);
    Xdo({"mousemove", QString::number(g.x()), QString::number(g.y())});
    Xdo({"mousedown", "1"});
    Xdo({"mousemove", QString::number(g.x() + firstStep), QString::number(g.y())});
    for (int i = 1; i <= 5; ++i)
      Xdo({"mousemove", QString::number(g.x() + delta.x() * i / 5), QString::number(g.y() + delta.y() * i / 5)});
    Xdo({"mouseup", "1"});
  }
  QRgb ScreenPixel(QPoint global) const {
    return QGuiApplication::primaryScreen()->grabWindow(0, global.x(), global.y(), 1, 1).toImage().pixel(0, 0);
  }

  std::unique_ptr<WindowManager> wm_;
  TtwCompressedStoredSkin stored_;
  TtwSkinData data_;
  std::unique_ptr<TForm> form_;
  TtwSkinForm* frame_ = nullptr;
};

TEST_P(RealFrame, NoSystemFrameExactTitleAndCutCorners) {
  ShowActive();
  EXPECT_EQ(form_->frameGeometry(), form_->geometry());
  const QString id = QString::number(form_->winId());
  EXPECT_EQ(RunTool("xprop", {"-id", id, "-notype", "_NET_WM_NAME"}), "_NET_WM_NAME = \"Frame test\"");
  // The mask's rounded top-left corner shows what lies beneath.
  const QPoint origin = Global(QPoint(0, 0));
  const QRgb corner = ScreenPixel(origin);
  const QRgb band = ScreenPixel(origin + QPoint(40, 1));
  const QRgb beneath = ScreenPixel(origin - QPoint(1, 1));
  EXPECT_NE(corner, band);
  EXPECT_EQ(corner, beneath);
}

TEST_P(RealFrame, DragOnTheCaptionMovesTheWindow) {
  ShowActive();
  const QPoint before = form_->pos();
  Drag(QPoint(150, 12), QPoint(60, 40));
  EXPECT_TRUE(WaitFor([&] { return (form_->pos() - before - QPoint(60, 40)).manhattanLength() <= 1; }))
      << before.x() << "," << before.y() << " -> " << form_->pos().x() << "," << form_->pos().y();
}

// A quick pointer reports its first motion far from the press: the window
// still stays under the pointer from the first pixel.
TEST_P(RealFrame, FirstMotionOfACaptionDragIsNotLost) {
  ShowActive();
  const QPoint before = form_->pos();
  Drag(QPoint(150, 12), QPoint(60, 40), 10);
  EXPECT_TRUE(WaitFor([&] { return (form_->pos() - before - QPoint(60, 40)).manhattanLength() <= 1; }))
      << before.x() << "," << before.y() << " -> " << form_->pos().x() << "," << form_->pos().y();
}

TEST_P(RealFrame, FirstClickOnAnInactiveWindowsCaptionButtonWorks) {
  ShowActive();
  QWidget other;
  DeactivateBy(other);
  Click(CentreOf("maxbutton"));
  EXPECT_TRUE(WaitFor([&] { return frame_->FrameState() == TtwFrameState::Maximized; }));
}

TEST_P(RealFrame, PopupMenuDrawsFromTheSkinBeforeTheSystemMenuOpened) {
  ShowActive();
  TtwSkinPopupMenu popup(form_.get());
  popup.addAction("One");
  popup.addAction("Two");
  const QPoint at = Global(QPoint(100, 100));
  popup.PopupForControl(form_.get(), at.x(), at.y());
  ASSERT_TRUE(WaitFor([&] { return frame_->SkinMenu()->Visible(); }));
  TtwSkinPopupWindow* level = frame_->SkinMenu()->Level(0);
  ASSERT_TRUE(WaitFor([&] { return level->isVisible(); }));
  EXPECT_TRUE(level->Skinned());
  EXPECT_EQ(level->pos(), at);
  Xdo({"key", "Escape"});
  EXPECT_TRUE(WaitFor([&] { return !frame_->SkinMenu()->Visible(); }));
}

TEST_P(RealFrame, MinimisingTheMainWindowTakesTheOtherWindowsAlong) {
  form_->hide();
  TApplication app;
  TForm* main = nullptr;
  app.CreateForm(main);
  main->resize(300, 200);
  main->move(50, 50);
  auto* mainFrame = new TtwSkinForm(main);
  mainFrame->SetSkinData(&data_);
  TForm editor, results;
  editor.setGeometry(400, 100, 150, 100);
  results.setGeometry(400, 300, 150, 100);
  for (QWidget* w : {static_cast<QWidget*>(main), static_cast<QWidget*>(&editor), static_cast<QWidget*>(&results)}) {
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
  }
  const QPoint minButton = main->mapToGlobal(mainFrame->FindObject("minbutton")->ObjectRect.ToQ().center());
  Xdo({"mousemove", QString::number(minButton.x()), QString::number(minButton.y())});
  Xdo({"click", "1"});
  EXPECT_TRUE(WaitFor([&] { return !editor.isVisible() && !results.isVisible(); }));
  mainFrame->Restore();
  EXPECT_TRUE(WaitFor([&] { return editor.isVisible() && results.isVisible() && main->isVisible(); }));
  EXPECT_FALSE(main->isMinimized());
}

TEST_P(RealFrame, DragOnASizingEdgeResizesASizeableWindow) {
  form_->SetBorderStyle(TFormBorderStyle::bsSizeable);
  ShowActive();
  const QSize before = form_->size();
  Drag(QPoint(before.width() - 2, before.height() - 2), QPoint(50, 30));
  EXPECT_TRUE(WaitFor([&] { return form_->size() == before + QSize(50, 30); }))
      << form_->width() << "x" << form_->height();
}

TEST_P(RealFrame, DoubleClickOnTheCaptionRollsUpAndUnrolls) {
  form_->SetBorderStyle(TFormBorderStyle::bsSingle);
  ShowActive();
  const int height = form_->height();
  Click(QPoint(150, 12), 2);
  EXPECT_TRUE(WaitFor([&] { return frame_->RolledUp() && form_->height() == frame_->MinimumHeight(); }));
  QTest::qWait(QApplication::doubleClickInterval() + 100);  // a new double click, not a triple one
  Click(QPoint(150, 12), 2);
  EXPECT_TRUE(WaitFor([&] { return !frame_->RolledUp() && form_->height() == height; }));
}

TEST_P(RealFrame, CaptionButtonsWorkByRealClicks) {
  ShowActive();
  const QRect normal = form_->geometry();
  Click(CentreOf("maxbutton"));
  EXPECT_TRUE(WaitFor([&] { return frame_->FrameState() == TtwFrameState::Maximized; }));
  EXPECT_TRUE(WaitFor([&] { return form_->width() >= form_->screen()->availableGeometry().width() - 2; }));
  Click(CentreOf("maxbutton"));
  EXPECT_TRUE(WaitFor([&] { return frame_->FrameState() == TtwFrameState::Normal && form_->geometry() == normal; }));
  Click(CentreOf("minbutton"));
  EXPECT_TRUE(WaitFor([&] { return frame_->FrameState() == TtwFrameState::Minimized; }));
  EXPECT_EQ(form_->height(), frame_->MinimumHeight());
  Click(CentreOf("minbutton"));
  EXPECT_TRUE(WaitFor([&] { return frame_->FrameState() == TtwFrameState::Normal && form_->geometry() == normal; }));
  Click(CentreOf("closebutton"));
  EXPECT_TRUE(WaitFor([&] { return !form_->isVisible(); }));
}

TEST_P(RealFrame, AltSpaceOpensTheSystemMenuBelowItsButton) {
  ShowActive();
  Xdo({"key", "alt+space"});
  ASSERT_TRUE(WaitFor([&] { return frame_->SystemMenuOpen(); }));
  const TRect b = frame_->FindObject("sysmenubutton")->ObjectRect;
  EXPECT_EQ(frame_->SkinMenu()->Level(0)->pos(), Global(QPoint(b.Left, b.Bottom)));
  QStringList names;
  for (QAction* a : frame_->SystemMenuItems()->actions()) names << a->objectName();
  EXPECT_EQ(names, QStringList({"TWF_MINITEM", "TWF_MAXITEM", "TWF_ROLLUP", "", "TWF_CLOSE"}));
  Xdo({"key", "Escape"});
  EXPECT_TRUE(WaitFor([&] { return !frame_->SystemMenuOpen(); }));
}

TEST_P(RealFrame, SystemMenuEntryRunsItsCommand) {
  ShowActive();
  Click(QPoint(150, 12));
  const QPoint g = Global(QPoint(150, 12));
  Xdo({"click", "3"});
  ASSERT_TRUE(WaitFor([&] { return frame_->SystemMenuOpen(); }));
  EXPECT_EQ(frame_->SkinMenu()->Level(0)->pos(), g);
  Xdo({"key", "l"});  // "Ro&llUp"
  EXPECT_TRUE(WaitFor([&] { return frame_->RolledUp(); }));
}

TEST_P(RealFrame, DeactivatingSwitchesTheCaptionToItsInactiveLook) {
  ShowActive();
  const QPoint close = Global(CentreOf("closebutton"));
  const QImage active = QGuiApplication::primaryScreen()->grabWindow(0, close.x() - 10, close.y() - 10, 20, 20).toImage();
  QWidget other;
  DeactivateBy(other);
  QTest::qWait(150);
  const QImage inactive = QGuiApplication::primaryScreen()->grabWindow(0, close.x() - 10, close.y() - 10, 20, 20).toImage();
  EXPECT_NE(active, inactive);
}

INSTANTIATE_TEST_SUITE_P(Frame, RealFrame, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "openbox" : "noWindowManager"; });

}  // namespace
