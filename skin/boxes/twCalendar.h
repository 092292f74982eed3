#pragma once
// Date edit with its pop-up month calendar.
#include <QDateTime>

#include "skin/controls/twSkinControlBase.h"

class QLineEdit;
class QCalendarWidget;

class TtwSkinDateEdit : public TtwSkinCustomControl {
  Q_OBJECT
 public:
  explicit TtwSkinDateEdit(QWidget* parent = nullptr);
  ~TtwSkinDateEdit() override;

  QDateTime Date() const { return date_; }
  // Writes the date into the text and fires OnDateChange (also when equal).
  void SetDate(const QDateTime& d);
  QString Text() const;
  void SetText(const QString& t);
  // The mask in the program's notation, e.g. "!0000/99/99;1; ".
  QString EditMask() const { return editMask_; }
  void SetEditMask(const QString& mask);
  int MaxLength() const;
  void SetMaxLength(int n);
  // Date format used for the text; follows the mask's field order.
  QString DateFormat() const { return dateFormat_; }
  void SetDateFormat(const QString& f) { dateFormat_ = f; }
  bool TodayDefault() const { return todayDefault_; }
  void SetTodayDefault(bool v);

  int CalendarWidth() const { return calendarWidth_; }
  void SetCalendarWidth(int w) { calendarWidth_ = w; }
  int CalendarHeight() const { return calendarHeight_; }
  void SetCalendarHeight(int h) { calendarHeight_ = h; }
  QString CalendarSkinDataName() const { return calendarSkinDataName_; }
  void SetCalendarSkinDataName(const QString& n) { calendarSkinDataName_ = n; }

  bool CalendarShown() const;
  void DropDown();
  void CloseUp(bool accept);
  QLineEdit* Edit() const { return edit_; }
  QRect ButtonArea() const;
  // The program's mask notation turned into a QLineEdit input mask.
  static QString ToInputMask(const QString& mask);

  std::function<void(QObject*)> OnDateChange;

  void PaintDefault(QImage& bitmap) override;
  // Until input controls are drawn from their records they keep the default
  // look and the size they are given, bound or not.
  void PaintSkin(QImage& bitmap) override { PaintDefault(bitmap); }
  void FitToSkin(int&, int&) override {}

 signals:
  void dateChanged();

 protected:
  void resizeEvent(QResizeEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void TextEdited();
  void LayoutEdit();

  QDateTime date_;
  QDateTime dateBeforeDrop_;
  QString editMask_;
  QString dateFormat_ = QStringLiteral("yyyy/MM/dd");
  bool textBeingSet_ = false;
  bool todayDefault_ = false;
  int calendarWidth_ = 200, calendarHeight_ = 150;
  QString calendarSkinDataName_ = QStringLiteral("panel");
  QLineEdit* edit_ = nullptr;
  QWidget* popup_ = nullptr;
  QCalendarWidget* calendar_ = nullptr;
};
