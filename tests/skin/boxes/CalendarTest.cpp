// Month calendar: the grid as a table, the steps at the supported ends,
// weekday names, tiny sizes, repeat stepping on the injected clock, and the
// day click.
#include <QTest>

#include "../controls/QtApp.h"
#include "platform/Clock.h"
#include "skin/boxes/twCalendar.h"
#include "skin/controls/twSkinButtons.h"

namespace {

// ---------------------------------------------------------------- grid

TEST(MonthGridTable, FirstDayColumnForEveryWeekdayAndFirstDayOfWeek) {
  // Months of 2013 whose 1st falls on each weekday (Sunday = 0).
  const struct {
    int month, weekday;
  } firsts[] = {{9, 0}, {4, 1}, {1, 2}, {5, 3}, {8, 4}, {2, 5}, {6, 6}};
  const QRect area(0, 0, 200, 150);
  for (const auto& f : firsts) {
    ASSERT_EQ(QDate(2013, f.month, 1).dayOfWeek() % 7, f.weekday);
    for (int first = 0; first < 7; ++first) {
      const TtwMonthGrid g = MonthGrid(2013, f.month, first, area, 14);
      const int col = ((f.weekday - first) + 7) % 7;
      EXPECT_EQ(g.FirstColumn, col) << f.month << " " << first;
      EXPECT_EQ(g.Cells[col].Day, 1);
      if (col > 0) {
        EXPECT_EQ(g.Cells[col - 1].Day, 0);
      }
      const int last = col + DaysInMonth(2013, f.month) - 1;
      EXPECT_EQ(g.Cells[last].Day, DaysInMonth(2013, f.month));
      if (last < 41) {
        EXPECT_EQ(g.Cells[last + 1].Day, 0);
      }
    }
  }
  // The remainder of a negative difference is never negative.
  for (int w = 0; w < 7; ++w)
    for (int f = 0; f < 7; ++f) EXPECT_GE(FirstDayColumn(w, f), 0);
}

TEST(MonthGridTable, EdgeCaseMonthsAndGeometry) {
  const QRect area(0, 0, 200, 150);
  // May 2013 from Sunday: the 1st in column 3 of row 0, the 31st in column 5 of row 4.
  TtwMonthGrid g = MonthGrid(2013, 5, Sun, area, 14);
  EXPECT_EQ(g.Cells[3].Day, 1);
  EXPECT_EQ(g.Cells[4 * 7 + 5].Day, 31);
  EXPECT_EQ(MonthGrid(2013, 5, Mon, area, 14).Cells[2].Day, 1);
  // September 2013 starts on a Sunday: column 0, the sixth row empty.
  g = MonthGrid(2013, 9, Sun, area, 14);
  EXPECT_EQ(g.Cells[0].Day, 1);
  for (int k = 35; k < 42; ++k) EXPECT_EQ(g.Cells[k].Day, 0);
  // Geometry: columns (width - 2) / 7, rows below the separator.
  EXPECT_EQ(g.ColumnWidth, 28);
  EXPECT_EQ(g.GridTop, 33 + 14 + 1);
  EXPECT_EQ(g.RowHeight, (149 + 1 - g.GridTop - 4) / 6);
  EXPECT_EQ(g.Cells[8].Rect, QRect(1 + 28, g.GridTop + 3 + g.RowHeight, 28, g.RowHeight));
  EXPECT_EQ(MonthDayAt(g, g.Cells[14].Rect.center()), 15);
  EXPECT_EQ(MonthDayAt(g, g.Cells[40].Rect.center()), 0);
  EXPECT_EQ(MonthDayAt(g, QPoint(-5, -5)), 0);
  // December 9999 and the first supported month lay out.
  EXPECT_EQ(MonthGrid(9999, 12, Sun, area, 14).Cells[FirstDayColumn(QDate(9999, 12, 1).dayOfWeek() % 7, 0) + 30].Day, 31);
  EXPECT_EQ(MonthGrid(1761, 1, Sun, area, 14).Cells[FirstDayColumn(QDate(1761, 1, 1).dayOfWeek() % 7, 0)].Day, 1);
}

TEST(MonthGridTable, TinyCalendarsKeepCellsOfOnePixelAtLeast) {
  for (const QRect& area : {QRect(0, 0, 0, 0), QRect(0, 0, 5, 5), QRect(0, 0, 9, 40), QRect(0, 0, 200, 30)}) {
    const TtwMonthGrid g = MonthGrid(2013, 5, Sun, area, 14);
    EXPECT_GE(g.ColumnWidth, 1);
    EXPECT_GE(g.RowHeight, 1);
    for (const QPoint& p : {QPoint(0, 0), QPoint(3, 60), QPoint(100, 100)}) {
      const int day = MonthDayAt(g, p);
      EXPECT_TRUE(day >= 0 && day <= 31);
    }
  }
  TtwSkinMonthCalendar c;
  c.resize(3, 3);
  c.SetDate(QDateTime(QDate(2013, 5, 1), QTime()));
  EXPECT_FALSE(c.RenderFace().isNull());
  QTest::mouseClick(&c, Qt::LeftButton, {}, QPoint(1, 1));
}

TEST(MonthGridTable, WeekdayNamesAreCutWithoutSplittingACharacter) {
  const struct {
    const char* in;
    const char* out;
  } cases[] = {{"Sun", "Sun"}, {"Wednesday", "Wedn"}, {"星期三", "星期"}, {"周三", "周三"},
               {"a星期", "a星"}, {"", ""}, {"\xF0\x9F\x98\x80\xF0\x9F\x98\x80\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80\xF0\x9F\x98\x80"}};
  for (const auto& c : cases) EXPECT_EQ(CutDayName(QString::fromUtf8(c.in)), QString::fromUtf8(c.out)) << c.in;
}

// ---------------------------------------------------------------- steps

TEST(CalendarSteps, ClampTheDayAndRefuseToLeaveTheSupportedYears) {
  const struct {
    QDate from;
    TtwCalendarStep step;
    QDate to;
  } cases[] = {
      {{2013, 3, 31}, TtwCalendarStep::NextMonth, {2013, 4, 30}},
      {{2012, 2, 29}, TtwCalendarStep::NextYear, {2013, 2, 28}},
      {{2013, 12, 15}, TtwCalendarStep::NextMonth, {2014, 1, 15}},
      {{2013, 1, 31}, TtwCalendarStep::PriorMonth, {2012, 12, 31}},
      {{2013, 3, 31}, TtwCalendarStep::PriorMonth, {2013, 2, 28}},
      // The ends: refused, not wrapped inside the year.
      {{9999, 12, 31}, TtwCalendarStep::NextMonth, {9999, 12, 31}},
      {{9999, 6, 1}, TtwCalendarStep::NextYear, {9999, 6, 1}},
      {{1761, 1, 10}, TtwCalendarStep::PriorMonth, {1761, 1, 10}},
      {{1761, 6, 1}, TtwCalendarStep::PriorYear, {1761, 6, 1}},
      {{9999, 11, 30}, TtwCalendarStep::NextMonth, {9999, 12, 30}},
      {{1761, 2, 1}, TtwCalendarStep::PriorMonth, {1761, 1, 1}},
  };
  for (const auto& c : cases) EXPECT_EQ(StepDate(c.from, c.step), c.to) << c.from.toString().toStdString();
}

TEST(CalendarSteps, ButtonsStepOnClickAndRepeatWhileHeldOnTheInjectedClock) {
  TwManualClock clock;
  TtwSkinMonthCalendar c;
  c.show();
  c.SetDate(QDateTime(QDate(2013, 5, 20), QTime(9, 0)));
  TtwSkinSpeedButton* next = c.Button(TtwCalendarStep::NextMonth);
  const QPoint mid = next->rect().center();
  QTest::mouseClick(next, Qt::LeftButton, {}, mid);
  EXPECT_EQ(c.Date(), QDateTime(QDate(2013, 6, 20), QTime(0, 0)));  // at midnight
  // Held: nothing before the first delay, then one step every 250 ms.
  QTest::mousePress(next, Qt::LeftButton, {}, mid);
  clock.Advance(kRepeatFirstDelayMs - 1);
  EXPECT_EQ(c.Date().date(), QDate(2013, 6, 20));
  clock.Advance(1);
  EXPECT_EQ(c.Date().date(), QDate(2013, 7, 20));
  clock.Advance(kPriorNextMonthRepeatMs * 2);
  EXPECT_EQ(c.Date().date(), QDate(2013, 9, 20));
  QTest::mouseRelease(next, Qt::LeftButton, {}, mid);
  EXPECT_EQ(c.Date().date(), QDate(2013, 9, 20));  // the release after a hold adds nothing
  clock.Advance(1000);
  EXPECT_EQ(c.Date().date(), QDate(2013, 9, 20));
  EXPECT_EQ(clock.ArmedTimers(), 0);
  // Years repeat every 100 ms.
  TtwSkinSpeedButton* year = c.Button(TtwCalendarStep::NextYear);
  QTest::mousePress(year, Qt::LeftButton, {}, mid);
  clock.Advance(kRepeatFirstDelayMs + kPriorNextYearRepeatMs * 3);
  QTest::mouseRelease(year, Qt::LeftButton, {}, mid);
  EXPECT_EQ(c.Date().date(), QDate(2017, 9, 20));
}

TEST(CalendarSteps, ButtonsSitInTheCornersOfTheClientArea) {
  TtwSkinMonthCalendar c;
  c.resize(200, 150);
  const QRect r = c.CalendarRect();
  EXPECT_EQ(c.Button(TtwCalendarStep::PriorYear)->geometry(), QRect(r.left() + 1, r.top() + 1, 23, 23));
  EXPECT_EQ(c.Button(TtwCalendarStep::PriorMonth)->x(), r.left() + 25);
  EXPECT_EQ(c.Button(TtwCalendarStep::NextYear)->x(), r.right() + 1 - 24);
  EXPECT_EQ(c.Button(TtwCalendarStep::NextMonth)->x(), r.right() + 1 - 48);
}

TEST(CalendarClick, ADayCellSetsThatDayAtMidnightABlankCellNothing) {
  TtwSkinMonthCalendar c;
  c.show();
  c.SetDate(QDateTime(QDate(2013, 5, 20), QTime(9, 30)));
  int clicks = 0;
  c.OnNumberClick = [&](QObject*) { ++clicks; };
  const TtwMonthGrid g = c.Grid();
  QTest::mouseClick(&c, Qt::LeftButton, {}, g.Cells[0].Rect.center());  // before the 1st
  EXPECT_EQ(clicks, 0);
  EXPECT_EQ(c.Date().time(), QTime(9, 30));
  QTest::mouseClick(&c, Qt::LeftButton, {}, g.Cells[g.FirstColumn + 14].Rect.center());
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(c.Date(), QDateTime(QDate(2013, 5, 15), QTime(0, 0)));
}

}  // namespace
