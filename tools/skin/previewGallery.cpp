// The preview's gallery: every skinned control the engine has, built by the
// same classes the program uses, in its normal, hot, down, disabled,
// focused, checked and rolled-up states.
#include "tools/skin/previewGallery.h"

#include <QApplication>
#include <QAction>
#include <QActionGroup>
#include <QEnterEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

#include "platform/Align.h"
#include "platform/ImageList.h"
#include "skin/boxes/twCalendar.h"
#include "skin/boxes/twSkinComboBox.h"
#include "skin/boxes/twSkinEdits.h"
#include "skin/boxes/twSkinListBox.h"
#include "skin/controls/twSkinBars.h"
#include "skin/controls/twSkinButtons.h"
#include "skin/controls/twSkinLabels.h"
#include "skin/controls/twSkinPanels.h"
#include "skin/controls/twSkinScrollBar.h"
#include "skin/controls/twSkinTreeView.h"
#include "skin/data/twSkinData.h"
#include "skin/form/twSkinForm.h"
#include "skin/menus/twSkinHint.h"
#include "skin/menus/twSkinImagesMenu.h"
#include "skin/menus/twSkinMenus.h"

namespace {

// An edit that shows its focused look while another control has the focus.
class TFocusedLookEdit : public TtwSkinEdit {
 public:
  using TtwSkinEdit::TtwSkinEdit;

 protected:
  bool LooksFocused() const override { return true; }
};

template <class T>
T* Make(QWidget* parent, TtwSkinData* data, const QString& caption, const QRect& r) {
  auto* w = new T(parent);
  w->SetSkinData(data);
  if constexpr (requires { w->SetCaption(caption); }) w->SetCaption(caption);
  w->SetBounds(r.x(), r.y(), r.width(), r.height());
  return w;
}

}  // namespace

TGalleryForm::TGalleryForm(TtwSkinData* data, QWidget* parent) : TForm(parent), data_(data) {
  SetCaption(QStringLiteral("Skin gallery"));
  resize(910, 640);
  QFont font(QStringLiteral("Tahoma"));
  font.setPixelSize(13);
  setFont(font);

  // Tool bar with speed buttons.
  auto* bar = Make<TtwSkinToolBar>(this, data, QString(), QRect(0, 0, 910, 30));
  bar->SetAlign(TAlign::alTop);
  int x = 2;
  for (const char* name : {"Normal", "Hot", "Down", "Disabled"}) {
    auto* b = Make<TtwSkinSpeedButton>(bar, data, QString::fromLatin1(name), QRect(x, 0, 70, 25));
    b->SetUseSkinSize(false);
    if (QLatin1String(name) == "Hot") hot_ << b;
    if (QLatin1String(name) == "Down") {
      b->SetGroupIndex(1);
      b->SetDown(true);
    }
    if (QLatin1String(name) == "Disabled") b->SetEnabled(false);
    x += 72;
  }
  auto* menuButton = Make<TtwSkinMenuSpeedButton>(bar, data, QStringLiteral("Menu"), QRect(x, 0, 80, 25));
  menuButton->SetUseSkinSize(false);
  auto* menu = new TtwSkinPopupMenu(this);
  menu->SetSkinData(data);
  menu->addAction(QStringLiteral("First"));
  menu->addAction(QStringLiteral("Second"));
  menuButton->SetSkinPopupMenu(menu);
  menuButton->SetTrackButtonMode(true);
  x += 82;
  // Shows the colour chosen in the images menu below.
  auto* colourButton = Make<TtwSkinMenuSpeedButton>(bar, data, QStringLiteral("Colour"), QRect(x, 0, 100, 25));
  colourButton->SetUseSkinSize(false);
  colourButton->SetSpacing(4);

  // Push buttons in every state.
  x = 10;
  // "&Normal" shows its accelerator underlined (Alt+N).
  for (const char* name : {"&Normal", "Hot", "Down", "Disabled", "Focused", "Default"}) {
    auto* b = Make<TtwSkinButton>(this, data, QString::fromLatin1(name), QRect(x, 42, 96, 25));
    const QLatin1String n(name);
    if (n == "Hot") hot_ << b;
    if (n == "Down") {
      b->SetGroupIndex(3);
      b->SetDown(true);
    }
    if (n == "Disabled") b->SetEnabled(false);
    if (n == "Focused") focused_ = b;
    if (n == "Default") b->SetDefault(true);
    if (n == "&Normal") {
      b->setToolTip(QStringLiteral("A hint of two lines@from one text"));
      b->SetHintTitle(QStringLiteral("Skinned hint"));
      hinted_ = b;
    }
    x += 104;
  }

  // Panels and group boxes.
  auto* panel = Make<TtwSkinPanel>(this, data, QString(), QRect(10, 80, 150, 100));
  Make<TtwSkinLabel>(panel, data, QStringLiteral("A panel"), QRect(10, 10, 120, 21));
  auto* group = Make<TtwSkinGroupBox>(this, data, QStringLiteral("Group box"), QRect(170, 80, 170, 100));
  group->SetCheckedMode(true);
  group->SetChecked(true);
  Make<TtwSkinButton>(group, data, QStringLiteral("Inside"), QRect(20, 40, 96, 25));
  auto* rolled = Make<TtwSkinGroupBox>(this, data, QStringLiteral("Rolled up"), QRect(350, 80, 160, 100));
  rolled->SetRollUpMode(true);
  rolled->SetRollUpState(true);
  auto* clear = Make<TtwSkinGroupBox>(this, data, QStringLiteral("See-through"), QRect(520, 80, 170, 100));
  clear->SetTransparentMode(true);
  Make<TtwSkinLabel>(clear, data, QStringLiteral("Label"), QRect(10, 40, 100, 21))->SetBorderStyle(bvNone);

  // Labels.
  auto* label = Make<TtwSkinLabel>(this, data, QStringLiteral("Label"), QRect(10, 190, 120, 21));
  label->SetAlignment(taCenter);
  auto* shadow = Make<TtwSkinLabel>(this, data, QStringLiteral("Shadowed label"), QRect(140, 190, 140, 21));
  shadow->SetShadowEffect(true);
  auto* ellipsis =
      Make<TtwSkinLabel>(this, data, QStringLiteral("A label whose text is far too long"), QRect(290, 190, 140, 21));
  ellipsis->SetEllipsType(twetEllips);
  Make<TtwSkinLabel>(this, data, QStringLiteral("Disabled"), QRect(440, 190, 100, 21))->SetEnabled(false);

  // A splitter between two aligned panels, a tree and a combo box.
  auto* area = Make<TtwSkinPanel>(this, data, QString(), QRect(10, 222, 330, 160));
  area->SetBorderStyle(bvNone);
  auto* left = Make<TtwSkinGroupBox>(area, data, QStringLiteral("Tree"), QRect(0, 0, 150, 160));
  left->SetAlign(TAlign::alLeft);
  auto* tree = new TtwSkinTreeView(left);
  tree->SetSkinData(data);
  tree->SetAlign(TAlign::alClient);
  TTreeNode* root = tree->Items().AddChild(nullptr, QStringLiteral("Category"));
  tree->Items().AddChild(root, QStringLiteral("First note"));
  tree->Items().AddChild(root, QStringLiteral("Second note"));
  root->setExpanded(true);
  auto* splitter = new TtwSkinSplitter(area);
  splitter->SetBounds(150, 0, 5, 160);
  splitter->SetAlign(TAlign::alLeft);
  splitter->SetSkinData(data);
  auto* right = Make<TtwSkinPanel>(area, data, QString(), QRect(160, 0, 170, 160));
  right->SetAlign(TAlign::alClient);
  // A list box with a caption bar and more items than rows, in the free panel.
  auto* list = new TtwSkinListBox(right);
  list->SetSkinDataName(QStringLiteral("captionlistbox"));
  list->SetCaptionMode(true);
  list->SetCaption(QStringLiteral("List box"));
  list->SetSkinData(data);
  QStringList names;
  for (const char* n : {"Work", "Home", "Ideas", "Reading", "Travel", "Recipes", "Letters", "Music", "Garden"})
    names << QString::fromLatin1(n);
  list->SetItems(names);
  list->SetItemIndex(1);
  list->SetBounds(8, 8, 154, 144);

  // Scroll bars: a hot thumb, a pressed thumb, and a vertical bar over a
  // horizontal one that keeps the corner free ("both").
  auto* bars = Make<TtwSkinPanel>(this, data, QString(), QRect(350, 400, 170, 160));
  auto scrollBar = [&](TScrollBarKind kind, const QRect& r, int position) {
    auto* b = new TtwSkinScrollBar(bars);
    b->SetSkinData(data);
    b->SetKindAsDesigned(kind);
    b->SetBounds(r.x(), r.y(), r.width(), r.height());
    b->SetParams(0, 99, 20, position);
    return b;
  };
  hotBar_ = scrollBar(sbHorizontal, QRect(8, 8, 150, 17), 30);
  pressedBar_ = scrollBar(sbHorizontal, QRect(8, 32, 150, 17), 60);
  scrollBar(sbVertical, QRect(141, 56, 17, 80), 0);
  scrollBar(sbHorizontal, QRect(8, 136, 150, 17), 80)->SetBoth(true);
  // Combo boxes: one closed, one whose list is open in an active window.
  auto* combo = new TtwSkinComboBox(this);
  combo->SetSkinData(data);
  combo->SetItems({QStringLiteral("Combo box"), QStringLiteral("Second")});
  combo->SetItemIndex(0);
  combo->SetBounds(550, 222, 140, 22);
  openCombo_ = new TtwSkinComboBox(this);
  openCombo_->SetSkinData(data);
  openCombo_->SetItems({QStringLiteral("Open combo box"), QStringLiteral("Second item"), QStringLiteral("Third item")});
  openCombo_->SetItemIndex(0);
  openCombo_->SetBounds(350, 138, 160, 22);
  // The edit style: a typed prefix completed, the rest selected.
  auto* editCombo = new TtwSkinComboBox(this);
  editCombo->SetSkinData(data);
  editCombo->SetItems({QStringLiteral("Edit-style combo"), QStringLiteral("Second")});
  editCombo->SetStyle(twcbEditStyle);
  editCombo->SetItemIndex(0);
  editCombo->SetBounds(550, 250, 140, 22);
  editCombo->InnerEdit()->setSelection(4, 12);

  // A tool bar too short for its buttons scrolls them between two arrows.
  scrolled_ = Make<TtwSkinToolBar>(this, data, QString(), QRect(10, 396, 330, 30));
  scrolled_->SetScrollOffset(60);
  x = 2;
  for (const char* name : {"First", "Second", "Third", "Fourth", "Fifth", "Sixth"}) {
    Make<TtwSkinSpeedButton>(scrolled_, data, QString::fromLatin1(name), QRect(x, 0, 70, 25))->SetUseSkinSize(false);
    x += 72;
  }
  scrolled_->SetCanScroll(true);

  // Status bar with panels and a size grip.
  // Edits in their states, a button edit held down, the date edit and an
  // open calendar, in a column on the right.
  int y = 42;
  for (const char* name : {"Normal", "Hot", "Focused", "Disabled", "Read-only"}) {
    const QLatin1String n(name);
    TtwSkinEdit* e = n == "Focused" ? new TFocusedLookEdit(this) : new TtwSkinEdit(this);
    e->SetSkinData(data);
    e->setText(QStringLiteral("%1 edit").arg(n));
    e->SetBounds(705, y, 190, 22);
    if (n == "Hot") hot_ << e;
    if (n == "Disabled") e->SetEnabled(false);
    if (n == "Read-only") e->setReadOnly(true);
    y += e->height() + 4;
  }
  buttonEdit_ = new TtwSkinButtonEdit(this);
  buttonEdit_->SetSkinData(data);
  buttonEdit_->setText(QStringLiteral("Button held down"));
  buttonEdit_->SetBounds(705, y, 190, 22);
  y += buttonEdit_->height() + 4;
  auto* date = new TtwSkinDateEdit(this);
  date->SetSkinData(data);
  date->SetEditMask(QStringLiteral("!0000/99/99;1; "));
  date->SetDate(QDateTime(QDate(2013, 5, 15), QTime()));
  date->SetBounds(705, y, 190, 22);
  y += date->height() + 6;
  auto* calendar = new TtwSkinMonthCalendar(this);
  calendar->SetSkinData(data);
  calendar->SetDate(QDateTime(QDate(2013, 5, 15), QTime()));
  calendar->SetBounds(705, y, 200, 150);

  auto* status = Make<TtwSkinStatusBar>(this, data, QString(), QRect(0, 440, 910, 30));
  status->SetAlign(TAlign::alBottom);
  status->SetSizeGrip(true);
  auto* p1 = Make<TtwSkinStatusPanel>(status, data, QStringLiteral("Ready"), QRect(0, 0, 120, 30));
  p1->SetAlign(TAlign::alLeft);
  auto* p2 = Make<TtwSkinStatusPanel>(status, data, QStringLiteral("Status panel"), QRect(0, 0, 160, 30));
  p2->SetAlign(TAlign::alLeft);

  // A menu with every kind of entry, and a hint.
  menuItems_ = new QMenu(this);
  QAction* add = menuItems_->addAction(QStringLiteral("&New note"));
  add->setShortcut(QKeySequence(QStringLiteral("Ctrl+N")));
  menuItems_->addAction(QStringLiteral("&Open..."));
  menuItems_->addSeparator();
  auto* view = new QMenu(QStringLiteral("&View"), menuItems_);
  auto* order = new QActionGroup(view);
  for (const char* c : {"By &title", "By &date"}) {
    QAction* a = view->addAction(QString::fromLatin1(c));
    a->setCheckable(true);
    a->setActionGroup(order);
  }
  order->actions().first()->setChecked(true);
  view->addSeparator();
  view->addAction(QStringLiteral("-Columns-"))->setEnabled(false);
  view->addAction(QStringLiteral("&Category"));
  menuItems_->addMenu(view);
  QAction* wrap = menuItems_->addAction(QStringLiteral("&Word wrap"));
  wrap->setCheckable(true);
  wrap->setChecked(true);
  menuItems_->addAction(QStringLiteral("&Print"))->setEnabled(false);
  menuItems_->addSeparator();
  QAction* close = menuItems_->addAction(QStringLiteral("&Close"));
  close->setObjectName(QStringLiteral("TWF_CLOSE"));
  menu_ = new TtwSkinMenu(this);
  hint_ = new TtwSkinHint(this);
  hint_->SkinData = data;

  // An images menu of note colours with header rows and a text button.
  auto* swatches = new TImageList(this);
  const QRgb colours[] = {0xFFF5D76E, 0xFFF4A261, 0xFFE76F51, 0xFFD62828, 0xFF8AB17D, 0xFF2A9D8F,
                          0xFF3D7BD9, 0xFF6C5CE7, 0xFFB8C0CC, 0xFF6B7785, 0xFF264653, 0xFFFFFFFF};
  for (QRgb c : colours) {
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(QColor(0, 0, 0, 90));
    p.setBrush(QColor::fromRgb(c));
    p.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3, 3);
    p.end();
    swatches->Add(pm);
  }
  imagesMenu_ = new TtwSkinImagesMenu(this);
  imagesMenu_->SetImages(swatches);
  imagesMenu_->SetSkinData(data);
  imagesMenu_->SetColumnsCount(6);
  auto entry = [this](int image, const QString& caption, bool button, bool header) {
    TtwImagesMenuItem it;
    it.ImageIndex = image;
    it.Caption = caption;
    it.Button = button;
    it.Header = header;
    imagesMenu_->ImagesItems.push_back(it);
  };
  entry(-1, QStringLiteral("Note colours"), false, true);
  for (int i = 0; i < 8; ++i) entry(i, QString(), false, false);
  entry(-1, QStringLiteral("Greys"), false, true);
  for (int i = 8; i < 12; ++i) entry(i, QString(), false, false);
  entry(-1, QStringLiteral("More colours..."), true, false);
  imagesMenu_->SetItemIndex(3);
  colourButton->SetSkinImagesMenu(imagesMenu_);
  colourButton->SetUseImagesMenuImage(true);

  frame_ = new TtwSkinForm(this);
  frame_->SetSkinData(data);
}

TGalleryForm::~TGalleryForm() {
  // The open menu, the hint and the focus go while every control still
  // stands: focus handlers walk the window's controls.
  menu_->CloseMenu();
  imagesMenu_->CloseUp(false);
  openCombo_->CloseUp(false);
  hint_->HideSkinHint();
  if (QWidget* f = QApplication::focusWidget(); f && isAncestorOf(f)) f->clearFocus();
}

void TGalleryForm::SetStates(bool active) {
  for (QWidget* w : hot_) {
    QEnterEvent e(QPointF(2, 2), QPointF(2, 2), w->mapToGlobal(QPointF(2, 2)));
    QApplication::sendEvent(w, &e);
  }
  if (focused_ && active) {
    focused_->setFocus(Qt::TabFocusReason);
    focused_->update();
  }
  if (buttonEdit_) {
    const QPointF at = buttonEdit_->ButtonArea().center();
    QMouseEvent press(QEvent::MouseButtonPress, at, buttonEdit_->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(buttonEdit_, &press);
  }
  // Scrolled a step, so both ends hide a button; the right arrow is hot.
  if (scrolled_->ScrollPos() == 0) scrolled_->ScrollStep(true);
  scrolled_->ScrollMouseMove(kHitScrollRight);
  auto thumbEvent = [](TtwSkinScrollBar* bar, QEvent::Type type) {
    const QPointF at(bar->Parts().Thumb.ToQ().center());
    QMouseEvent e(type, at, bar->mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                  type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(bar, &e);
  };
  thumbEvent(hotBar_, QEvent::MouseMove);
  if (!pressedBar_->Dragging()) thumbEvent(pressedBar_, QEvent::MouseButtonPress);
  if (!active) return;
  // The images menu hangs in the free space right of the scroll bars, one
  // cell hot; low enough in the window and it would be pushed up the screen.
  const QPoint below = mapToGlobal(QPoint(540, 424));
  imagesMenu_->Popup(TRect{below.x(), below.y() - 24, below.x() + 80, below.y()});
  if (auto* w = imagesMenu_->PopupWindow()) w->SetHotEntry(7);
  openCombo_->DropDown();
  openCombo_->PopupList()->SetItemIndex(1);
  // The menu opens in the free space right of the tree, its "View" entry's
  // sub-menu beside it; the hint hangs below the first push button.
  const QPoint at = mapToGlobal(QPoint(360, 254));
  menu_->PopupMenuItems(nullptr, data_, false, menuItems_, TRect{at.x(), at.y(), at.x(), at.y()}, 0);
  for (int i = 0; i < 2; ++i) menu_->KeyDown(Qt::Key_Down);
  menu_->KeyDown(Qt::Key_Right);
  if (hinted_) hint_->ShowControlHint(hinted_, hinted_->toolTip(), hinted_->mapToGlobal(QPoint(20, 8)));
}
