// Date edit: date to text, typed text to date, the mask, the calendar.
#include <QLineEdit>
#include <QTest>

#include "../controls/QtApp.h"
#include "platform/Application.h"
#include "platform/Clock.h"
#include "skin/boxes/twCalendar.h"

namespace {

TEST(DateEdit, MaskNotationBecomesAnInputMask) {
  struct Case {
    const char* mask;
    const char* expected;
  };
  const Case cases[] = {
      {"!0000/99/99;1; ", "9999/00/00; "},
      {"!99/99/0000;1;_", "00/00/9999;_"},
      {"LL-00;0; ", "AA-99; "},
      {"\\A0;1; ", "\\A9; "},
      {"(000) x;1; ", "(999) \\x; "},
  };
  for (const Case& c : cases)
    EXPECT_EQ(TtwSkinDateEdit::ToInputMask(QString::fromLatin1(c.mask)), QString::fromLatin1(c.expected))
        << c.mask;
}

TEST(DateEdit, SettingTheDateWritesTheTextAndAlwaysNotifies) {
  TtwSkinDateEdit edit;
  edit.SetEditMask(QStringLiteral("!0000/99/99;1; "));
  edit.SetMaxLength(10);
  int changes = 0;
  edit.OnDateChange = [&](QObject*) { ++changes; };
  const QDateTime d(QDate(2013, 5, 1), QTime(9, 30));
  edit.SetDate(d);
  EXPECT_EQ(edit.Text(), QStringLiteral("2013/05/01"));
  EXPECT_EQ(edit.Date(), d);
  edit.SetDate(d);
  EXPECT_EQ(changes, 2);
}

TEST(DateEdit, TypedCompleteDatesTakeEffectAtMidnightInvalidOnesAreReported) {
  TApplication app;
  QStringList errors;
  app.SetErrorDisplay([&](const QString& t) { errors << t; });
  TtwSkinDateEdit edit;
  edit.SetEditMask(QStringLiteral("!0000/99/99;1; "));
  edit.SetDate(QDateTime(QDate(2013, 5, 1), QTime(9, 30)));
  int changes = 0;
  edit.OnDateChange = [&](QObject*) { ++changes; };
  edit.Edit()->setText(QStringLiteral("2014/02/03"));
  EXPECT_EQ(edit.Date(), QDateTime(QDate(2014, 2, 3), QTime(0, 0)));
  EXPECT_EQ(changes, 1);
  edit.Edit()->setText(QStringLiteral("2014/02/31"));
  EXPECT_EQ(edit.Date(), QDateTime(QDate(2014, 2, 3), QTime(0, 0)));
  ASSERT_EQ(errors.size(), 1);
  EXPECT_TRUE(errors[0].contains(QStringLiteral("2014/02/31")));
  EXPECT_EQ(changes, 1);
}

TEST(DateEdit, CancellingTheCalendarKeepsTheDate) {
  TtwSkinDateEdit edit;
  edit.SetEditMask(QStringLiteral("!0000/99/99;1; "));
  const QDateTime d(QDate(2013, 5, 1), QTime(9, 30));
  edit.SetDate(d);
  edit.show();
  edit.DropDown();
  EXPECT_TRUE(edit.CalendarShown());
  edit.CloseUp(false);
  EXPECT_FALSE(edit.CalendarShown());
  EXPECT_EQ(edit.Date(), d);
  EXPECT_EQ(edit.Text(), QStringLiteral("2013/05/01"));
}

TEST(DateEdit, TheCalendarFadesInOnTheClockAndAClosingStopsTheFade) {
  for (int target : {200, 255, 7, 0}) {
    TwManualClock clock;
    TtwSkinDateEdit edit;
    edit.SetAlphaBlend(true);
    edit.SetAlphaBlendAnimation(true);
    edit.SetAlphaBlendValue(target);
    edit.show();
    edit.DropDown();
    EXPECT_DOUBLE_EQ(edit.Calendar()->windowOpacity(), 0.0) << target;
    clock.Advance(50);
    if (target > 100) {
      EXPECT_TRUE(edit.Fading()) << target;
      EXPECT_GT(edit.Calendar()->windowOpacity(), 0.0) << target;
    }
    clock.Advance(30 * 5);
    EXPECT_NEAR(edit.Calendar()->windowOpacity(), target / 255.0, 0.01) << target;
    EXPECT_FALSE(edit.Fading()) << target;
    EXPECT_EQ(clock.ArmedTimers(), 0) << target;
    // Closed in the middle of a fade: no timer is left running.
    edit.CloseUp(false);
    edit.DropDown();
    EXPECT_TRUE(target == 0 || edit.Fading()) << target;
    edit.CloseUp(false);
    EXPECT_EQ(clock.ArmedTimers(), 0) << target;
  }
}

}  // namespace
