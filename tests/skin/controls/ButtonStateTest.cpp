// Button state through every event that changes it (one transition point),
// which picture each state shows, the skin faults of the button family:
// the mask of a button that keeps its own size, the timers of flat and
// see-through speed buttons, accelerators and the menu button's body.
#include <QLineEdit>
#include <QTest>
#include <functional>

#include "QtApp.h"
#include "SkinFixture.h"
#include "platform/Clock.h"
#include "platform/Form.h"
#include "platform/ImageList.h"
#include "skin/controls/twSkinBars.h"
#include "skin/controls/twSkinButtons.h"

namespace {

using twtest::From;
using twtest::TFixtureSkin;

class ButtonState : public ::testing::Test {
 protected:
  void SetUp() override { twtest::ParkPointer(); }
};

TEST_F(ButtonState, EveryEventLeavesTheButtonInTheStateTheTableNames) {
  TwManualClock clock;
  TForm form;
  form.resize(300, 100);
  auto* b = new TtwSkinButton(&form);
  b->SetBounds(10, 10, 80, 25);
  b->SetRepeatMode(true);
  b->SetRepeatInterval(100);
  auto* other = new QLineEdit(&form);
  other->setGeometry(10, 50, 80, 20);
  int clicks = 0;
  b->OnClick = [&] { ++clicks; };
  form.show();
  QApplication::setActiveWindow(&form);
  b->setFocus();
  QApplication::processEvents();

  const QPoint in(5, 5), out(200, 5);
  auto press = [&] { QTest::mousePress(b, Qt::LeftButton, {}, in); };
  auto key = [&](Qt::Key k, bool down) {
    QKeyEvent e(down ? QEvent::KeyPress : QEvent::KeyRelease, k, Qt::NoModifier);
    QApplication::sendEvent(b, &e);
  };
  struct Step {
    const char* what;
    std::function<void()> act;
    bool down, repeat;
    int clicks;
  };
  const Step steps[] = {
      {"press", press, true, true, 0},
      {"hold to just before the first delay", [&] { clock.Advance(kRepeatFirstDelayMs - 1); }, true, true, 0},
      {"first repeat", [&] { clock.Advance(1); }, true, true, 1},
      {"repeat interval", [&] { clock.Advance(100); }, true, true, 2},
      {"drag out", [&] { QTest::mouseMove(b, out); }, false, false, 2},
      {"held outside", [&] { clock.Advance(1000); }, false, false, 2},
      {"drag back", [&] { QTest::mouseMove(b, in); }, true, true, 2},
      {"release inside", [&] { QTest::mouseRelease(b, Qt::LeftButton, {}, in); }, false, false, 3},
      {"press, drag out, release outside", [&] {
         press();
         QTest::mouseMove(b, out);
         QTest::mouseRelease(b, Qt::LeftButton, {}, out);
       }, false, false, 3},
      {"Space down (repeat mode clicks)", [&] { key(Qt::Key_Space, true); }, true, false, 4},
      {"Space up", [&] { key(Qt::Key_Space, false); }, false, false, 5},
      {"Enter", [&] { key(Qt::Key_Return, true); }, false, false, 6},
      {"Space down, Escape", [&] {
         key(Qt::Key_Space, true);
         key(Qt::Key_Escape, true);
       }, false, false, 7},
      {"Space up after Escape", [&] { key(Qt::Key_Space, false); }, false, false, 7},
      {"focus-out while pressed", [&] {
         press();
         other->setFocus();
         QApplication::processEvents();
       }, false, false, 7},
      {"release after focus-out", [&] {
         clock.Advance(1000);
         QTest::mouseRelease(b, Qt::LeftButton, {}, in);
       }, false, false, 7},
      {"disable while pressed", [&] {
         press();
         b->SetEnabled(false);
       }, false, false, 7},
      {"enable, release", [&] {
         b->SetEnabled(true);
         clock.Advance(1000);
         QTest::mouseRelease(b, Qt::LeftButton, {}, in);
       }, false, false, 7},
  };
  for (const Step& s : steps) {
    s.act();
    EXPECT_EQ(b->Down(), s.down) << s.what;
    EXPECT_EQ(b->RepeatRunning(), s.repeat) << s.what;
    EXPECT_EQ(clicks, s.clicks) << s.what;
  }
  EXPECT_EQ(clock.ArmedTimers(), 0);  // nothing left waking up
}

TEST_F(ButtonState, ThePictureIsPickedByTheFirstRuleThatApplies) {
  using P = TtwButtonPicture;
  struct Case {
    const char* what;
    TtwButtonLook look;
    P windowed, speed;
  };
  TtwButtonLook idle;
  auto with = [&](auto set) {
    TtwButtonLook l = idle;
    set(l);
    return l;
  };
  const Case cases[] = {
      {"idle", idle, P::Normal, P::Normal},
      {"hot", with([](auto& l) { l.hot = l.pointerOver = true; }), P::Active, P::Active},
      {"down", with([](auto& l) { l.down = true; }), P::Down, P::Down},
      {"mid-fade", with([](auto& l) { l.morphing = true, l.fade = 0.4; }), P::Morph, P::Morph},
      {"faded in", with([](auto& l) { l.morphing = true, l.fade = 1; }), P::Active, P::Active},
      {"disabled with a piece", with([](auto& l) { l.enabled = false, l.hasDisabledPiece = true; }), P::Disabled,
       P::Disabled},
      {"disabled without one", with([](auto& l) { l.enabled = false; }), P::Normal, P::Normal},
      {"disabled mid-fade", with([](auto& l) { l.enabled = false, l.morphing = true, l.fade = 0.4; }), P::Normal,
       P::Morph},
      {"focused with a piece", with([](auto& l) { l.focused = l.hot = l.hasFocusedPiece = true; }), P::Focused,
       P::Normal},
      {"focused while frames run", with([](auto& l) { l.focused = l.hot = l.hasFocusedPiece = l.animating = true; }),
       P::Active, P::Normal},
      {"default button's hot look", with([](auto& l) { l.hot = true; }), P::Active, P::Normal},
      {"see-through idle", with([](auto& l) { l.transparent = true; }), P::Normal, P::Transparent},
      {"see-through mid-fade", with([](auto& l) { l.transparent = true, l.morphing = true, l.fade = 0.4; }), P::Morph,
       P::Transparent},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PickButtonPicture(c.look, false), c.windowed) << c.what;
    EXPECT_EQ(PickButtonPicture(c.look, true), c.speed) << c.what;
  }
}

TEST_F(ButtonState, AButtonKeepingItsOwnSizeDropsTheRecordsMask) {
  TFixtureSkin skin(twtest::kSheetTag, "[button]\r\npictureindex=0\r\n",
                    "[button]\r\npictureindex=0\r\nmaskpictureindex=1\r\n");
  TForm form;
  auto* sized = new TtwSkinButton(&form);
  sized->SetSkinData(&skin.data);
  sized->SetBounds(0, 0, 40, 10);
  EXPECT_FALSE(sized->mask().isEmpty());  // the skin's size: the skin's shape

  auto* own = new TtwSkinButton(&form);
  own->SetUseSkinSize(false);
  own->SetSkinData(&skin.data);
  own->SetBounds(0, 20, 96, 25);
  EXPECT_TRUE(own->mask().isEmpty());
  EXPECT_EQ(own->size(), QSize(96, 25));
  // Switching the rule later drops (and restores) the region at once.
  sized->SetUseSkinSize(false);
  EXPECT_TRUE(sized->mask().isEmpty());
  own->SetUseSkinSize(true);
  EXPECT_FALSE(own->mask().isEmpty());
}

TEST_F(ButtonState, AThreePieceMaskStretchesWithItsPieceAndKeepsTheEnds) {
  // A 10 x 8 button piece whose mask (picture 1) cuts its top-left 3 x 3.
  TFixtureSkin skin(twtest::kSheetTag, "[button]\r\npictureindex=0\r\nskinrect=0,0,20,10\r\nlefttoppoint=4,0\r\n"
                                       "righttoppoint=16,0\r\nclientrect=4,2,16,8\r\n",
                    "[button]\r\npictureindex=0\r\nmaskpictureindex=1\r\nskinrect=0,0,10,8\r\nlefttoppoint=4,0\r\n"
                    "righttoppoint=6,0\r\nclientrect=4,2,6,6\r\n");
  QWidget parent;
  auto* b = new TtwSkinButton(&parent);
  b->SetSkinData(&skin.data);
  b->SetBounds(0, 0, 40, 8);
  ASSERT_EQ(b->size(), QSize(40, 8));
  const QRegion shape = b->mask();
  EXPECT_FALSE(shape.contains(QPoint(1, 1)));  // the cut corner
  for (QPoint p : {QPoint(3, 0), QPoint(0, 7), QPoint(20, 7), QPoint(39, 0), QPoint(39, 7), QPoint(20, 0)})
    EXPECT_TRUE(shape.contains(p)) << p.x() << "," << p.y();
}

TEST_F(ButtonState, FlatAndSeeThroughSpeedButtonsRunNoTimers) {
  TwManualClock clock;
  TFixtureSkin skin(twtest::kSheetTag, "[toolbutton]\r\npictureindex=0\r\n",
                    "[toolbutton]\r\npictureindex=0\r\nmorphing=1\r\nframecount=3\r\nanimateinterval=20\r\n"
                    "animateskinrect=20,40,80,50\r\n");
  QWidget parent;
  auto* plain = new TtwSkinSpeedButton(&parent);
  auto* flat = new TtwSkinSpeedButton(&parent);
  auto* clear = new TtwSkinSpeedButton(&parent);
  flat->SetFlat(true);
  clear->SetTransparent(true);
  for (TtwSkinSpeedButton* b : {plain, flat, clear}) {
    b->SetSkinData(&skin.data);
    b->SetBounds(0, 0, 40, 10);
  }
  parent.show();
  for (TtwSkinSpeedButton* b : {plain, flat, clear}) {
    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
    QApplication::sendEvent(b, &enter);
  }
  EXPECT_TRUE(plain->MorphRunning());
  EXPECT_TRUE(plain->AnimationRunning());
  // A flat button shows neither fade nor frames; a see-through one has no
  // picture to fade from (its hot look still plays the frames).
  EXPECT_FALSE(flat->MorphRunning());
  EXPECT_FALSE(flat->AnimationRunning());
  EXPECT_FALSE(clear->MorphRunning());
  EXPECT_TRUE(clear->AnimationRunning());
  clock.Advance(1000);
  EXPECT_EQ(clock.ArmedTimers(), 0);
}

TEST_F(ButtonState, CaptionAcceleratorClicksTheButton) {
  TForm form;
  auto* edit = new QLineEdit(&form);
  auto* b = new TtwSkinButton(&form);
  b->SetBounds(0, 30, 96, 25);
  b->SetCaption(QStringLiteral("&Save"));
  auto* s = new TtwSkinSpeedButton(&form);
  s->SetBounds(0, 60, 96, 25);
  s->SetCaption(QStringLiteral("&Open"));
  int saves = 0, opens = 0;
  b->OnClick = [&] { ++saves; };
  s->OnClick = [&] { ++opens; };
  form.show();
  QApplication::setActiveWindow(&form);
  edit->setFocus();
  QApplication::processEvents();
  QTest::keyClick(edit, Qt::Key_S, Qt::AltModifier);
  EXPECT_EQ(saves, 1);
  EXPECT_TRUE(b->hasFocus());
  QTest::keyClick(b, Qt::Key_O, Qt::AltModifier);
  EXPECT_EQ(opens, 1);
  // The "&" is not drawn: the caption measures as "Save" does, underlined.
  b->SetCaption(QStringLiteral("Save"));
  const QImage plain = b->RenderFace();
  b->SetCaption(QStringLiteral("&Save"));
  const QImage marked = b->RenderFace();
  int differing = 0, rows = 0;
  for (int y = 0; y < 25; ++y) {
    int d = 0;
    for (int x = 0; x < 96; ++x) d += plain.pixel(x, y) != marked.pixel(x, y);
    differing += d;
    rows += d > 0;
  }
  EXPECT_GT(differing, 2);
  EXPECT_LE(rows, 2);  // only the underline differs
}

// ---------------------------------------------------------------- menu button

class MenuButtonBody : public ::testing::Test {
 protected:
  void SetUp() override {
    twtest::ParkPointer();
    button = new TtwSkinMenuSpeedButton(&window);
    button->SetSkinDataName(QStringLiteral("toolbutton"));
    button->SetSkinData(&skin.data);
    button->SetUseSkinSize(false);
    button->SetBounds(0, 0, 60, 20);
  }
  TFixtureSkin skin;
  QWidget window;
  TtwSkinMenuSpeedButton* button = nullptr;
};

TEST_F(MenuButtonBody, SplitRecordsDrawTheArrowStripFromItsOwnStatePicture) {
  TtwSkinPopupMenu menu;
  menu.addAction(QStringLiteral("First"));
  button->SetSkinPopupMenu(&menu);
  button->SetTrackButtonMode(true);
  window.show();
  ASSERT_EQ(button->ArrowStrip(), QRect(45, 0, 15, 20));
  // Idle: both parts from the normal picture, each with its own left end.
  QImage face = button->RenderFace();
  EXPECT_EQ(From(face, 0, 0), QPoint(0, 0));
  EXPECT_EQ(From(face, 45, 0), QPoint(0, 0));
  EXPECT_EQ(From(face, 59, 19), QPoint(19, 9));
  // Tracked (menu open): the main part hot, the strip pressed.
  QTest::mousePress(button, Qt::LeftButton, {}, QPoint(50, 10));
  ASSERT_TRUE(button->MenuTracked());
  face = button->RenderFace();
  EXPECT_EQ(From(face, 0, 0), QPoint(0, 10));
  EXPECT_EQ(From(face, 44, 19), QPoint(19, 19));
  EXPECT_EQ(From(face, 45, 0), QPoint(0, 20));
  menu.hide();
  QCoreApplication::processEvents();
}

TEST_F(MenuButtonBody, TheStandardArrowReplacesTheDropMark) {
  const QImage mark = button->RenderFace();
  button->SetDrawStandardArrow(true);
  button->SetArrowType(1);  // left
  const QImage left = button->RenderFace();
  button->SetArrowType(2);  // right
  const QImage right = button->RenderFace();
  EXPECT_NE(mark, left);
  EXPECT_NE(left, right);
  // Everything outside the 15-pixel strip stays as it was.
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 45; ++x) ASSERT_EQ(mark.pixel(x, y), left.pixel(x, y)) << x << "," << y;
}

TEST_F(MenuButtonBody, ContentAreaStopsAtTheArrowStrip) {
  struct TCase {
    bool newStyle;
    TtwTrackPosition position;
    QSize size;
    TRect area, want;
  };
  const TCase cases[] = {
      {false, twtpRight, {60, 20}, {4, 2, 56, 18}, {4, 2, 45, 18}},
      {false, twtpRight, {60, 20}, {4, 2, 41, 18}, {4, 2, 41, 18}},  // already clear
      {false, twtpBottom, {60, 20}, {0, 0, 60, 20}, {0, 0, 45, 20}},  // bottom needs NewStyle
      {true, twtpBottom, {40, 40}, {4, 2, 36, 38}, {4, 2, 36, 25}},
      {false, twtpRight, {12, 20}, {0, 0, 12, 20}, {0, 0, -3, 20}},  // narrower than the strip: no room
  };
  for (const TCase& c : cases) {
    button->SetNewStyle(c.newStyle);
    button->SetTrackPosition(c.position);
    button->SetBounds(0, 0, c.size.width(), c.size.height());
    EXPECT_EQ(button->ContentArea(c.area).ToQ(), c.want.ToQ()) << c.size.width() << "x" << c.size.height();
  }
}

// Outside track mode, at narrow widths: the caption never runs over the
// arrow, and a caption too long for its room is drawn as a prefix of itself
// ending in "..." (its accelerator mark dropped).
TEST_F(MenuButtonBody, ACaptionTooLongForItsRoomEndsInDotsLeftOfTheArrow) {
  struct TCase {
    const char* name;
    bool skinned, glyph;
    int width;
  };
  const QString longCaption = QStringLiteral("&Colours of the rainbow");
  QImage glyph(12, 12, QImage::Format_RGB32);
  glyph.fill(qRgb(0, 160, 0));
  for (const TCase& c : {TCase{"skinned", true, false, 60}, TCase{"skinned, glyph", true, true, 70},
                         TCase{"default look", false, false, 50}, TCase{"default, glyph", false, true, 64}}) {
    SCOPED_TRACE(c.name);
    button->SetSkinData(c.skinned ? &skin.data : nullptr);
    button->SetGlyph(c.glyph ? glyph : QImage());
    button->SetBounds(0, 0, c.width, 20);
    const int stripLeft = button->ArrowStrip().left();
    auto face = [&](const QString& caption) {
      button->SetCaption(caption);
      return button->RenderFace();
    };
    const QImage bare = face(QString()), shown = face(longCaption);
    for (int y = 0; y < 20; ++y)
      for (int x = stripLeft; x < c.width; ++x) ASSERT_EQ(shown.pixel(x, y), bare.pixel(x, y)) << x << "," << y;
    const QString plain = longCaption.mid(1);
    int match = -1;
    for (int k = 1; k < plain.size() && match == -1; ++k)
      if (face(plain.left(k) + QStringLiteral("...")) == shown) match = k;
    EXPECT_NE(match, -1) << "not drawn as a prefix and \"...\"";
    // A caption that fits is left alone.
    EXPECT_NE(face(QStringLiteral("Go")), face(QStringLiteral("G...")));
  }
}

}  // namespace

// ---- the images-menu link ------------------------------------------------------

namespace {

class MenuButtonImages : public ::testing::Test {
 protected:
  void SetUp() override {
    twtest::ParkPointer();
    for (QRgb c : {0xFFFF0000u, 0xFF00A000u, 0xFF0000FFu}) {
      QPixmap p(16, 16);
      p.fill(QColor::fromRgb(c));
      images.Add(p);
    }
    menu.SetImages(&images);
    menu.SetColumnsCount(3);
    menu.SetWorkAreaOverride(TRect{0, 0, 1600, 1200});
    for (int i = 0; i < 3; ++i) {
      TtwImagesMenuItem it;
      it.ImageIndex = i;
      it.Caption = QStringLiteral("Colour %1").arg(i);
      menu.ImagesItems.push_back(it);
    }
    window.resize(200, 100);
    button = new TtwSkinMenuSpeedButton(&window);
    button->SetBounds(10, 10, 70, 24);
    button->SetCaption(QStringLiteral("Pick"));
    button->SetSkinImagesMenu(&menu);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  }
  void Press() { QTest::mousePress(button, Qt::LeftButton, {}, QPoint(20, 12)); }
  static int Count(const QImage& img, QRgb c) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x) n += (img.pixel(x, y) | 0xFF000000u) == c;
    return n;
  }
  TImageList images;
  TtwSkinImagesMenu menu;
  QWidget window;
  TtwSkinMenuSpeedButton* button = nullptr;
};

}  // namespace

TEST_F(MenuButtonImages, OpensUnderItselfStaysDownUntilClosedAndShowsTheChoice) {
  button->SetUseImagesMenuImage(true);
  button->SetUseImagesMenuCaption(true);
  Press();
  ASSERT_TRUE(menu.Opened());
  EXPECT_TRUE(button->MenuTracked());
  EXPECT_TRUE(button->Down());
  const QPoint under = button->mapToGlobal(QPoint(0, button->height()));
  EXPECT_GE(menu.PopupWindow()->geometry().top(), under.y());
  EXPECT_EQ(menu.PopupWindow()->geometry().left(), under.x());
  // The release of the opening press belongs to the menu.
  QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(20, 12));
  EXPECT_TRUE(button->Down());

  QTest::mouseClick(menu.PopupWindow(), Qt::LeftButton, {}, menu.PopupWindow()->EntryRect(2).ToQ().center());
  QCoreApplication::processEvents();
  EXPECT_FALSE(menu.Opened());
  EXPECT_EQ(menu.ItemIndex(), 2);
  EXPECT_FALSE(button->MenuTracked());
  EXPECT_FALSE(button->Down());
  EXPECT_EQ(Count(button->RenderFace(), 0xFF0000FFu), 16 * 16);

  // Without the picture switch the button keeps its own look.
  button->SetUseImagesMenuImage(false);
  EXPECT_EQ(Count(button->RenderFace(), 0xFF0000FFu), 0);

  // Closed without a choice: up again, the choice kept.
  Press();
  ASSERT_TRUE(menu.Opened());
  menu.CloseUp(false);
  EXPECT_FALSE(button->Down());
  EXPECT_EQ(menu.ItemIndex(), 2);
}

TEST_F(MenuButtonImages, AMenuThatCannotOpenOrGoesAwayLeavesTheButtonUp) {
  // Nothing to show: it closes inside Popup, and the button hears it.
  std::vector<TtwImagesMenuItem> all = std::move(menu.ImagesItems);
  menu.ImagesItems.clear();
  Press();
  EXPECT_FALSE(menu.Opened());
  EXPECT_FALSE(button->MenuTracked());
  EXPECT_FALSE(button->Down());
  QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(20, 12));

  // Destroyed while open.
  auto* doomed = new TtwSkinImagesMenu;
  doomed->SetImages(&images);
  doomed->ImagesItems = all;
  doomed->SetWorkAreaOverride(TRect{0, 0, 1600, 1200});
  button->SetSkinImagesMenu(doomed);
  Press();
  ASSERT_TRUE(doomed->Opened());
  delete doomed;
  EXPECT_FALSE(button->Down());
  EXPECT_EQ(button->SkinImagesMenu(), nullptr);
  EXPECT_TRUE(button->TrackArea().isEmpty());
  (void)button->RenderFace();
}
