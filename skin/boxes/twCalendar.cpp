// The date edit with its calendar drop-down, in its default look until input
// controls are drawn from the skin.
#include "skin/boxes/twCalendar.h"

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

// ---------------------------------------------------------------- date edit

TtwSkinDateEdit::TtwSkinDateEdit(QWidget* parent) : TtwSkinCustomControl(parent) {
  skinDataName_ = QStringLiteral("buttonedit");
  setFocusPolicy(Qt::StrongFocus);
  resize(121, 21);
  edit_ = new QLineEdit(this);
  edit_->setFrame(false);
  edit_->setFont(defaultFont_);
  QPalette pal = edit_->palette();
  pal.setColor(QPalette::Base, C::Window);
  pal.setColor(QPalette::Text, C::WindowText);
  pal.setColor(QPalette::Disabled, QPalette::Text, C::GrayText);
  pal.setColor(QPalette::Disabled, QPalette::Base, C::BtnFace);
  edit_->setPalette(pal);
  setFocusProxy(edit_);
  connect(edit_, &QLineEdit::textChanged, this, [this] { TextEdited(); });
  edit_->installEventFilter(this);
  SetEditMask(QStringLiteral("!0000/99/99;1; "));

  popup_ = new QWidget(this, Qt::Popup | Qt::FramelessWindowHint);
  auto* lay = new QVBoxLayout(popup_);
  lay->setContentsMargins(1, 1, 1, 1);
  calendar_ = new QCalendarWidget(popup_);
  calendar_->setGridVisible(false);
  calendar_->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
  calendar_->setHorizontalHeaderFormat(QCalendarWidget::SingleLetterDayNames);
  calendar_->setFirstDayOfWeek(Qt::Sunday);
  QFont cf = TwDefaultFont();
  cf.setPixelSize(11);
  calendar_->setFont(cf);
  lay->addWidget(calendar_);
  QPalette pp = popup_->palette();
  pp.setColor(QPalette::Window, C::PanelBorder);
  popup_->setPalette(pp);
  popup_->setAutoFillBackground(true);
  popup_->hide();
  popup_->installEventFilter(this);
  connect(calendar_, &QCalendarWidget::clicked, this, [this](QDate d) {
    date_ = QDateTime(d, QTime(0, 0));
    CloseUp(true);
  });
  connect(calendar_, &QCalendarWidget::activated, this, [this](QDate d) {
    date_ = QDateTime(d, QTime(0, 0));
    CloseUp(true);
  });
  date_ = QDateTime();
}

TtwSkinDateEdit::~TtwSkinDateEdit() = default;

QString TtwSkinDateEdit::ToInputMask(const QString& mask) {
  QString m = mask;
  QChar blank = QLatin1Char(' ');
  const QStringList parts = m.split(QLatin1Char(';'));
  m = parts.value(0);
  if (parts.size() >= 3 && !parts[2].isEmpty()) blank = parts[2][0];
  QString out;
  for (int i = 0; i < m.size(); ++i) {
    const QChar c = m[i];
    if (i == 0 && c == QLatin1Char('!')) continue;  // leading-blank trimming: ours by default
    switch (c.unicode()) {
      case '0': out += QLatin1Char('9'); break;  // digit required
      case '9': out += QLatin1Char('0'); break;  // digit allowed
      case '#': out += QLatin1Char('#'); break;
      case 'L': out += QLatin1Char('A'); break;
      case 'l': out += QLatin1Char('a'); break;
      case 'A': out += QLatin1Char('N'); break;
      case 'a': out += QLatin1Char('n'); break;
      case 'C': out += QLatin1Char('X'); break;
      case 'c': out += QLatin1Char('x'); break;
      case '>': out += QLatin1Char('>'); break;
      case '<': out += QLatin1Char('<'); break;
      case '\\':
        if (i + 1 < m.size()) {
          out += QLatin1Char('\\');
          out += m[++i];
        }
        break;
      default:
        // Everything else is a literal; escape what Qt would read as a code.
        if (QStringLiteral("AaNnXx90DdHhBb#><![]{}").contains(c)) out += QLatin1Char('\\');
        out += c;
    }
  }
  return out + QLatin1Char(';') + blank;
}

void TtwSkinDateEdit::SetEditMask(const QString& mask) {
  editMask_ = mask;
  textBeingSet_ = true;
  edit_->setInputMask(mask.isEmpty() ? QString() : ToInputMask(mask));
  textBeingSet_ = false;
}

int TtwSkinDateEdit::MaxLength() const { return edit_->maxLength(); }
void TtwSkinDateEdit::SetMaxLength(int n) { edit_->setMaxLength(n > 0 ? n : 32767); }

QString TtwSkinDateEdit::Text() const { return edit_->text(); }

void TtwSkinDateEdit::SetText(const QString& t) { edit_->setText(t); }

void TtwSkinDateEdit::SetTodayDefault(bool v) {
  todayDefault_ = v;
  if (v) SetDate(QDateTime::currentDateTime());
}

void TtwSkinDateEdit::SetDate(const QDateTime& d) {
  date_ = d;
  textBeingSet_ = true;
  edit_->setText(d.isValid() ? d.toString(dateFormat_) : QString());
  textBeingSet_ = false;
  if (OnDateChange) OnDateChange(this);
  emit dateChanged();
}

void TtwSkinDateEdit::TextEdited() {
  if (textBeingSet_) return;
  const QString t = edit_->text();
  if (t.contains(QLatin1Char(' '))) return;  // not complete yet
  const QDate d = QDate::fromString(t, dateFormat_);
  if (!d.isValid()) {
    // Complete but not a date (the 31st of a 30-day month): reported, and
    // the date stays as it was.
    Guarded([&] { throw EConvertError(QStringLiteral("'%1' is not a valid date").arg(t)); });
    return;
  }
  const QDateTime nd(d, QTime(0, 0));
  if (nd == date_) return;
  date_ = nd;
  if (OnDateChange) OnDateChange(this);
  emit dateChanged();
}

QRect TtwSkinDateEdit::ButtonArea() const {
  const int bw = qMin(17, qMax(0, width() - 2));
  return QRect(width() - 1 - bw, 1, bw, qMax(0, height() - 2));
}

void TtwSkinDateEdit::LayoutEdit() {
  const QRect b = ButtonArea();
  const int h = QFontMetrics(edit_->font()).height() + 2;
  edit_->setGeometry(3, height() / 2 - h / 2, qMax(0, b.left() - 4), qMin(h, height() - 2));
}

void TtwSkinDateEdit::resizeEvent(QResizeEvent* e) {
  TtwSkinCustomControl::resizeEvent(e);
  LayoutEdit();
}

void TtwSkinDateEdit::PaintDefault(QImage& bitmap) {
  QPainter p(&bitmap);
  QRect r = bitmap.rect();
  p.fillRect(r, isEnabled() ? C::Window : C::BtnFace);
  const QColor frame = edit_->hasFocus() ? C::Highlight : C::BtnShadow;
  DrawBevel(p, r, frame, frame);
  DrawDropButton(p, ButtonArea(), false, CalendarShown(), isEnabled());
}

bool TtwSkinDateEdit::CalendarShown() const { return popup_ && popup_->isVisible(); }

void TtwSkinDateEdit::DropDown() {
  if (CalendarShown() || !isEnabled()) return;
  if (!todayDefault_) {
    dateBeforeDrop_ = date_;
    if (!date_.isValid() && edit_->text().contains(QLatin1Char(' ')))
      date_ = QDateTime::currentDateTime();
  }
  calendar_->setSelectedDate(date_.isValid() ? date_.date() : QDate::currentDate());
  popup_->resize(qMax(calendarWidth_, 200), qMax(calendarHeight_, 150));
  QPoint at = mapToGlobal(QPoint(0, height()));
  if (QScreen* s = screen())
    if (at.y() + popup_->height() > s->availableGeometry().bottom() + 1)
      at.setY(mapToGlobal(QPoint(0, 0)).y() - popup_->height());
  popup_->move(at);
  popup_->show();
  update();
}

void TtwSkinDateEdit::CloseUp(bool accept) {
  if (!CalendarShown()) return;
  popup_->hide();
  if (accept) {
    textBeingSet_ = true;
    edit_->setText(date_.toString(dateFormat_));
    if (OnDateChange) OnDateChange(this);
    emit dateChanged();
    textBeingSet_ = false;
  } else if (!todayDefault_) {
    date_ = dateBeforeDrop_;
  }
  edit_->setFocus();
  update();
}

void TtwSkinDateEdit::mousePressEvent(QMouseEvent* e) {
  TtwSkinCustomControl::mousePressEvent(e);
  if (e->button() != Qt::LeftButton || !ButtonArea().contains(e->position().toPoint())) return;
  if (CalendarShown()) CloseUp(false); else DropDown();
}

bool TtwSkinDateEdit::eventFilter(QObject* watched, QEvent* e) {
  if (watched == popup_ && e->type() == QEvent::Hide) update();
  if (watched == edit_ && (e->type() == QEvent::FocusIn || e->type() == QEvent::FocusOut)) update();
  if (watched == edit_ && e->type() == QEvent::KeyPress) {
    auto* k = static_cast<QKeyEvent*>(e);
    if ((k->key() == Qt::Key_Down && (k->modifiers() & Qt::AltModifier)) || k->key() == Qt::Key_F4) {
      DropDown();
      return true;
    }
  }
  return TtwSkinCustomControl::eventFilter(watched, e);
}
