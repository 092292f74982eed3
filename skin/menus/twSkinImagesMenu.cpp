// The images menu and its popup. Guarantees: an open popup is the menu's
// only one and goes (with its event filter and grab) when the menu closes or
// is destroyed; the keyboard never lands on a header; nothing opens, and
// nothing is indexed, without pictures and entries.
#include "skin/menus/twSkinImagesMenu.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

#include "platform/Application.h"
#include "platform/Form.h"
#include "platform/ImageList.h"
#include "skin/data/twSkinData.h"
#include "skin/data/twSkinRecords.h"
#include "skin/draw/twGuard.h"
#include "skin/draw/twUtils.h"
#include "skin/menus/twMenuGeometry.h"
#include "skin/menus/twSkinHint.h"
#include "skin/menus/twSkinMenuItem.h"

namespace {

constexpr int kCellPadding = 10;  // a cell is its picture + 5 on every side
constexpr int kPictureInset = 5;
constexpr int kPlainMargin = 5;
constexpr int kMaxColumns = 50;
// The plain look's cell colours (0x00BBGGRR): navy frame, pressed and hot fills.
constexpr TColor kPlainFrame = 8388608;
constexpr TColor kPlainPressed = 11899781;
constexpr TColor kPlainHot = 13811126;

template <class T>
const T* ControlRecord(const TtwSkinData* data, const char* name) {
  if (!data || data->Empty()) return nullptr;
  const int i = data->FindControlIndex(QLatin1String(name));
  return i >= 0 ? dynamic_cast<const T*>(data->ControlRecords().at(i)) : nullptr;
}

// The cells' record: "menuitembutton", else "resizebutton".
const TtwDataSkinButtonControl* CellRecord(const TtwSkinData* data) {
  const auto* r = ControlRecord<TtwDataSkinButtonControl>(data, "menuitembutton");
  return r ? r : ControlRecord<TtwDataSkinButtonControl>(data, "resizebutton");
}

// The headers' record, only with a piece that can be drawn: an empty one
// would give headers no height.
const TtwDataSkinLabelControl* LabelRecord(const TtwSkinData* data) {
  const auto* r = ControlRecord<TtwDataSkinLabelControl>(data, "label");
  return r && !r->skinrect.IsEmpty() && data->ActivePicture(r->pictureindex) ? r : nullptr;
}

const TtwDataSkinMenuItem* MenuItemObject(const TtwSkinData* data) {
  if (!data || data->Empty()) return nullptr;
  int i = data->FindObjectIndex(QStringLiteral("menuitem"));
  if (i < 0) i = data->FindObjectIndex(QStringLiteral("MENUITEM"));
  return i >= 0 ? dynamic_cast<const TtwDataSkinMenuItem*>(data->ObjectRecords().at(i)) : nullptr;
}

TPieceAnchors Anchors(const TtwDataSkinCustomControl& r) {
  return {r.lefttoppoint, r.righttoppoint, r.leftbottompoint, r.rightbottompoint, r.clientrect};
}

enum class TLook { None, Hot, Pressed };

}  // namespace

// ---- geometry ------------------------------------------------------------------

TtwImagesGrid LayoutImagesGrid(const TtwImagesGridInput& in) {
  const int cw = in.Image.width() + kCellPadding, ch = in.Image.height() + kCellPadding;
  const int rw = std::max(in.Columns, 1) * cw;
  const int left = in.Start.x();
  int x = left, y = in.Start.y();
  auto endRow = [&] {
    if (x > left) y += ch + 1;
    x = left;
  };
  TtwImagesGrid g;
  for (TtwImagesEntryKind k : in.Kinds) {
    switch (k) {
      case TtwImagesEntryKind::Header: {
        endRow();
        const int h = in.HeaderHeight > 0 ? in.HeaderHeight : ch;
        g.Rects.push_back({left, y, left + rw, y + h});
        y += h + 1;
        break;
      }
      case TtwImagesEntryKind::Button:
        endRow();
        g.Rects.push_back({left, y, left + rw, y + ch});
        y += ch + 1;
        break;
      case TtwImagesEntryKind::Picture:
        g.Rects.push_back({x, y, x + cw, y + ch});
        x += cw;
        if (x + cw > left + rw) endRow();
        break;
    }
  }
  const int h = g.Rects.empty() ? 0 : g.Rects.back().Bottom - g.Rects.front().Top;
  g.Extent = QSize(rw, h);
  return g;
}

QSize ImagesMenuWindowSize(bool skinned, QSize picture, const TRect& itemsRect, QSize extent) {
  if (!skinned) return extent + QSize(2 * kPlainMargin, 2 * kPlainMargin);
  return QSize(picture.width() + extent.width() - itemsRect.Width(),
               picture.height() + extent.height() - itemsRect.Height());
}

QPoint PlaceImagesMenu(const TRect& a, QSize size, const TRect& wa) {
  int x = a.Left, y = a.Bottom;
  if (y + size.height() > wa.Bottom) y -= size.height() + a.Height();
  if (x + size.width() > wa.Right) x -= x + size.width() - wa.Right;
  x = std::max(x, wa.Left);
  y = std::max(y, wa.Top);
  return QPoint(x, y);
}

int ImagesMenuWalk(const std::vector<TtwImagesWalkEntry>& e, int hot, int key) {
  const int n = int(e.size());
  auto selectable = [&](int i) { return e[size_t(i)].Kind != TtwImagesEntryKind::Header; };
  int first = -1, last = -1;
  for (int i = 0; i < n; ++i)
    if (selectable(i)) {
      if (first < 0) first = i;
      last = i;
    }
  if (first < 0) return hot;  // only headers: nowhere to go
  if (hot < 0 || hot >= n) {
    if (key == Qt::Key_Left || key == Qt::Key_Up) return last;
    if (key == Qt::Key_Right || key == Qt::Key_Down) return first;
    return hot;
  }
  const TRect h = e[size_t(hot)].Rect;
  // Up and down keep to the column; a full-width button is in every column.
  auto inColumn = [&](int i) {
    return e[size_t(i)].Kind == TtwImagesEntryKind::Button || e[size_t(i)].Rect.Left == h.Left;
  };
  switch (key) {
    case Qt::Key_Left:
      for (int i = hot - 1; i >= 0; --i)
        if (selectable(i)) return i;
      return last;
    case Qt::Key_Right:
      for (int i = hot + 1; i < n; ++i)
        if (selectable(i)) return i;
      return first;
    case Qt::Key_Up:
      for (int i = hot - 1; i >= 0; --i)
        if (selectable(i) && e[size_t(i)].Rect.Top < h.Top && inColumn(i)) return i;
      return hot;
    case Qt::Key_Down:
      for (int i = hot + 1; i < n; ++i)
        if (selectable(i) && e[size_t(i)].Rect.Top > h.Top && inColumn(i)) return i;
      return hot;
    default:
      return hot;
  }
}

// ---- the popup -------------------------------------------------------------------

TtwSkinImagesMenuPopupWindow::TtwSkinImagesMenuPopupWindow(TtwSkinImagesMenu* menu)
    : QWidget(nullptr, Qt::Popup | Qt::FramelessWindowHint), menu_(menu) {
  // A click outside closes the popup and must not reach the window under it.
  setAttribute(Qt::WA_NoMouseReplay);
  setAttribute(Qt::WA_ShowWithoutActivating);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_X11NetWmWindowTypePopupMenu);
  setMouseTracking(true);
  fadeTimer_.OnTimeout = [this] {
    fadeValue_ = std::min<int>(menu_->AlphaBlendValue, fadeValue_ + kImagesMenuFadeStep);
    setWindowOpacity(fadeValue_ / 255.0);
    if (fadeValue_ >= menu_->AlphaBlendValue) fadeTimer_.Stop();
  };
  Build();
}

TtwSkinImagesMenuPopupWindow::~TtwSkinImagesMenuPopupWindow() = default;

void TtwSkinImagesMenuPopupWindow::Build() {
  data_ = menu_->SkinData();
  const TImageList* images = menu_->Images();
  const TtwDataSkinPopupWindow* rec = data_ && !data_->Empty() ? data_->PopupWindowRecord() : nullptr;
  const QImage* picture = rec ? data_->ActivePicture(rec->windowpictureindex) : nullptr;
  skinned_ = picture != nullptr;
  const TtwDataSkinLabelControl* label = LabelRecord(data_);

  TtwImagesGridInput in;
  in.Image = images ? QSize(images->Width(), images->Height()) : QSize();
  in.Columns = menu_->ColumnsCount();
  in.Start = skinned_ ? QPoint(rec->itemsrect.Left, rec->itemsrect.Top) : QPoint(kPlainMargin, kPlainMargin);
  in.HeaderHeight = label ? label->skinrect.Height() : 0;
  for (const TtwImagesMenuItem& it : menu_->ImagesItems) in.Kinds.push_back(it.Kind());
  const TtwImagesGrid grid = LayoutImagesGrid(in);
  items_.clear();
  for (size_t i = 0; i < grid.Rects.size(); ++i) {
    const TtwImagesMenuItem& it = menu_->ImagesItems[i];
    items_.push_back({grid.Rects[i], it.Kind(), it.ImageIndex, it.Caption, it.Hint});
  }
  const QSize size = ImagesMenuWindowSize(skinned_, picture ? picture->size() : QSize(),
                                          rec ? rec->itemsrect : TRect{}, grid.Extent);
  resize(size);
  const int W = size.width(), H = size.height();
  if (!skinned_) {
    background_ = TwNewSurface(W, H, QImage::Format_RGB32);
    if (background_.isNull()) return;
    QPainter p(&background_);
    p.fillRect(background_.rect(), ColorToQ(twsys::clWindow));
    p.setPen(ColorToQ(twsys::clBtnShadow));
    p.drawRect(0, 0, W - 1, H - 1);
    return;
  }
  // The frame anchors as a menu level's does.
  TtwMenuMetrics m;
  m.Skinned = true;
  m.PictureW = picture->width();
  m.PictureH = picture->height();
  m.LT = rec->lefttoppoint;
  m.RT = rec->righttoppoint;
  m.LB = rec->leftbottompoint;
  m.RB = rec->rightbottompoint;
  m.ItemsRect = rec->itemsrect;
  const TtwMenuFrame f = MenuFrame(m, W, H);
  itemsRect_ = f.Items;
  const TPieceAnchors a{rec->lefttoppoint, rec->righttoppoint, rec->leftbottompoint, rec->rightbottompoint,
                        rec->itemsrect};
  const TPieceAnchors n{f.LT, f.RT, f.LB, f.RB, f.Items};
  const TEdgeStretch edges{rec->leftstretch, rec->topstretch, rec->rightstretch, rec->bottomstretch};
  // The centre is left to the window colour, as a menu level leaves it:
  // skins keep other pieces inside the popup picture's centre.
  ComposeNinePiece(*picture, TRect{0, 0, picture->width(), picture->height()}, a, W, H, n, edges, false,
                   rec->stretcheffect, rec->stretchtype, background_);
  if (const QImage* mask = data_->ActivePicture(rec->maskpictureindex)) {
    const QRegion r = FrameRegionFromMask(*mask, a, n, W);
    if (!r.isEmpty()) setMask(r);
  }
}

void TtwSkinImagesMenuPopupWindow::Place(const TRect& anchor, const TRect& workArea) {
  move(PlaceImagesMenu(anchor, size(), workArea));
}

void TtwSkinImagesMenuPopupWindow::ShowPopup() {
  const bool fade = menu_->AlphaBlend && menu_->AlphaBlendAnimation;
  if (menu_->AlphaBlend) {
    fadeValue_ = fade ? 0 : menu_->AlphaBlendValue;
    setWindowOpacity(fadeValue_ / 255.0);
  }
  show();
  raise();
  // The fade runs on a timer, so the popup answers input while it fades in.
  if (fade) fadeTimer_.Start(kImagesMenuFadeStepMs);
}

void TtwSkinImagesMenuPopupWindow::Retire() {
  closed_ = true;
  fadeTimer_.Stop();
  hide();
}

int TtwSkinImagesMenuPopupWindow::EntryAt(const QPoint& p) const {
  for (int i = 0; i < Count(); ++i) {
    const Item& e = items_[size_t(i)];
    if (e.Kind != TtwImagesEntryKind::Header && e.Rect.ToQ().contains(p)) return i;
  }
  return -1;
}

void TtwSkinImagesMenuPopupWindow::SetHotEntry(int i) {
  if (i < -1 || i >= Count() || i == hot_) return;
  hot_ = i;
  HotChanged();
}

void TtwSkinImagesMenuPopupWindow::HotChanged() {
  TtwSkinHint* hint = menu_->SkinHint();
  if (menu_->ShowHints && hint) {
    hint->HideSkinHint();
    if (hot_ >= 0 && !items_[size_t(hot_)].Hint.isEmpty()) hint->ShowHintText(items_[size_t(hot_)].Hint);
  }
  update();
}

// ---- painting --------------------------------------------------------------------

QImage TtwSkinImagesMenuPopupWindow::Render() const {
  QImage img = TwNewSurface(width(), height(), QImage::Format_RGB32);
  if (img.isNull()) return img;
  QPainter p(&img);
  if (background_.hasAlphaChannel()) p.fillRect(img.rect(), ColorToQ(twsys::clWindow));
  p.drawImage(0, 0, background_);
  if (skinned_) p.fillRect(itemsRect_.ToQ(), ColorToQ(twsys::clWindow));
  for (int i = 0; i < Count(); ++i) PaintEntry(p, i);
  return img;
}

void TtwSkinImagesMenuPopupWindow::PaintEntry(QPainter& p, int i) const {
  const Item& e = items_[size_t(i)];
  const QRect r = e.Rect.ToQ();
  if (e.Kind == TtwImagesEntryKind::Header) {
    if (const TtwDataSkinLabelControl* label = LabelRecord(data_)) {
      const TRect& sr = label->skinrect;
      QImage piece;
      ComposeThreePieceH(*data_->ActivePicture(label->pictureindex), sr, label->lefttoppoint.X,
                         sr.Width() - label->righttoppoint.X, label->stretcheffect, r.width(), piece);
      p.drawImage(r.topLeft(), piece);
      const TRect& cl = label->clientrect;
      p.setFont(TwRecordFont(label->fontname, label->fontheight, label->fontstyle));
      p.setPen(ColorToQ(label->fontcolor));
      p.drawText(QRect(r.left() + cl.Left, r.top() + cl.Top, r.width() + cl.Right - sr.Width() - cl.Left,
                       sr.Height() - cl.Top),
                 Qt::AlignCenter | Qt::TextSingleLine, e.Caption);
    } else {
      p.setFont(menu_->DefaultFont);
      p.setPen(ColorToQ(twsys::clWindowText));
      p.drawText(r, Qt::AlignCenter | Qt::TextSingleLine, e.Caption);
    }
    return;
  }
  // The choice shows pressed unless another entry is being pressed.
  TLook look = TLook::None;
  if (menu_->ShowSelectedItem && menu_->ItemIndex() == i && !entryPressed_) look = TLook::Pressed;
  else if (i == hot_) look = mouseDown_ && entryPressed_ ? TLook::Pressed : TLook::Hot;

  const TtwDataSkinButtonControl* cell = skinned_ ? CellRecord(data_) : nullptr;
  const QImage* cellPicture = cell ? data_->ActivePicture(cell->pictureindex) : nullptr;
  if (look != TLook::None) {
    TRect piece = cell ? cell->activeskinrect : TRect{};
    if (cell && look == TLook::Pressed && !cell->downskinrect.IsEmpty()) piece = cell->downskinrect;
    if (cell && piece.IsEmpty()) piece = cell->skinrect;
    if (cellPicture && !piece.IsEmpty()) {
      const TPieceAnchors a = Anchors(*cell);
      const TEdgeStretch edges{cell->leftstretch, cell->topstretch, cell->rightstretch, cell->bottomstretch};
      QImage img;
      ComposeNinePiece(*cellPicture, piece, a, r.width(), r.height(),
                       ShiftAnchors(pmNinePiece, piece, a, r.width(), r.height()), edges, true, cell->stretcheffect,
                       cell->stretchtype, img);
      p.drawImage(r.topLeft(), img);
    } else {
      p.fillRect(r, ColorToQ(look == TLook::Pressed ? kPlainPressed : kPlainHot));
      p.setPen(ColorToQ(kPlainFrame));
      p.setBrush(Qt::NoBrush);
      p.drawRect(r.adjusted(0, 0, -1, -1));
    }
  }
  int textLeft = r.left();
  const TImageList* images = menu_->Images();
  if (images && images->Has(e.ImageIndex)) {
    images->Draw(p, r.left() + kPictureInset, r.top() + kPictureInset, e.ImageIndex);
    textLeft += kPictureInset + images->Width() + kPictureInset;
  }
  if (e.Kind != TtwImagesEntryKind::Button || e.Caption.isEmpty()) return;
  TColor colour = twsys::clWindowText;
  if (const TtwDataSkinMenuItem* mi = cell ? MenuItemObject(data_) : nullptr) {
    colour = look == TLook::Pressed ? cell->downfontcolor : look == TLook::Hot ? cell->activefontcolor : mi->fontcolor;
  }
  p.setFont(cell && menu_->UseSkinFont ? TwRecordFont(cell->fontname, cell->fontheight, cell->fontstyle)
                                       : menu_->DefaultFont);
  p.setPen(ColorToQ(colour));
  const QRect tr(textLeft, r.top(), r.right() + 1 - textLeft, r.height());
  // Centred unless too wide: then its start stays visible, ended by "...".
  const QFontMetrics fm = p.fontMetrics();
  const bool wide = fm.horizontalAdvance(e.Caption) > tr.width();
  p.drawText(tr, (wide ? Qt::AlignLeft : Qt::AlignHCenter) | Qt::AlignVCenter | Qt::TextSingleLine,
             wide ? fm.elidedText(e.Caption, Qt::ElideRight, tr.width()) : e.Caption);
}

void TtwSkinImagesMenuPopupWindow::paintEvent(QPaintEvent* e) {
  const QImage img = Render();
  QPainter p(this);
  if (img.isNull()) p.fillRect(e->rect(), ColorToQ(twsys::clWindow));
  else p.drawImage(e->rect(), img, e->rect());
}

// ---- mouse and keys --------------------------------------------------------------

void TtwSkinImagesMenuPopupWindow::mouseMoveEvent(QMouseEvent* e) {
  if (closed_) return;
  const QPoint p = e->position().toPoint();
  SetHotEntry(rect().contains(p) ? EntryAt(p) : -1);
}

void TtwSkinImagesMenuPopupWindow::leaveEvent(QEvent*) {
  if (closed_) return;
  if (TtwSkinHint* hint = menu_->SkinHint()) hint->HideSkinHint();
  hot_ = -1;
  update();
}

void TtwSkinImagesMenuPopupWindow::mousePressEvent(QMouseEvent* e) {
  e->accept();
  if (closed_) return;
  const QPoint p = e->position().toPoint();
  if (!rect().contains(p) || e->button() != Qt::LeftButton) {
    menu_->CloseUp(false);
    return;
  }
  if (TtwSkinHint* hint = menu_->SkinHint()) hint->HideSkinHint();
  mouseDown_ = true;
  entryPressed_ = EntryAt(p) >= 0;
  if (entryPressed_) hot_ = EntryAt(p);
  update();
}

void TtwSkinImagesMenuPopupWindow::mouseDoubleClickEvent(QMouseEvent* e) { mousePressEvent(e); }

void TtwSkinImagesMenuPopupWindow::mouseReleaseEvent(QMouseEvent* e) {
  e->accept();
  if (closed_ || !mouseDown_) return;
  mouseDown_ = false;
  const QPoint p = e->position().toPoint();
  const int i = e->button() == Qt::LeftButton && rect().contains(p) ? EntryAt(p) : -1;
  if (i >= 0) {
    menu_->itemIndex_ = i;
    menu_->CloseUp(true);
    return;
  }
  entryPressed_ = false;
  update();
}

bool TtwSkinImagesMenuPopupWindow::KeyDown(int key, Qt::KeyboardModifiers mods) {
  if (closed_) return false;
  if (key == Qt::Key_Alt || (mods & Qt::AltModifier)) {
    menu_->CloseUp(false);
    return true;
  }
  switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
      if (hot_ >= 0) menu_->itemIndex_ = hot_;
      menu_->CloseUp(true);
      return true;
    case Qt::Key_Escape:
      menu_->CloseUp(false);
      return true;
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down: {
      std::vector<TtwImagesWalkEntry> walk;
      for (const Item& it : items_) walk.push_back({it.Rect, it.Kind});
      SetHotEntry(ImagesMenuWalk(walk, hot_, key));
      return true;
    }
    default:
      return false;
  }
}

void TtwSkinImagesMenuPopupWindow::keyPressEvent(QKeyEvent* e) {
  if (!KeyDown(e->key(), e->modifiers())) e->ignore();
}

void TtwSkinImagesMenuPopupWindow::closeEvent(QCloseEvent* e) {
  e->accept();
  // The platform closes popups on its own (another application took the
  // input): the menu closes with it, without a choice.
  if (!closed_) menu_->CloseUp(false);
}

// ---- the menu --------------------------------------------------------------------

TtwSkinImagesMenu::TtwSkinImagesMenu(QObject* owner) : QObject(owner), DefaultFont(TwDefaultMenuFont()) {}

TtwSkinImagesMenu::~TtwSkinImagesMenu() {
  if (!popup_) return;
  ClosePopup();
  emit PopupClosed();
}

TImageList* TtwSkinImagesMenu::Images() const { return images_; }
void TtwSkinImagesMenu::SetImages(TImageList* images) { images_ = images; }
TtwSkinData* TtwSkinImagesMenu::SkinData() const { return data_; }
void TtwSkinImagesMenu::SetSkinData(TtwSkinData* data) { data_ = data; }
TtwSkinHint* TtwSkinImagesMenu::SkinHint() const { return hint_; }
void TtwSkinImagesMenu::SetSkinHint(TtwSkinHint* hint) { hint_ = hint; }

void TtwSkinImagesMenu::SetItemIndex(int index) {
  if (index == itemIndex_) return;
  itemIndex_ = index;
  if (popup_) popup_->update();
  emit ChoiceChanged();
}

void TtwSkinImagesMenu::SetColumnsCount(int n) {
  if (n >= 1 && n <= kMaxColumns) columns_ = n;
}

const TtwImagesMenuItem* TtwSkinImagesMenu::SelectedItem() const {
  return itemIndex_ >= 0 && itemIndex_ < int(ImagesItems.size()) ? &ImagesItems[size_t(itemIndex_)] : nullptr;
}

void TtwSkinImagesMenu::Popup(const TRect& anchor) {
  if (popup_) CloseUp(false);
  QPointer<TtwSkinImagesMenu> self(this);
  if (OnMenuPopup) OnMenuPopup();
  if (!self) return;
  if (!images_ || images_->Count() == 0 || ImagesItems.empty()) {
    // Nothing to choose from: closed at once, so a linked button comes up.
    emit PopupClosed();
    if (self && OnMenuClose) OnMenuClose();
    return;
  }
  indexAtOpening_ = itemIndex_;
  popup_ = new TtwSkinImagesMenuPopupWindow(this);
  TRect area = workAreaOverride_;
  if (area.IsEmpty()) {
    QWidget* ref = QApplication::activeWindow();
    TForm* main = Application() ? Application()->MainForm() : nullptr;
    if (!ref && main && main->isVisible()) ref = main;
    if (!ref) ref = qobject_cast<QWidget*>(parent());
    area = GetMonitorArea(ref ? ref->window() : nullptr, true);
  }
  popup_->Place(anchor, area);
  qApp->installEventFilter(this);
  popup_->ShowPopup();
}

void TtwSkinImagesMenu::ClosePopup() {
  TtwSkinImagesMenuPopupWindow* w = popup_;
  popup_ = nullptr;
  qApp->removeEventFilter(this);
  if (hint_) hint_->HideSkinHint();
  w->Retire();
  // The closing handler may still be running on the popup.
  w->deleteLater();
}

void TtwSkinImagesMenu::CloseUp(bool choice) {
  if (!popup_) return;
  ClosePopup();
  QPointer<TtwSkinImagesMenu> self(this);
  emit PopupClosed();
  if (self && OnMenuClose) OnMenuClose();
  if (!self || !choice || itemIndex_ == -1) return;
  if (const TtwImagesMenuItem* it = SelectedItem(); it && it->OnClick) {
    const auto click = it->OnClick;  // the handler may change the entries
    click();
  }
  if (self && OnItemClick) OnItemClick();
  if (!self || itemIndex_ == indexAtOpening_) return;
  emit ChoiceChanged();
  if (self && OnChange) OnChange();
}

bool TtwSkinImagesMenu::eventFilter(QObject* watched, QEvent* e) {
  auto* w = qobject_cast<QWidget*>(watched);
  if (!popup_ || !w || !w->isWindow() || w == popup_) return QObject::eventFilter(watched, e);
  // Hints and other popups come and go over the popup without closing it.
  const Qt::WindowType type = w->windowType();
  if (type == Qt::ToolTip || type == Qt::Popup) return QObject::eventFilter(watched, e);
  switch (e->type()) {
    case QEvent::Move:
    case QEvent::Resize:
      if (w->isVisible()) CloseUp(false);
      break;
    case QEvent::WindowDeactivate:
      if (QApplication::activePopupWidget() != popup_) CloseUp(false);
      break;
    default:
      break;
  }
  return QObject::eventFilter(watched, e);
}
