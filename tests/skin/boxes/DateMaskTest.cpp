// Date masks from the locale's short format (through an injected source),
// the key filter, the completeness test and the date edit's calendar.
#include <QLocale>
#include <QTest>

#include "../controls/QtApp.h"
#include "platform/Application.h"
#include "skin/boxes/twCalendar.h"

namespace {

TtwDateFormat Format(const char* pattern, const QLocale& names = QLocale(QLocale::English, QLocale::UnitedStates)) {
  TtwDateFormat f = TtwDateFormat::FromLocale(names);
  f.ShortFormat = QString::fromUtf8(pattern);
  return f;
}

// Installs a format source for one test.
struct ScopedFormat {
  explicit ScopedFormat(const TtwDateFormat& f) {
    TtwDateFormat::SetSource([f] { return f; });
  }
  ~ScopedFormat() { TtwDateFormat::SetSource(nullptr); }
};

TEST(DateMask, MaskAndTextFollowTheLocalesShortFormat) {
  const QLocale zh(QLocale::Chinese, QLocale::China), us(QLocale::English, QLocale::UnitedStates);
  const struct {
    const char* name;
    TtwDateFormat format;
    const char* mask;
    const char* text;  // 1 May 2013
  } cases[] = {
      {"zh_CN", TtwDateFormat::FromLocale(zh), "!0000/99/99;1; ", "2013/05/01"},
      {"en_US", TtwDateFormat::FromLocale(us), "!99/99/00;1; ", "05/01/13"},
      {"day first, dots", Format("dd.MM.yyyy"), "!99/99/0000;1; ", "01.05.2013"},
      {"named month", Format("dd-MMM-yyyy"), "!99/CCC/0000;1; ", "01-May-2013"},
      {"Chinese-lettered month", Format("yyyy-MMM-d", zh), "!0000/CCc/99;1; ", "2013-5月 -01"},
      // No three fields at one separator: numeric, in the locale's order.
      {"Chinese letters as separators", Format("yyyy年M月d日", zh), "!0000/99/99;1; ", "2013/05/01"},
      {"blank separator", Format("d MMM yyyy"), "!99/99/0000;1; ", "01/05/2013"},
      {"weekday in the format", Format("ddd, M/d/yyyy"), "!99/99/0000;1; ", "05/01/2013"},
  };
  for (const auto& c : cases) {
    const TtwDateMask m = TtwDateMask::FromFormat(c.format);
    EXPECT_EQ(m.EditMask, QString::fromUtf8(c.mask)) << c.name << " " << c.format.ShortFormat.toStdString();
    EXPECT_EQ(m.Format(QDate(2013, 5, 1)), QString::fromUtf8(c.text)) << c.name;
    // What the mask writes, it reads back.
    QDate d;
    const QString full = m.Format(QDate(2013, 12, 31));
    EXPECT_EQ(m.Parse(full, &d), TtwDateMask::TextState::Complete) << c.name << " " << full.toStdString();
    EXPECT_EQ(d, QDate(2013, 12, 31)) << c.name;
  }
}

TEST(DateMask, AStoredMaskWinsWithTheLocalesSeparator) {
  const TtwDateFormat dots = Format("dd.MM.yyyy");
  const TtwDateMask m = TtwDateMask::FromStoredMask(QStringLiteral("!0000/99/99;1; "), dots);
  EXPECT_EQ(m.Format(QDate(2013, 5, 1)), QStringLiteral("2013.05.01"));
  EXPECT_EQ(TtwSkinDateEdit::ToInputMask(m.EditMask, m.Separator), QStringLiteral("9999.00.00; "));
  // Not three date fields: the locale's own mask.
  EXPECT_EQ(TtwDateMask::FromStoredMask(QStringLiteral("000;1; "), dots).EditMask, QStringLiteral("!99/99/0000;1; "));
}

TEST(DateMask, KeyFilterChecksEachFieldAndNeverReadsPastTheText) {
  const TtwDateMask m = TtwDateMask::FromFormat(Format("yyyy/MM/dd"));
  const struct {
    const char* display;
    int caret;
    char key;
    bool accepted;
  } cases[] = {
      {"2013/  /  ", 5, '1', true},   // first month digit 1
      {"2013/1 /  ", 6, '3', false},  // 13 > 12
      {"2013/1 /  ", 6, '2', true},
      {"2013/0 /  ", 6, '0', false},  // month 00
      {"2013/12/  ", 8, '4', true},   // a blank still to fill
      {"2013/12/4 ", 9, '0', false},  // day 40
      {"2013/12/3 ", 9, '2', false},  // 32
      {"2013/12/3 ", 9, '1', true},
      {"2013/12/  ", 7, '3', true},   // on the separator: written past it
      {"2013/12/31", 10, '1', false},  // caret at the end
      {"2013/12/31", 42, '1', false},  // caret far past the end
      {"2013/12/31", -1, '1', false},
      {"    /  /  ", 0, 'x', false},  // not a digit
      {"", 0, '1', false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(m.AcceptsKey(QString::fromLatin1(c.display), c.caret, QLatin1Char(c.key)), c.accepted)
        << c.display << " @" << c.caret << " " << c.key;
}

TEST(DateMask, CompletenessAndImpossibleDays) {
  const TtwDateMask m = TtwDateMask::FromFormat(Format("yyyy/MM/dd"));
  QDate d;
  EXPECT_EQ(m.Parse(QStringLiteral("2013/05/  "), &d), TtwDateMask::TextState::Incomplete);
  EXPECT_EQ(m.Parse(QStringLiteral("2013/13/01"), &d), TtwDateMask::TextState::Incomplete);
  EXPECT_EQ(m.Parse(QStringLiteral("0000/05/01"), &d), TtwDateMask::TextState::Incomplete);
  EXPECT_EQ(m.Parse(QStringLiteral("2013/04/31"), &d), TtwDateMask::TextState::Complete);
  EXPECT_FALSE(d.isValid());  // complete, but no such day
  const TtwDateMask named = TtwDateMask::FromFormat(Format("dd-MMM-yyyy"));
  EXPECT_EQ(named.Parse(QStringLiteral("01-may-2013"), &d), TtwDateMask::TextState::Complete);
  EXPECT_EQ(d, QDate(2013, 5, 1));
  EXPECT_EQ(named.Parse(QStringLiteral("01-Mxy-2013"), &d), TtwDateMask::TextState::Incomplete);
}

// ---------------------------------------------------------------- date edit

TEST(DateEditLocale, TypingFollowsTheInjectedFormat) {
  ScopedFormat f(TtwDateFormat::FromLocale(QLocale(QLocale::English, QLocale::UnitedStates)));
  TtwSkinDateEdit e;
  EXPECT_EQ(e.EditMask(), QStringLiteral("!99/99/00;1; "));
  e.show();
  e.setFocus();
  e.setCursorPosition(0);
  QTest::keyClicks(&e, QStringLiteral("1"));
  QTest::keyClicks(&e, QStringLiteral("3"));  // month 13: dropped
  QTest::keyClicks(&e, QStringLiteral("20415"));
  EXPECT_EQ(e.displayText(), QStringLiteral("12/04/15"));
  EXPECT_EQ(e.Date().date(), QDate(2015, 12, 4));
}

TEST(DateEditLocale, AnImpossibleDayIsRefusedWithAClearMessage) {
  TApplication app;
  QStringList errors;
  app.SetErrorDisplay([&](const QString& t) { errors << t; });
  TtwSkinDateEdit e;
  e.SetEditMask(QStringLiteral("!0000/99/99;1; "));
  e.SetDate(QDateTime(QDate(2013, 5, 1), QTime()));
  e.setText(QStringLiteral("2013/04/31"));
  ASSERT_EQ(errors.size(), 1);
  EXPECT_EQ(errors[0], QStringLiteral("'2013/04/31' is not a valid date"));
  EXPECT_EQ(e.Date().date(), QDate(2013, 5, 1));
}

TEST(DateEditLocale, OpeningPicksAndCancellingRestores) {
  TtwSkinDateEdit e;
  e.SetEditMask(QStringLiteral("!0000/99/99;1; "));
  e.SetBounds(20, 20, 150, 20);
  e.show();
  e.SetDate(QDateTime(QDate(2013, 5, 1), QTime()));
  int changes = 0;
  e.OnDateChange = [&](QObject*) { ++changes; };
  // Cancelled after a step: the date it had when opened.
  e.DropDown();
  ASSERT_TRUE(e.CalendarShown());
  e.Calendar()->Step(TtwCalendarStep::NextMonth);
  e.Calendar()->hide();  // a click outside
  EXPECT_FALSE(e.CalendarShown());
  EXPECT_EQ(e.Date().date(), QDate(2013, 5, 1));
  EXPECT_EQ(changes, 0);
  // A day clicked: closes, writes the text, notifies.
  e.DropDown();
  const TtwMonthGrid g = e.Calendar()->Grid();
  QTest::mouseClick(e.Calendar(), Qt::LeftButton, {}, g.Cells[g.FirstColumn + 14].Rect.center());
  EXPECT_FALSE(e.CalendarShown());
  EXPECT_EQ(e.text(), QStringLiteral("2013/05/15"));
  EXPECT_EQ(changes, 1);
  // A key typed while open closes it without a choice.
  e.DropDown();
  QTest::keyClick(e.Calendar(), Qt::Key_A);
  EXPECT_FALSE(e.CalendarShown());
}

}  // namespace
