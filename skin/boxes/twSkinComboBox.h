#pragma once
// Combo box: self-drawn, with a pop-up list.
#include <QStringList>

#include "skin/controls/twSkinControlBase.h"

class QListWidget;
class QLineEdit;

enum TtwSkinCustomComboBoxStyle { twcbEditStyle, twcbFixedStyle };

class TtwSkinComboBox : public TtwSkinCustomControl {
  Q_OBJECT
 public:
  explicit TtwSkinComboBox(QWidget* parent = nullptr);
  ~TtwSkinComboBox() override;

  QStringList Items() const;
  void SetItems(const QStringList& items);
  void AddItem(const QString& item);
  void ClearItems();
  int Count() const;

  int ItemIndex() const { return itemIndex_; }
  void SetItemIndex(int index);  // also takes the item's text; fires OnClick
  QString Text() const { return text_; }
  // In the fixed style a text that names an item also selects that item.
  void SetText(const QString& text);

  TtwSkinCustomComboBoxStyle Style() const { return style_; }
  void SetStyle(TtwSkinCustomComboBoxStyle s);
  int DropDownCount() const { return dropDownCount_; }
  void SetDropDownCount(int n) { if (n > 0) dropDownCount_ = n; }
  bool Sorted() const { return sorted_; }
  void SetSorted(bool v);
  bool UseSkinSize() const { return useSkinSize_; }
  void SetUseSkinSize(bool v) { useSkinSize_ = v; update(); }
  QColor DefaultColor() const { return defaultColor_; }
  void SetDefaultColor(const QColor& c) { defaultColor_ = c; update(); }
  int ListBoxWidth() const { return listBoxWidth_; }
  void SetListBoxWidth(int w) { listBoxWidth_ = w; }
  bool AutoComplete() const { return autoComplete_; }
  void SetAutoComplete(bool v) { autoComplete_ = v; }

  bool Dropped() const { return dropped_; }
  virtual void DropDown();
  void CloseUp(bool accept);
  // The list shown while dropped (a pop-up window).
  QListWidget* PopupList() const { return list_; }
  QRect ButtonArea() const;
  QRect ItemAreaRect() const;

  std::function<void()> OnChange, OnClick, OnCloseUp, OnDropDown;
  virtual void Change() {}

  void PaintDefault(QImage& bitmap) override;
  // Until input controls are drawn from their records they keep the default
  // look and the size they are given, bound or not.
  void PaintSkin(QImage& bitmap) override { PaintDefault(bitmap); }
  void FitToSkin(int&, int&) override {}

 signals:
  void changed();
  void clicked();

 protected:
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
  void enterEvent(QEnterEvent* e) override;
  void leaveEvent(QEvent* e) override;
  void changeEvent(QEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void SelectItem(int index, bool notify);
  void TextChanged();
  void SortItems();
  void Search(QChar c);
  void LayoutEdit();

  QStringList items_;
  int itemIndex_ = -1;
  int indexBeforeDrop_ = -1;
  QString text_;
  TtwSkinCustomComboBoxStyle style_ = twcbFixedStyle;
  int dropDownCount_ = 8;
  bool sorted_ = false;
  bool useSkinSize_ = true;
  QColor defaultColor_ = SystemColor(COLOR_WINDOW);
  int listBoxWidth_ = 0;
  bool autoComplete_ = true;
  bool dropped_ = false;
  bool mouseInControl_ = false;
  bool buttonHot_ = false;
  QListWidget* list_ = nullptr;
  QLineEdit* edit_ = nullptr;
  QString searchText_;
  qint64 lastSearchTick_ = 0;
};
