// The combo box, in its default look until input controls are drawn from
// the skin.
#include "skin/boxes/twSkinComboBox.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QCollator>
#include <QDateTime>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "platform/Application.h"
#include "platform/Errors.h"

#include "skin/boxes/twBoxLooks.h"

using namespace twBoxLooks;

// ---------------------------------------------------------------- combo box

TtwSkinComboBox::TtwSkinComboBox(QWidget* parent) : TtwSkinCustomControl(parent) {
  skinDataName_ = QStringLiteral("combobox");
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);
  resize(120, 20);
  list_ = new QListWidget(this);
  list_->setWindowFlags(Qt::Popup | Qt::FramelessWindowHint);
  list_->setFocusPolicy(Qt::NoFocus);
  list_->setFont(defaultFont_);
  list_->setMouseTracking(true);
  list_->setUniformItemSizes(true);
  list_->setFrameShape(QFrame::Box);
  list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  QPalette pal = list_->palette();
  pal.setColor(QPalette::Base, C::Window);
  pal.setColor(QPalette::Text, C::WindowText);
  pal.setColor(QPalette::Highlight, C::Highlight);
  pal.setColor(QPalette::HighlightedText, C::HighlightText);
  pal.setColor(QPalette::WindowText, C::BtnShadow);
  list_->setPalette(pal);
  list_->hide();
  list_->installEventFilter(this);
  list_->viewport()->installEventFilter(this);
}

TtwSkinComboBox::~TtwSkinComboBox() = default;

QStringList TtwSkinComboBox::Items() const { return items_; }

static void SortNames(QStringList& l) {
  QCollator c{QLocale()};
  std::stable_sort(l.begin(), l.end(), [&](const QString& a, const QString& b) {
    const int r = c.compare(a, b);
    return r != 0 ? r < 0 : QString::compare(a, b) < 0;
  });
}

void TtwSkinComboBox::SetItems(const QStringList& items) {
  items_ = items;
  if (sorted_) SortNames(items_);
  itemIndex_ = -1;
  indexBeforeDrop_ = -1;
  update();
}

void TtwSkinComboBox::AddItem(const QString& item) {
  items_.append(item);
  if (sorted_) {
    const QString current = itemIndex_ >= 0 ? items_.value(itemIndex_) : QString();
    SortNames(items_);
    if (itemIndex_ >= 0) itemIndex_ = indexBeforeDrop_ = int(items_.indexOf(current));
  }
  update();
}

void TtwSkinComboBox::ClearItems() {
  items_.clear();
  itemIndex_ = -1;
  indexBeforeDrop_ = -1;
  update();
}

int TtwSkinComboBox::Count() const { return int(items_.size()); }

void TtwSkinComboBox::SetSorted(bool v) {
  sorted_ = v;
  if (v) SortItems();
}

void TtwSkinComboBox::SortItems() {
  const QString current = itemIndex_ >= 0 ? items_.value(itemIndex_) : QString();
  SortNames(items_);
  if (itemIndex_ >= 0) itemIndex_ = indexBeforeDrop_ = int(items_.indexOf(current));
  update();
}

void TtwSkinComboBox::SelectItem(int index, bool notify) {
  itemIndex_ = (index >= 0 && index < Count()) ? index : -1;
  if (itemIndex_ >= 0 && text_ != items_[itemIndex_]) {
    text_ = items_[itemIndex_];
    if (edit_) edit_->setText(text_);
    TextChanged();
  }
  indexBeforeDrop_ = itemIndex_;
  update();
  if (notify) {
    if (OnClick) OnClick();
    emit clicked();
    Change();
  }
}

void TtwSkinComboBox::SetItemIndex(int index) { SelectItem(index, true); }

void TtwSkinComboBox::SetText(const QString& text) {
  if (style_ == twcbFixedStyle) {
    // The box shows its current item: a text naming an item selects it, any
    // other text leaves no item selected and is shown as it is.
    itemIndex_ = indexBeforeDrop_ = int(items_.indexOf(text));
  }
  if (text == text_) {
    update();
    return;
  }
  text_ = text;
  if (edit_ && edit_->text() != text) edit_->setText(text);
  update();
  TextChanged();
}

void TtwSkinComboBox::TextChanged() {
  if (OnChange) OnChange();
  emit changed();
}

void TtwSkinComboBox::SetStyle(TtwSkinCustomComboBoxStyle s) {
  if (s == style_) return;
  style_ = s;
  if (s == twcbEditStyle && !edit_) {
    edit_ = new QLineEdit(this);
    edit_->setFrame(false);
    edit_->setFont(defaultFont_);
    edit_->setText(text_);
    connect(edit_, &QLineEdit::textEdited, this, [this](const QString& t) {
      text_ = t;
      itemIndex_ = int(items_.indexOf(t));
      TextChanged();
      Change();
    });
    edit_->installEventFilter(this);
    setFocusProxy(edit_);
    LayoutEdit();
    edit_->show();
  } else if (s == twcbFixedStyle && edit_) {
    setFocusProxy(nullptr);
    delete edit_;
    edit_ = nullptr;
  }
  update();
}

QRect TtwSkinComboBox::ButtonArea() const {
  const int bw = qMin(17, qMax(0, width() - 2));
  return QRect(width() - 1 - bw, 1, bw, qMax(0, height() - 2));
}

QRect TtwSkinComboBox::ItemAreaRect() const {
  const QRect b = ButtonArea();
  return QRect(2, 2, qMax(0, b.left() - 3), qMax(0, height() - 4));
}

void TtwSkinComboBox::LayoutEdit() {
  if (!edit_) return;
  const QRect a = ItemAreaRect();
  const int h = QFontMetrics(edit_->font()).height() + 2;
  edit_->setGeometry(a.left() + 1, a.top() + a.height() / 2 - h / 2, a.width() - 1, h);
}

void TtwSkinComboBox::PaintDefault(QImage& bitmap) {
  QPainter p(&bitmap);
  const int W = bitmap.width(), H = bitmap.height();
  p.fillRect(0, 0, W, H, C::BtnFace);
  QRect r(0, 0, W, H);
  const bool focused = hasFocus() && !dropped_;
  DrawBevel(p, r, focused || mouseInControl_ ? C::Highlight : C::BtnShadow,
            focused || mouseInControl_ ? C::Highlight : C::BtnShadow);
  p.fillRect(r, isEnabled() ? defaultColor_ : C::BtnFace);
  DrawDropButton(p, ButtonArea(), buttonHot_, dropped_, isEnabled());
  if (edit_) return;
  const QRect a = ItemAreaRect();
  const int shown = dropped_ ? indexBeforeDrop_ : itemIndex_;
  const QString text = (shown >= 0 && shown < Count()) ? items_[shown] : text_;
  QColor fg = isEnabled() ? defaultFontColor_ : C::GrayText;
  if (focused && isEnabled()) {
    p.fillRect(a, C::Highlight);
    fg = C::HighlightText;
  }
  p.setFont(defaultFont_);
  p.setPen(fg);
  p.setClipRect(a);
  p.drawText(a.adjusted(2, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
}

void TtwSkinComboBox::DropDown() {
  if (dropped_ || !isEnabled()) return;
  if (OnDropDown) OnDropDown();
  indexBeforeDrop_ = itemIndex_;
  list_->clear();
  list_->addItems(items_);
  list_->setCurrentRow(itemIndex_);
  const int rowH = QFontMetrics(list_->font()).height() + 4;
  const int rows = qMax(1, qMin(dropDownCount_, Count()));
  const int w = listBoxWidth_ > 0 ? listBoxWidth_ : width();
  const int h = rows * rowH + 2 * list_->frameWidth();
  for (int i = 0; i < list_->count(); ++i) list_->item(i)->setSizeHint(QSize(w - 2, rowH));
  list_->setVerticalScrollBarPolicy(Count() > dropDownCount_ ? Qt::ScrollBarAsNeeded
                                                             : Qt::ScrollBarAlwaysOff);
  QPoint at = mapToGlobal(QPoint(0, height()));
  if (QScreen* s = screen()) {
    const QRect avail = s->availableGeometry();
    if (at.y() + h > avail.bottom() + 1) at.setY(mapToGlobal(QPoint(0, 0)).y() - h);
  }
  list_->setGeometry(at.x(), at.y(), w, h);
  dropped_ = true;
  list_->show();
  list_->scrollToTop();
  if (itemIndex_ >= 0) list_->scrollToItem(list_->item(itemIndex_), QAbstractItemView::EnsureVisible);
  update();
}

void TtwSkinComboBox::CloseUp(bool accept) {
  if (!dropped_) return;
  dropped_ = false;
  const int row = list_->currentRow();
  list_->hide();
  if (accept && row >= 0 && row < Count()) {
    SelectItem(row, true);
  } else {
    itemIndex_ = indexBeforeDrop_;
  }
  update();
  if (OnCloseUp) OnCloseUp();
}

bool TtwSkinComboBox::eventFilter(QObject* watched, QEvent* e) {
  if (watched == list_ || watched == list_->viewport()) {
    switch (e->type()) {
      case QEvent::MouseButtonRelease: {
        auto* m = static_cast<QMouseEvent*>(e);
        if (watched == list_->viewport() && m->button() == Qt::LeftButton) {
          if (QListWidgetItem* it = list_->itemAt(m->position().toPoint())) {
            list_->setCurrentItem(it);
            CloseUp(true);
            return true;
          }
        }
        break;
      }
      case QEvent::MouseMove: {
        // The row under the pointer is the one Enter or a click would take.
        auto* m = static_cast<QMouseEvent*>(e);
        if (watched == list_->viewport())
          if (QListWidgetItem* it = list_->itemAt(m->position().toPoint())) list_->setCurrentItem(it);
        break;
      }
      case QEvent::KeyPress: {
        auto* k = static_cast<QKeyEvent*>(e);
        if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
          CloseUp(true);
          return true;
        }
        if (k->key() == Qt::Key_Escape || k->key() == Qt::Key_F4) {
          CloseUp(false);
          return true;
        }
        break;
      }
      case QEvent::Hide:
        // Closed by a click elsewhere.
        if (dropped_) CloseUp(false);
        break;
      default:
        break;
    }
  }
  return TtwSkinCustomControl::eventFilter(watched, e);
}

void TtwSkinComboBox::mousePressEvent(QMouseEvent* e) {
  TtwSkinCustomControl::mousePressEvent(e);
  if (e->button() != Qt::LeftButton || !isEnabled()) return;
  if (!hasFocus()) setFocus(Qt::MouseFocusReason);
  // In the edit style only the button opens the list.
  if (edit_ && !ButtonArea().contains(e->position().toPoint())) return;
  if (dropped_) CloseUp(false); else DropDown();
}

void TtwSkinComboBox::mouseMoveEvent(QMouseEvent* e) {
  TtwSkinCustomControl::mouseMoveEvent(e);
  const bool hot = ButtonArea().contains(e->position().toPoint());
  if (hot != buttonHot_) {
    buttonHot_ = hot;
    update();
  }
}

void TtwSkinComboBox::Search(QChar c) {
  const qint64 now = QDateTime::currentMSecsSinceEpoch();
  if (autoComplete_) {
    if (now - lastSearchTick_ > 499) searchText_.clear();
    lastSearchTick_ = now;
    searchText_ += c;
  } else {
    searchText_ = c;
  }
  if (searchText_.isEmpty() || items_.isEmpty()) return;
  const int n = Count();
  if (searchText_.size() == 1) {
    // Repeating a letter steps through the items that begin with it.
    for (int k = 1; k <= n; ++k) {
      const int i = (itemIndex_ + k) % n;
      if (items_[i].startsWith(searchText_, Qt::CaseInsensitive)) {
        SelectItem(i, true);
        return;
      }
    }
  } else {
    for (int i = 0; i < n; ++i)
      if (items_[i].startsWith(searchText_, Qt::CaseInsensitive)) {
        SelectItem(i, true);
        return;
      }
  }
}

void TtwSkinComboBox::keyPressEvent(QKeyEvent* e) {
  const int last = Count() - 1;
  const bool alt = e->modifiers() & Qt::AltModifier;
  switch (e->key()) {
    case Qt::Key_F4:
      dropped_ ? CloseUp(false) : DropDown();
      return;
    case Qt::Key_Down:
    case Qt::Key_Up:
      if (alt) {
        dropped_ ? CloseUp(false) : DropDown();
        return;
      }
      [[fallthrough]];
    case Qt::Key_Left:
    case Qt::Key_Right: {
      const bool next = e->key() == Qt::Key_Down || e->key() == Qt::Key_Right;
      if (next && itemIndex_ < last) SelectItem(itemIndex_ + 1, true);
      if (!next && itemIndex_ > 0) SelectItem(itemIndex_ - 1, true);
      return;
    }
    case Qt::Key_PageUp:
      if (Count()) SelectItem(qMax(0, itemIndex_ - dropDownCount_ - 1), true);
      return;
    case Qt::Key_PageDown:
      if (Count()) SelectItem(qMin(last, itemIndex_ + dropDownCount_ - 1), true);
      return;
    case Qt::Key_Home:
      if (Count()) SelectItem(0, true);
      return;
    case Qt::Key_End:
      if (Count()) SelectItem(last, true);
      return;
    default:
      break;
  }
  if (!edit_ && !e->text().isEmpty() && e->text()[0].isPrint()) {
    Search(e->text()[0]);
    return;
  }
  TtwSkinCustomControl::keyPressEvent(e);
}

void TtwSkinComboBox::wheelEvent(QWheelEvent* e) {
  const int d = e->angleDelta().y();
  if (d < 0 && itemIndex_ < Count() - 1) SelectItem(itemIndex_ + 1, true);
  else if (d > 0 && itemIndex_ > 0) SelectItem(itemIndex_ - 1, true);
  e->accept();
}

void TtwSkinComboBox::focusInEvent(QFocusEvent* e) {
  TtwSkinCustomControl::focusInEvent(e);
  update();
}

void TtwSkinComboBox::focusOutEvent(QFocusEvent* e) {
  TtwSkinCustomControl::focusOutEvent(e);
  update();
}

void TtwSkinComboBox::enterEvent(QEnterEvent* e) {
  TtwSkinCustomControl::enterEvent(e);
  mouseInControl_ = true;
  update();
}

void TtwSkinComboBox::leaveEvent(QEvent* e) {
  TtwSkinCustomControl::leaveEvent(e);
  mouseInControl_ = false;
  buttonHot_ = false;
  update();
}

void TtwSkinComboBox::changeEvent(QEvent* e) {
  if (e->type() == QEvent::EnabledChange) {
    if (!isEnabled()) CloseUp(false);
    update();
  }
  if (e->type() == QEvent::FontChange) LayoutEdit();
  TtwSkinCustomControl::changeEvent(e);
}
