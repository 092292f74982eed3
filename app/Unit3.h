#pragma once
#include "platform/Form.h"
// Callers use the name box as the QLineEdit it is.
#include "skin/boxes/twSkinEdits.h"

class QTreeWidget;
class TADOQuery;
class TtwSkinButton;
class TtwSkinForm;
class TtwSkinLabel;
class TtwSkinPanel;

// The category editor: adds, renames and deletes categories.
class TBox : public TForm {
  Q_OBJECT
 public:
  enum class TMode { Adding, Renaming };

  explicit TBox(QWidget* parent = nullptr);
  ~TBox() override;

  TtwSkinForm* twSkinForm1 = nullptr;
  TtwSkinPanel* Panel1 = nullptr;
  QTreeWidget* twSkinTreeView1 = nullptr;
  TtwSkinLabel* lbl1 = nullptr;
  TtwSkinEdit* edt1 = nullptr;
  TtwSkinLabel* Label1 = nullptr;
  TtwSkinButton* twSkinButton3 = nullptr;  // Add
  TtwSkinButton* twSkinButton4 = nullptr;  // Del
  TtwSkinButton* twSkinButton1 = nullptr;  // Save
  TtwSkinButton* twSkinButton2 = nullptr;  // Close

  void FormShow() override;  // refill
  void FormClose(TCloseAction& action) override;

  void twSkinTreeView1Click();
  void twSkinButton3Click();
  void twSkinButton1Click();
  void twSkinButton4Click();
  void twSkinButton2Click();

  TMode Mode() const { return mode_; }
  // The selected category lives in a query of this window's own, so the main
  // window's note (on the shared queries) and this row never get mixed up.
  TADOQuery* SelectedCategory() const { return selected_; }

 private:
  TADOQuery* Selected();

  TMode mode_ = TMode::Adding;
  TADOQuery* selected_ = nullptr;
};

extern TBox* Box;
