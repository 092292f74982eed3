#pragma once
// The month calendar: a skinned panel with a title, weekday row and day
// grid and four repeat buttons, and its pop-up form; the locale's date
// format source it shares with the date edit.
#include <QDateTime>
#include <QStringList>
#include <array>
#include <functional>

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
