// The date edit. Masks and the key filter are pure functions of the
// locale's format; the filter never reads past the text, and a complete but
// impossible date is refused with a message while the date stays.
#include "skin/boxes/twCalendar.h"

#include <QApplication>
#include <QKeyEvent>
#include <QScreen>

#include "platform/Application.h"
#include "platform/Errors.h"
#include "skin/boxes/twBoxLooks.h"

// ------------------------------------------------------------ date mask

namespace {

bool IsDateLetter(QChar c) { return c == QLatin1Char('y') || c == QLatin1Char('M') || c == QLatin1Char('d'); }

// Mask characters of one field in the program's notation.
QString FieldMask(TtwDateField field, int width, bool named, int requiredNameChars) {
  switch (field) {
    case TtwDateField::Year: return QString(width, QLatin1Char('0'));
    case TtwDateField::Day: return QString(width, QLatin1Char('9'));
    case TtwDateField::Month:
      // Names differ in length ("May", "June"; "5月", "12月"): the shortest
      // name's characters are required, the rest may stay blank.
      if (named) return QString(requiredNameChars, QLatin1Char('C')) + QString(width - requiredNameChars, QLatin1Char('c'));
      return QString(width, QLatin1Char('9'));
  }
  return {};
}

void BuildEditMask(TtwDateMask& m) {
  int shortest = 0;
  if (m.MonthNamed) {
    shortest = m.WidthOf(TtwDateField::Month);
    for (const QString& n : m.MonthNames) shortest = std::min(shortest, int(n.size()));
  }
  QString s = QStringLiteral("!");
  for (int i = 0; i < 3; ++i) {
    if (i) s += QLatin1Char('/');
    s += FieldMask(m.Order[i], m.Width[i], m.MonthNamed, shortest);
  }
  m.EditMask = s + QStringLiteral(";1; ");
}

// The fields' order as the format first names them.
std::array<TtwDateField, 3> LocaleOrder(const QString& format) {
  std::array<TtwDateField, 3> order{};
  int n = 0;
  bool seen[3] = {false, false, false};
  for (qsizetype i = 0; i < format.size();) {
    qsizetype j = i;
    while (j < format.size() && format[j] == format[i]) ++j;
    const QChar c = format[i];
    // "ddd" and "dddd" are weekday names, not the day of the month.
    const int f = c == QLatin1Char('y') ? 0 : c == QLatin1Char('M') ? 1 : (c == QLatin1Char('d') && j - i <= 2) ? 2 : -1;
    if (f >= 0 && !seen[f] && n < 3) {
      seen[f] = true;
      order[n++] = TtwDateField(f);
    }
    i = j;
  }
  for (int f = 0; f < 3; ++f)
    if (!seen[f]) order[n++] = TtwDateField(f);  // a format without the field: the usual order
  return order;
}

TtwDateMask NumericFallback(const TtwDateFormat& f) {
  TtwDateMask m;
  m.Order = LocaleOrder(f.ShortFormat);
  for (int i = 0; i < 3; ++i) m.Width[i] = m.Order[i] == TtwDateField::Year ? 4 : 2;
  m.Separator = QLatin1Char('/');
  BuildEditMask(m);
  return m;
}

bool AllDigits(const QString& s) {
  if (s.isEmpty()) return false;
  for (QChar c : s)
    if (!c.isDigit()) return false;
  return true;
}

}  // namespace

int TtwDateMask::WidthOf(TtwDateField field) const {
  for (int i = 0; i < 3; ++i)
    if (Order[i] == field) return Width[i];
  return 0;
}

TtwDateMask TtwDateMask::FromFormat(const TtwDateFormat& f) {
  // The separator: the first character that is no field letter.
  QChar sep;
  for (QChar c : f.ShortFormat)
    if (!IsDateLetter(c)) {
      sep = c;
      break;
    }
  // A blank separator cannot be told from the mask's blank.
  if (sep.isNull() || sep == QLatin1Char(' ') || sep == QLatin1Char('\'')) return NumericFallback(f);
  const QStringList parts = f.ShortFormat.split(sep);
  if (parts.size() != 3) return NumericFallback(f);
  TtwDateMask m;
  m.Separator = sep;
  bool seen[3] = {false, false, false};
  for (int i = 0; i < 3; ++i) {
    const QString& p = parts[i];
    if (p.isEmpty() || p.count(p[0]) != p.size() || !IsDateLetter(p[0])) return NumericFallback(f);
    const QChar c = p[0];
    if (c == QLatin1Char('y')) {
      m.Order[i] = TtwDateField::Year;
      m.Width[i] = p.size() <= 2 ? 2 : 4;
    } else if (c == QLatin1Char('d')) {
      if (p.size() > 2) return NumericFallback(f);  // a weekday name is no date field
      m.Order[i] = TtwDateField::Day;
      m.Width[i] = 2;
    } else {
      m.Order[i] = TtwDateField::Month;
      if (p.size() >= 3) {
        const QStringList& names = p.size() == 3 ? f.ShortMonthNames : f.MonthNames;
        if (names.size() != 12) return NumericFallback(f);
        m.MonthNamed = true;
        m.MonthNames = names;
        int w = 0;
        for (const QString& n : names) w = std::max(w, int(n.size()));
        m.Width[i] = w;
        // A name made only of digits would read as a number: no names then.
        if (AllDigits(names[11])) return NumericFallback(f);
      } else {
        m.Width[i] = 2;
      }
    }
    seen[int(m.Order[i])] = true;
  }
  if (!(seen[0] && seen[1] && seen[2])) return NumericFallback(f);
  BuildEditMask(m);
  return m;
}

TtwDateMask TtwDateMask::FromStoredMask(const QString& mask, const TtwDateFormat& f) {
  const TtwDateMask locale = FromFormat(f);
  QString body = mask.section(QLatin1Char(';'), 0, 0);
  if (body.startsWith(QLatin1Char('!'))) body.remove(0, 1);
  const QStringList parts = body.split(QLatin1Char('/'));
  if (parts.size() != 3) return locale;
  TtwDateMask m;
  m.Separator = locale.Separator;
  // Two "9" fields are month and day: after a leading year always in that
  // order (no locale writes year, day, month), else in the locale's order.
  bool dayFirst = false;
  if (!parts[0].isEmpty() && parts[0].count(QLatin1Char('0')) != parts[0].size())
    for (TtwDateField x : LocaleOrder(f.ShortFormat))
      if (x != TtwDateField::Year) {
        dayFirst = x == TtwDateField::Day;
        break;
      }
  int nines = 0;
  bool seen[3] = {false, false, false};
  for (int i = 0; i < 3; ++i) {
    const QString& p = parts[i];
    if (p.isEmpty()) return locale;
    m.Width[i] = int(p.size());
    if (p.count(QLatin1Char('0')) == p.size()) {
      m.Order[i] = TtwDateField::Year;
    } else if (p.count(QLatin1Char('9')) == p.size()) {
      m.Order[i] = (nines++ == 0) == dayFirst ? TtwDateField::Day : TtwDateField::Month;
    } else if (locale.MonthNamed) {
      m.Order[i] = TtwDateField::Month;
      m.MonthNamed = true;
      m.MonthNames = locale.MonthNames;
    } else {
      return locale;
    }
    if (seen[int(m.Order[i])]) return locale;
    seen[int(m.Order[i])] = true;
  }
  m.EditMask = mask;
  return m;
}

QString TtwDateMask::Format(const QDate& d) const {
  if (!d.isValid()) return {};
  QString out;
  for (int i = 0; i < 3; ++i) {
    if (i) out += Separator;
    switch (Order[i]) {
      case TtwDateField::Year:
        out += QString::number(Width[i] <= 2 ? d.year() % 100 : d.year()).rightJustified(Width[i], QLatin1Char('0'));
        break;
      case TtwDateField::Month:
        out += MonthNamed ? MonthNames.value(d.month() - 1).leftJustified(Width[i], QLatin1Char(' '))
                          : QString::number(d.month()).rightJustified(Width[i], QLatin1Char('0'));
        break;
      case TtwDateField::Day: out += QString::number(d.day()).rightJustified(Width[i], QLatin1Char('0')); break;
    }
  }
  return out;
}

QStringList TtwDateMask::Fields(const QString& display) const {
  QStringList out;
  int at = 0;
  for (int i = 0; i < 3; ++i) {
    if (at + Width[i] > display.size()) return {};
    out << display.mid(at, Width[i]);
    at += Width[i];
    if (i < 2) {
      if (at >= display.size() || display[at] != Separator) return {};
      ++at;
    }
  }
  return at == display.size() ? out : QStringList{};
}

namespace {

// A field without its blanks, valid for its kind (the key filter's rule).
bool FieldValid(TtwDateField field, const QString& s, const TtwDateMask& m) {
  if (field == TtwDateField::Month && m.MonthNamed) {
    for (const QString& n : m.MonthNames)
      if (n.compare(s, Qt::CaseInsensitive) == 0) return true;
    return false;
  }
  if (!AllDigits(s)) return false;
  const int v = s.toInt();
  switch (field) {
    case TtwDateField::Year: return v <= m.ReferenceYear();
    case TtwDateField::Month: return s.size() == 1 ? v <= 1 : v > 0 && v <= 12;
    case TtwDateField::Day: return s.size() == 1 ? v <= 3 : v > 0 && v <= 31;
  }
  return false;
}

QString WithoutBlanks(QString s) { return s.remove(QLatin1Char(' ')); }

}  // namespace

bool TtwDateMask::AcceptsKey(const QString& display, int caret, QChar c) const {
  // The mask writes past a separator: so does the candidate.
  while (caret >= 0 && caret < display.size() && display[caret] == Separator) ++caret;
  if (caret < 0 || caret >= display.size()) return false;  // nothing there to replace
  QString cand = display;
  cand[caret] = c;
  if (!MonthNamed) {
    for (QChar x : cand)
      if (!x.isDigit() && x != QLatin1Char(' ') && x != Separator) return false;
  }
  const QStringList fields = Fields(cand);
  if (fields.size() != 3) return false;
  const bool anyBlank = cand.contains(QLatin1Char(' '));
  for (int i = 0; i < 3; ++i) {
    const bool blank = fields[i].contains(QLatin1Char(' '));
    if (blank && anyBlank && !(MonthNamed && Order[i] == TtwDateField::Month && !WithoutBlanks(fields[i]).isEmpty() &&
                               FieldValid(Order[i], WithoutBlanks(fields[i]), *this)))
      continue;  // still being typed
    if (!FieldValid(Order[i], WithoutBlanks(fields[i]), *this)) {
      // A named month is checked only once it is a whole name; until then
      // any letters pass.
      if (MonthNamed && Order[i] == TtwDateField::Month && anyBlank) continue;
      return false;
    }
  }
  return true;
}

TtwDateMask::TextState TtwDateMask::Parse(const QString& display, QDate* date) const {
  if (date) *date = QDate();
  const QStringList fields = Fields(display);
  if (fields.size() != 3) return TextState::Incomplete;
  int y = -1, mo = -1, d = -1;
  for (int i = 0; i < 3; ++i) {
    const QString f = Order[i] == TtwDateField::Month && MonthNamed ? fields[i].trimmed() : fields[i];
    if (f.isEmpty() || f.contains(QLatin1Char(' '))) return TextState::Incomplete;
    if (Order[i] == TtwDateField::Month && MonthNamed) {
      for (int k = 0; k < MonthNames.size(); ++k)
        if (MonthNames[k].compare(f, Qt::CaseInsensitive) == 0) {
          mo = k + 1;
          break;
        }
      if (mo < 0) return TextState::Incomplete;
      continue;
    }
    if (!AllDigits(f)) return TextState::Incomplete;
    const int v = f.toInt();
    switch (Order[i]) {
      case TtwDateField::Year: y = v; break;
      case TtwDateField::Month: mo = v; break;
      case TtwDateField::Day: d = v; break;
    }
  }
  const bool twoDigitYear = ReferenceYear() == 99;
  if ((y == 0 && !twoDigitYear) || y > ReferenceYear() || mo < 1 || mo > 12 || d < 1 || d > 31)
    return TextState::Incomplete;
  // Two-digit years: 00-49 are this century's, 50-99 the last one's.
  if (twoDigitYear) y += y < 50 ? 2000 : 1900;
  if (date) *date = QDate(y, mo, d);
  return TextState::Complete;
}

// ------------------------------------------------------------ date edit

TtwSkinDateEdit::TtwSkinDateEdit(QWidget* parent) : TtwSkinCustomEdit(parent) {
  skinDataName_ = QStringLiteral("buttonedit");
  SetButtonMode(true);
  resize(121, height());
  calendar_ = new TtwSkinPopupMonthCalendar(this);
  calendar_->SetDate(QDateTime());
  calendar_->OnNumberClick = [this](QObject*) { CloseUp(true); };
  // Hidden by anything but CloseUp (a click outside, a key): a cancel.
  calendar_->OnHidden = [this] { CloseUp(false); };
  fade_.OnTimeout = [this] { FadeStep(); };
  OnKeyPress = [this](QObject*, QChar& key) { FilterKey(key); };
  connect(this, &QLineEdit::textChanged, this, [this] { TextChanged(); });
  SetEditMask(QString());
}

TtwSkinDateEdit::~TtwSkinDateEdit() { calendar_->OnHidden = nullptr; }

QString TtwSkinDateEdit::ToInputMask(const QString& mask, QChar separator) {
  QString m = mask;
  QChar blank = QLatin1Char(' ');
  const QStringList parts = m.split(QLatin1Char(';'));
  m = parts.value(0);
  if (parts.size() >= 3 && !parts[2].isEmpty()) blank = parts[2][0];
  static const QString kQtCodes = QStringLiteral("AaNnXx90DdHhBb#><![]{}");
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
      case '/':
        if (kQtCodes.contains(separator)) out += QLatin1Char('\\');
        out += separator;
        break;
      case '\\':
        if (i + 1 < m.size()) {
          out += QLatin1Char('\\');
          out += m[++i];
        }
        break;
      default:
        // Everything else is a literal; escape what Qt would read as a code.
        if (kQtCodes.contains(c)) out += QLatin1Char('\\');
        out += c;
    }
  }
  return out + QLatin1Char(';') + blank;
}

void TtwSkinDateEdit::SetEditMask(const QString& mask) {
  const TtwDateFormat f = TtwDateFormat::Current();
  mask_ = mask.isEmpty() ? TtwDateMask::FromFormat(f) : TtwDateMask::FromStoredMask(mask, f);
  textBeingSet_ = true;
  setInputMask(ToInputMask(mask_.EditMask, mask_.Separator));
  textBeingSet_ = false;
}

QDateTime TtwSkinDateEdit::Date() const { return calendar_->Date(); }

void TtwSkinDateEdit::NotifyDateChange() {
  if (OnDateChange) OnDateChange(this);
  emit dateChanged();
}

void TtwSkinDateEdit::SetDate(const QDateTime& d) {
  calendar_->SetDate(d);
  textBeingSet_ = true;
  if (!todayDefault_) setText(mask_.Format(d.date()));
  textBeingSet_ = false;
  NotifyDateChange();
}

void TtwSkinDateEdit::SetTodayDefault(bool v) {
  todayDefault_ = v;
  calendar_->SetTodayDefault(v);
}

int TtwSkinDateEdit::CalendarWidth() const { return calendar_->width(); }
void TtwSkinDateEdit::SetCalendarWidth(int w) { calendar_->resize(std::max(1, w), calendar_->height()); }
int TtwSkinDateEdit::CalendarHeight() const { return calendar_->height(); }
void TtwSkinDateEdit::SetCalendarHeight(int h) { calendar_->resize(calendar_->width(), std::max(1, h)); }
QString TtwSkinDateEdit::CalendarSkinDataName() const { return calendar_->SkinDataName(); }
void TtwSkinDateEdit::SetCalendarSkinDataName(const QString& n) { calendar_->SetSkinDataName(n); }
bool TtwSkinDateEdit::CalendarBoldDays() const { return calendar_->BoldDays(); }
void TtwSkinDateEdit::SetCalendarBoldDays(bool v) { calendar_->SetBoldDays(v); }
TtwDaysOfWeek TtwSkinDateEdit::FirstDayOfWeek() const { return calendar_->FirstDayOfWeek(); }
void TtwSkinDateEdit::SetFirstDayOfWeek(TtwDaysOfWeek d) { calendar_->SetFirstDayOfWeek(d); }

void TtwSkinDateEdit::FilterKey(QChar& key) {
  if (key == QChar(13) || key == QChar(8) || key.isNull()) return;
  const int caret = hasSelectedText() ? selectionStart() : cursorPosition();
  if (!mask_.AcceptsKey(displayText(), caret, key)) key = QChar();
}

void TtwSkinDateEdit::TextChanged() {
  if (textBeingSet_) return;
  QDate d;
  if (mask_.Parse(displayText(), &d) != TtwDateMask::TextState::Complete) return;
  if (!d.isValid()) {
    // Complete but no such day (the 31st of April): said so, date kept.
    const QString t = displayText();
    Guarded([&] { throw EConvertError(QStringLiteral("'%1' is not a valid date").arg(t)); });
    return;
  }
  const QDateTime nd(d, QTime(0, 0));
  if (nd == calendar_->Date()) return;
  calendar_->SetDate(nd);
  NotifyDateChange();
}

bool TtwSkinDateEdit::CalendarShown() const { return calendarOpen_; }

void TtwSkinDateEdit::ButtonClicked() {
  TtwSkinCustomEdit::ButtonClicked();
  if (CalendarShown()) CloseUp(false);
  else DropDown();
}

void TtwSkinDateEdit::DropDown() {
  if (CalendarShown() || !isEnabled()) return;
  if (!todayDefault_) {
    dateBeforeDrop_ = calendar_->Date();
    if (!dateBeforeDrop_.isValid() && displayText().contains(QLatin1Char(' ')))
      calendar_->SetDate(QDateTime::currentDateTime());
  }
  calendar_->SetSkinData(skinData_);
  // Under the edit, or above it when the work area ends first; never past
  // the work area's sides.
  const QPoint top = mapToGlobal(QPoint(0, 0));
  QPoint at(top.x(), top.y() + height());
  const QScreen* s = QGuiApplication::screenAt(top + QPoint(width() / 2, height() / 2));
  if (!s) s = screen();
  if (s) {
    const QRect work = s->availableGeometry();
    if (at.y() + calendar_->height() > work.bottom() + 1) at.setY(top.y() - calendar_->height());
    at.setX(std::clamp(at.x(), work.left(), std::max(work.left(), work.right() + 1 - calendar_->width())));
  }
  calendar_->move(at);
  fade_.Stop();
  alpha_ = alphaBlend_ ? (alphaBlendAnimation_ ? 0 : alphaBlendValue_) : 255;
  calendar_->setWindowOpacity(alpha_ / 255.0);
  calendarOpen_ = true;
  calendar_->show();
  // The fade runs on the clock's timer, so the calendar takes clicks while
  // it comes in.
  if (alphaBlend_ && alphaBlendAnimation_ && alpha_ < alphaBlendValue_)
    fade_.Start(twBoxLooks::kDropDownFadeStepMs);
  update();
}

void TtwSkinDateEdit::FadeStep() {
  alpha_ = std::min(alphaBlendValue_, alpha_ + twBoxLooks::kDropDownFadeStep);
  calendar_->setWindowOpacity(alpha_ / 255.0);
  if (alpha_ >= alphaBlendValue_) fade_.Stop();
}

void TtwSkinDateEdit::CloseUp(bool accept) {
  if (!calendarOpen_) return;
  calendarOpen_ = false;  // before hiding: the hide calls back here
  fade_.Stop();
  calendar_->hide();
  if (accept) {
    textBeingSet_ = true;
    setText(mask_.Format(calendar_->Date().date()));
    NotifyDateChange();
    textBeingSet_ = false;
  } else if (!todayDefault_) {
    calendar_->SetDate(dateBeforeDrop_);
  }
  setFocus(Qt::PopupFocusReason);
  update();
}

void TtwSkinDateEdit::keyPressEvent(QKeyEvent* e) {
  if ((e->key() == Qt::Key_Down && (e->modifiers() & Qt::AltModifier)) || e->key() == Qt::Key_F4) {
    DropDown();
    return;
  }
  if (CalendarShown()) CloseUp(false);
  TtwSkinCustomEdit::keyPressEvent(e);
}

void TtwSkinDateEdit::focusOutEvent(QFocusEvent* e) {
  TtwSkinCustomEdit::focusOutEvent(e);
  if (!CalendarShown() && todayDefault_ && e->reason() != Qt::PopupFocusReason) {
    textBeingSet_ = true;
    setText(mask_.Format(calendar_->Date().date()));
    textBeingSet_ = false;
  }
}
