// The month calendar and its pop-up. Grid and steps are pure functions, so
// paint and hit test share one geometry: no step leaves 1761 ... 9999, the
// first-day column is never negative and no cell is narrower than a pixel.
#include "skin/boxes/twMonthCalendar.h"

#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>

#include "platform/Clock.h"
#include "skin/boxes/twBoxLooks.h"
#include "skin/controls/twSkinButtons.h"
#include "skin/data/twSkinRecords.h"

using namespace twBoxLooks;

// ------------------------------------------------------------ date format

namespace {
std::function<TtwDateFormat()>& DateFormatSource() {
  static std::function<TtwDateFormat()> source;
  return source;
}
}  // namespace

TtwDateFormat TtwDateFormat::FromLocale(const QLocale& locale) {
  TtwDateFormat f;
  f.ShortFormat = locale.dateFormat(QLocale::ShortFormat);
  for (int m = 1; m <= 12; ++m) {
    f.MonthNames << locale.monthName(m, QLocale::LongFormat);
    f.ShortMonthNames << locale.monthName(m, QLocale::ShortFormat);
  }
  for (int d = 0; d < 7; ++d) f.ShortDayNames << locale.dayName(d == 0 ? 7 : d, QLocale::ShortFormat);
  return f;
}

TtwDateFormat TtwDateFormat::Current() {
  return DateFormatSource() ? DateFormatSource()() : FromLocale(QLocale());
}

void TtwDateFormat::SetSource(std::function<TtwDateFormat()> source) { DateFormatSource() = std::move(source); }

// ------------------------------------------------------------ month grid

int DaysInMonth(int year, int month) {
  static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

int FirstDayColumn(int weekdayOfFirst, int firstDayOfWeek) {
  return ((weekdayOfFirst - firstDayOfWeek) % 7 + 7) % 7;
}

QString CutDayName(const QString& name, int bytes) {
  QString out;
  int used = 0;
  for (qsizetype i = 0; i < name.size();) {
    // A surrogate pair is one character.
    const int len = name[i].isHighSurrogate() && i + 1 < name.size() ? 2 : 1;
    const int cost = name[i].unicode() < 0x80 ? 1 : 2;
    if (used + cost > bytes) break;
    out += name.mid(i, len);
    used += cost;
    i += len;
  }
  return out;
}

TtwMonthGrid MonthGrid(int year, int month, int firstDayOfWeek, const QRect& c, int textHeight) {
  TtwMonthGrid g;
  // A calendar smaller than its grid still gets cells of one pixel at least,
  // so the hit test never divides by zero or walks backwards.
  g.ColumnWidth = std::max(1, (c.width() - 2) / 7);
  g.GridTop = c.top() + 33 + textHeight + 1;
  g.RowHeight = std::max(1, (c.bottom() + 1 - g.GridTop - 4) / 6);
  const QDate first(year, month, 1);
  g.FirstColumn = FirstDayColumn(first.isValid() ? first.dayOfWeek() % 7 : 0, firstDayOfWeek);
  for (int k = 0; k < 7; ++k)
    g.WeekdayCells[k] = QRect(c.left() + 1 + k * g.ColumnWidth, c.top() + 33, g.ColumnWidth, textHeight);
  const int days = DaysInMonth(year, month);
  for (int i = 0; i < 42; ++i) {
    const int r = i / 7, k = i % 7;
    TtwMonthCell& cell = g.Cells[i];
    cell.Rect = QRect(c.left() + 1 + k * g.ColumnWidth, g.GridTop + 3 + r * g.RowHeight, g.ColumnWidth, g.RowHeight);
    const int day = i - g.FirstColumn + 1;
    cell.Day = day >= 1 && day <= days ? day : 0;
  }
  return g;
}

int MonthDayAt(const TtwMonthGrid& g, const QPoint& p) {
  for (const TtwMonthCell& cell : g.Cells)
    if (cell.Day && cell.Rect.contains(p)) return cell.Day;
  return 0;
}

QDate StepDate(const QDate& d, TtwCalendarStep s) {
  if (!d.isValid()) return d;
  int y = d.year(), m = d.month();
  switch (s) {
    case TtwCalendarStep::NextMonth:
      if (m == 12) ++y;
      m = m % 12 + 1;
      break;
    case TtwCalendarStep::PriorMonth:
      if (m == 1) --y;
      m = m == 1 ? 12 : m - 1;
      break;
    case TtwCalendarStep::NextYear: ++y; break;
    case TtwCalendarStep::PriorYear: --y; break;
  }
  // December 9999 has no next month and January 1761 no prior one: the
  // step is refused rather than wrapped within the year.
  if (y < kFirstCalendarYear || y > kLastCalendarYear) return d;
  return QDate(y, m, std::min(d.day(), DaysInMonth(y, m)));
}

// ------------------------------------------------------------ calendar

namespace {

// The four glyphs: single arrows for months, double for years. The bottom-left
// pixel of a glyph is its transparent colour, so column 0 stays empty.
QImage ArrowGlyph(bool forward, bool twice) {
  QImage img(twice ? 11 : 7, 9, QImage::Format_ARGB32);
  img.fill(Qt::transparent);
  const QColor ink(0x2B, 0x3A, 0x4E);
  for (int n = 0; n < (twice ? 2 : 1); ++n)
    for (int i = 0; i < 5; ++i) {
      // Column i from the arrow's point holds 2i + 1 pixels.
      const int x = 1 + n * 4 + (forward ? 4 - i : i);
      for (int y = 4 - i; y <= 4 + i; ++y) img.setPixelColor(x, y, ink);
    }
  return img;
}

constexpr int kButtonSize = 23;

}  // namespace

TtwSkinMonthCalendar::TtwSkinMonthCalendar(QWidget* parent) : TtwSkinPanel(parent) {
  SetBorderStyle(bvFrame);
  const struct {
    TtwCalendarStep step;
    bool forward, twice;
    int repeatMs;
  } kButtons[4] = {{TtwCalendarStep::PriorMonth, false, false, kPriorNextMonthRepeatMs},
                   {TtwCalendarStep::NextMonth, true, false, kPriorNextMonthRepeatMs},
                   {TtwCalendarStep::PriorYear, false, true, kPriorNextYearRepeatMs},
                   {TtwCalendarStep::NextYear, true, true, kPriorNextYearRepeatMs}};
  for (const auto& b : kButtons) {
    auto* sb = new TtwSkinSpeedButton(this);
    sb->SetSkinDataName(QStringLiteral("resizebutton"));
    sb->SetBounds(0, 0, kButtonSize, kButtonSize);
    sb->SetNumGlyphs(1);
    sb->SetGlyph(ArrowGlyph(b.forward, b.twice));
    sb->SetShowCaption(false);
    // Held down, the calendar repeats the step itself on the injected clock.
    sb->SetRepeatInterval(b.repeatMs);
    const TtwCalendarStep step = b.step;
    sb->OnClick = [this, step] {
      // A hold that already stepped does not step again on release.
      if (!repeatedSincePress_) Step(step);
    };
    sb->installEventFilter(this);
    buttons_[int(b.step)] = sb;
  }
  repeat_ = new TwTimer(this);
  repeat_->OnTimeout = [this] {
    if (pressed_ < 0) return;
    repeatedSincePress_ = true;
    repeat_->Start(buttons_[pressed_]->RepeatInterval());
    Step(TtwCalendarStep(pressed_));
  };
  resize(200, 150);
  date_ = QDateTime::currentDateTime();
  LayoutButtons();
}

TtwSkinMonthCalendar::~TtwSkinMonthCalendar() = default;

void TtwSkinMonthCalendar::SetDate(const QDateTime& d) {
  date_ = d;
  update();
}

void TtwSkinMonthCalendar::SetTodayDefault(bool v) {
  todayDefault_ = v;
  if (v) SetDate(QDateTime::currentDateTime());
}

void TtwSkinMonthCalendar::SetFirstDayOfWeek(TtwDaysOfWeek d) {
  firstDayOfWeek_ = d;
  update();
}

void TtwSkinMonthCalendar::SetBoldDays(bool v) {
  boldDays_ = v;
  update();
}

void TtwSkinMonthCalendar::SetSkinData(TtwSkinData* data) {
  for (TtwSkinSpeedButton* b : buttons_) b->SetSkinData(data);
  TtwSkinPanel::SetSkinData(data);
}

void TtwSkinMonthCalendar::ApplySkin() {
  TtwSkinPanel::ApplySkin();
  if (skinData_ && !skinData_->Empty()) {
    const int i = skinData_->FindControlIndex(QStringLiteral("stdlabel"));
    if (i >= 0) {
      if (const auto* r = dynamic_cast<const TtwDataSkinStdLabelControl*>(skinData_->ControlRecords()[i])) {
        dayColor_ = ColorToQ(r->fontcolor);
        titleColor_ = ColorToQ(r->activefontcolor);
      } else {
        dayColor_ = titleColor_ = defaultFontColor_;
      }
    }
  }
  LayoutButtons();
}

void TtwSkinMonthCalendar::Step(TtwCalendarStep s) {
  const QDate d = date_.isValid() ? date_.date() : QDate::currentDate();
  const QDate n = StepDate(d, s);
  if (n != d) SetDate(QDateTime(n, QTime(0, 0)));
  if (OnClick) OnClick();
}

QRect TtwSkinMonthCalendar::CalendarRect() const { return AlignClientRect(); }

void TtwSkinMonthCalendar::LayoutButtons() {
  const QRect c = CalendarRect();
  const int top = c.top() + 1;
  buttons_[int(TtwCalendarStep::PriorYear)]->SetBounds(c.left() + 1, top, kButtonSize, kButtonSize);
  buttons_[int(TtwCalendarStep::PriorMonth)]->SetBounds(c.left() + 1 + 24, top, kButtonSize, kButtonSize);
  buttons_[int(TtwCalendarStep::NextYear)]->SetBounds(c.right() + 1 - 24, top, kButtonSize, kButtonSize);
  buttons_[int(TtwCalendarStep::NextMonth)]->SetBounds(c.right() + 1 - 48, top, kButtonSize, kButtonSize);
}

void TtwSkinMonthCalendar::resizeEvent(QResizeEvent* e) {
  TtwSkinPanel::resizeEvent(e);
  LayoutButtons();
}

QFont TtwSkinMonthCalendar::CalendarFont(bool bold) const {
  QFont f = defaultFont_;
  f.setBold(bold);
  return f;
}

TtwMonthGrid TtwSkinMonthCalendar::Grid() const {
  const QDate d = date_.isValid() ? date_.date() : QDate::currentDate();
  return MonthGrid(d.year(), d.month(), firstDayOfWeek_, CalendarRect(),
                   QFontMetrics(CalendarFont(true)).boundingRect(QStringLiteral("Wq")).height());
}

void TtwSkinMonthCalendar::PaintFace(QImage& bitmap) {
  TtwSkinPanel::PaintFace(bitmap);
  const bool bound = recordIndex_ != -1;
  const QDate d = date_.isValid() ? date_.date() : QDate::currentDate();
  const TtwDateFormat fmt = TtwDateFormat::Current();
  const QRect c = CalendarRect();
  const TtwMonthGrid g = Grid();
  QPainter p(&bitmap);
  p.setFont(CalendarFont(true));
  const QColor plain = bound ? dayColor_ : defaultFontColor_;
  const QColor title = bound ? titleColor_ : defaultFontColor_;
  // Title between the buttons, centred on the whole width.
  p.setPen(title);
  const QString head = fmt.MonthNames.value(d.month() - 1) + QStringLiteral(", ") + QString::number(d.year());
  p.drawText(QRect(0, c.top() + 2, width(), kButtonSize), Qt::AlignHCenter | Qt::AlignVCenter, head);
  // Weekday names in the regular weight: bold ones of seven columns touch.
  p.setFont(CalendarFont(false));
  for (int k = 0; k < 7; ++k)
    p.drawText(g.WeekdayCells[k], Qt::AlignCenter,
               CutDayName(fmt.ShortDayNames.value((firstDayOfWeek_ + k) % 7)));
  p.setPen(plain);
  p.drawLine(c.left() + 1, g.GridTop, c.right() - 1, g.GridTop);
  p.setFont(CalendarFont(boldDays_));
  const TtwDataSkinButtonControl* mark = nullptr;
  QImage markPicture;
  if (bound) {
    const int i = skinData_->FindControlIndex(QStringLiteral("resizebutton"));
    if (i >= 0) mark = dynamic_cast<const TtwDataSkinButtonControl*>(skinData_->ControlRecords()[i]);
  }
  for (const TtwMonthCell& cell : g.Cells) {
    if (!cell.Day) continue;
    QColor ink = plain;
    if (cell.Day == d.day()) {
      if (mark) {
        const TRect src = mark->downskinrect.IsEmpty() ? mark->skinrect : mark->downskinrect;
        const QImage img = ComposeRecordPiece(*skinData_, mark, src, cell.Rect.size());
        p.drawImage(cell.Rect.topLeft(), img);
        ink = ColorToQ(mark->downfontcolor);
      } else {
        p.setPen(bound ? title : defaultFontColor_);
        p.drawRect(cell.Rect.adjusted(0, 0, -1, -1));
      }
    }
    p.setPen(ink);
    p.drawText(cell.Rect, Qt::AlignCenter, QString::number(cell.Day));
  }
}

void TtwSkinMonthCalendar::mouseReleaseEvent(QMouseEvent* e) {
  TtwSkinPanel::mouseReleaseEvent(e);
  if (e->button() != Qt::LeftButton || !CalendarRect().contains(e->position().toPoint())) return;
  const int day = MonthDayAt(Grid(), e->position().toPoint());
  if (!day) return;
  const QDate d = date_.isValid() ? date_.date() : QDate::currentDate();
  SetDate(QDateTime(QDate(d.year(), d.month(), day), QTime(0, 0)));
  if (OnNumberClick) OnNumberClick(this);
}

void TtwSkinMonthCalendar::SetPressed(int button) {
  if (button == pressed_) return;
  pressed_ = button;
  repeatedSincePress_ = false;
  if (button < 0) repeat_->Stop();
  else repeat_->Start(kRepeatFirstDelayMs);
}

bool TtwSkinMonthCalendar::eventFilter(QObject* watched, QEvent* e) {
  for (int i = 0; i < 4; ++i) {
    if (watched != buttons_[i]) continue;
    switch (e->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonDblClick:
        if (static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton) SetPressed(i);
        break;
      case QEvent::MouseButtonRelease:
        // The button's click (on release) runs after this: it sees the flag.
        repeat_->Stop();
        pressed_ = -1;
        break;
      case QEvent::Leave:
      case QEvent::Hide:
      case QEvent::EnabledChange:
        SetPressed(-1);
        break;
      default: break;
    }
  }
  return TtwSkinPanel::eventFilter(watched, e);
}

// ------------------------------------------------------------ popup

TtwSkinPopupMonthCalendar::TtwSkinPopupMonthCalendar(QWidget* parent) : TtwSkinMonthCalendar(parent) {
  setWindowFlags(Qt::Popup | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint);
  // The click that closes it must not reopen it through the date edit's button.
  setAttribute(Qt::WA_NoMouseReplay);
  setAttribute(Qt::WA_ShowWithoutActivating);
  hide();
}

void TtwSkinPopupMonthCalendar::keyPressEvent(QKeyEvent* e) {
  // A key closes the calendar without a choice; Escape only closes.
  e->accept();
  hide();
}

void TtwSkinPopupMonthCalendar::hideEvent(QHideEvent* e) {
  TtwSkinMonthCalendar::hideEvent(e);
  if (OnHidden) OnHidden();
}

void TtwSkinPopupMonthCalendar::paintEvent(QPaintEvent* e) {
  TtwSkinMonthCalendar::paintEvent(e);
  if (OnNextPaint) std::exchange(OnNextPaint, nullptr)();
}
