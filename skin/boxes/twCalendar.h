#pragma once
// The month calendar (a skinned panel with a day grid and four repeat
// buttons), its pop-up form, and the date edit whose mask follows the
// locale's short date format and whose button opens the calendar.
#include <QDateTime>
#include <QStringList>
#include <array>
#include <functional>

#include "skin/boxes/twSkinEdits.h"
#include "skin/controls/twSkinPanels.h"

class TtwSkinSpeedButton;
class TwTimer;

// ------------------------------------------------------------ dates

// The locale's short date format and names, behind one replaceable source so
// tests can run any locale.
struct TtwDateFormat {
  QString ShortFormat;       // Qt pattern: "yyyy/M/d", "M/d/yy", "dd-MMM-yyyy"
  QStringList MonthNames;    // 12 long names (the title)
  QStringList ShortMonthNames;  // 12 names as MMM writes them
  QStringList ShortDayNames;    // 7, Sunday first

  static TtwDateFormat FromLocale(const QLocale& locale);
  // The installed source's format (the system locale's unless replaced).
  static TtwDateFormat Current();
  static void SetSource(std::function<TtwDateFormat()> source);
};

enum class TtwDateField { Year, Month, Day };

// An edit mask for dates and the text it holds: the fields' order and widths,
// the separator, the mask in the program's notation and the rules of the key
// filter and the completeness test.
struct TtwDateMask {
  std::array<TtwDateField, 3> Order{TtwDateField::Year, TtwDateField::Month, TtwDateField::Day};
  std::array<int, 3> Width{4, 2, 2};
  QChar Separator = QLatin1Char('/');
  bool MonthNamed = false;
  QStringList MonthNames;  // what a named month field holds
  QString EditMask;        // "!0000/99/99;1; "

  // From the locale's short format; a format that does not split into three
  // fields at one separator (or splits at a blank) gives a numeric mask in
  // the locale's field order.
  static TtwDateMask FromFormat(const TtwDateFormat& f);
  // A stored mask wins: its field order and widths, the locale's separator.
  // A mask that is not three date fields gives FromFormat(f).
  static TtwDateMask FromStoredMask(const QString& mask, const TtwDateFormat& f);

  int ReferenceYear() const { return WidthOf(TtwDateField::Year) <= 2 ? 99 : 9999; }
  int WidthOf(TtwDateField field) const;
  QString Format(const QDate& d) const;
  // The field texts of a display text (blanks kept); empty when it does not
  // split into three.
  QStringList Fields(const QString& display) const;
  // The typed character `c` at `caret` of the display text (blanks as ' ').
  bool AcceptsKey(const QString& display, int caret, QChar c) const;
  enum class TextState { Incomplete, Complete };
  // Complete: no blank and every field in range. The date is invalid
  // (null) when complete but not a real day (the 31st of April).
  TextState Parse(const QString& display, QDate* date) const;
};

// ------------------------------------------------------------ month grid

enum TtwDaysOfWeek { Sun, Mon, Tue, Wed, Thu, Fri, Sat };

int DaysInMonth(int year, int month);
// Column of the 1st in row 0: never negative, whatever the two weekdays.
int FirstDayColumn(int weekdayOfFirst, int firstDayOfWeek);
// A weekday name cut to `bytes` bytes as the program's code page counts them
// (two per non-ASCII character), never splitting a character.
QString CutDayName(const QString& name, int bytes = 4);

struct TtwMonthCell {
  int Day = 0;  // 0: before the 1st or after the last day
  QRect Rect;
};

struct TtwMonthGrid {
  int ColumnWidth = 1, RowHeight = 1, GridTop = 0, FirstColumn = 0;
  std::array<QRect, 7> WeekdayCells;
  std::array<TtwMonthCell, 42> Cells;  // row by row
};

// The grid of one month in the client rectangle c: title band, weekday row
// at c.top + 33, a separator at GridTop, six rows of seven cells. Column
// width and row height are at least 1, however small c is.
TtwMonthGrid MonthGrid(int year, int month, int firstDayOfWeek, const QRect& c, int textHeight);
// The day under p, or 0.
int MonthDayAt(const TtwMonthGrid& g, const QPoint& p);

enum class TtwCalendarStep { PriorMonth, NextMonth, PriorYear, NextYear };
inline constexpr int kFirstCalendarYear = 1761;
inline constexpr int kLastCalendarYear = 9999;
// The date one step away at midnight, the day clamped to the month; the same
// date when the step would leave 1761 ... 9999.
QDate StepDate(const QDate& d, TtwCalendarStep s);

// ------------------------------------------------------------ calendar

inline constexpr int kPriorNextMonthRepeatMs = 250;
inline constexpr int kPriorNextYearRepeatMs = 100;

class TtwSkinMonthCalendar : public TtwSkinPanel {
  Q_OBJECT
 public:
  explicit TtwSkinMonthCalendar(QWidget* parent = nullptr);
  ~TtwSkinMonthCalendar() override;

  QDateTime Date() const { return date_; }
  void SetDate(const QDateTime& d);
  bool TodayDefault() const { return todayDefault_; }
  void SetTodayDefault(bool v);
  TtwDaysOfWeek FirstDayOfWeek() const { return firstDayOfWeek_; }
  void SetFirstDayOfWeek(TtwDaysOfWeek d);
  bool BoldDays() const { return boldDays_; }
  void SetBoldDays(bool v);
  void SetSkinData(TtwSkinData* data) override;
  void ApplySkin() override;

  // One step, as the four buttons make it (refused at the supported ends).
  void Step(TtwCalendarStep s);
  TtwSkinSpeedButton* Button(TtwCalendarStep s) const { return buttons_[int(s)]; }
  // The grid as the last paint (or the current size) lays it out.
  TtwMonthGrid Grid() const;
  QRect CalendarRect() const;

  std::function<void(QObject*)> OnNumberClick;

 protected:
  void PaintFace(QImage& bitmap) override;
  void resizeEvent(QResizeEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void LayoutButtons();
  // Idle --press--> Pressed(button) --release / leave / hide / disable--> Idle;
  // only this starts and stops the repeat timer.
  void SetPressed(int button);
  QFont CalendarFont(bool bold) const;

  QDateTime date_;
  bool todayDefault_ = false, boldDays_ = false;
  TtwDaysOfWeek firstDayOfWeek_ = Sun;
  QColor dayColor_ = Qt::black, titleColor_ = Qt::black;
  std::array<TtwSkinSpeedButton*, 4> buttons_{};
  int pressed_ = -1;
  bool repeatedSincePress_ = false;
  TwTimer* repeat_ = nullptr;
};

// The calendar in a pop-up window: a click outside closes it.
class TtwSkinPopupMonthCalendar : public TtwSkinMonthCalendar {
  Q_OBJECT
 public:
  explicit TtwSkinPopupMonthCalendar(QWidget* parent = nullptr);
  // The window hid (a day chosen, a click outside, a key).
  std::function<void()> OnHidden;
  // Runs once, at the next paint (the benchmark's end mark).
  std::function<void()> OnNextPaint;

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  void hideEvent(QHideEvent* e) override;
  void paintEvent(QPaintEvent* e) override;
};

// ------------------------------------------------------------ date edit

class TtwSkinDateEdit : public TtwSkinCustomEdit {
  Q_OBJECT
 public:
  explicit TtwSkinDateEdit(QWidget* parent = nullptr);
  ~TtwSkinDateEdit() override;

  QDateTime Date() const;
  // Writes the date into the text and fires OnDateChange (also when equal).
  void SetDate(const QDateTime& d);
  QString Text() const { return text(); }
  QString DisplayText() const { return displayText(); }
  void SetText(const QString& t) { setText(t); }
  // The mask in the program's notation, e.g. "!0000/99/99;1; "; empty: the
  // mask of the locale's short date format.
  QString EditMask() const { return mask_.EditMask; }
  void SetEditMask(const QString& mask);
  const TtwDateMask& DateMask() const { return mask_; }
  int MaxLength() const { return maxLength(); }
  void SetMaxLength(int n) { setMaxLength(n > 0 ? n : 32767); }
  bool TodayDefault() const { return todayDefault_; }
  void SetTodayDefault(bool v);
  bool AlphaBlend() const { return alphaBlend_; }
  void SetAlphaBlend(bool v) { alphaBlend_ = v; }
  int AlphaBlendValue() const { return alphaBlendValue_; }
  void SetAlphaBlendValue(int v) { alphaBlendValue_ = std::clamp(v, 0, 255); }

  int CalendarWidth() const;
  void SetCalendarWidth(int w);
  int CalendarHeight() const;
  void SetCalendarHeight(int h);
  QString CalendarSkinDataName() const;
  void SetCalendarSkinDataName(const QString& n);
  bool CalendarBoldDays() const;
  void SetCalendarBoldDays(bool v);
  TtwDaysOfWeek FirstDayOfWeek() const;
  void SetFirstDayOfWeek(TtwDaysOfWeek d);
  TtwSkinPopupMonthCalendar* Calendar() const { return calendar_; }

  bool CalendarShown() const;
  void DropDown();
  void CloseUp(bool accept);
  // Compatibility: the edit is the date edit itself.
  QLineEdit* Edit() { return this; }
  // The program's mask notation turned into a QLineEdit input mask; "/" is
  // the date separator.
  static QString ToInputMask(const QString& mask, QChar separator = QLatin1Char('/'));

  std::function<void(QObject*)> OnDateChange;

 signals:
  void dateChanged();

 protected:
  void ButtonClicked() override;
  void keyPressEvent(QKeyEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;

 private:
  void TextChanged();
  void FilterKey(QChar& key);
  void NotifyDateChange();

  TtwDateMask mask_;
  QDateTime dateBeforeDrop_;
  bool calendarOpen_ = false;
  bool textBeingSet_ = false;
  bool todayDefault_ = false;
  bool alphaBlend_ = false;
  int alphaBlendValue_ = 0;
  TtwSkinPopupMonthCalendar* calendar_ = nullptr;
};
