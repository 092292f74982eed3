#pragma once
// The date edit: a skinned button edit whose mask follows the locale's short
// date format and whose button opens the pop-up month calendar.
#include <QDateTime>
#include <QStringList>
#include <array>
#include <functional>

#include "platform/Clock.h"
#include "skin/boxes/twMonthCalendar.h"
#include "skin/boxes/twSkinEdits.h"

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
  bool AlphaBlendAnimation() const { return alphaBlendAnimation_; }
  void SetAlphaBlendAnimation(bool v) { alphaBlendAnimation_ = v; }
  bool Fading() const { return fade_.IsActive(); }

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
  void FadeStep();

  bool alphaBlend_ = false;
  int alphaBlendValue_ = 0;
  bool alphaBlendAnimation_ = false;
  int alpha_ = 255;
  TwTimer fade_;
  TtwSkinPopupMonthCalendar* calendar_ = nullptr;
};
