#pragma once
#include "platform/Form.h"

// The category editor: adds, renames and deletes categories.
class TBox : public TForm {
  Q_OBJECT
 public:
  explicit TBox(QWidget* parent = nullptr);
  ~TBox() override;

  void FormShow() override;
  void FormClose(TCloseAction& action) override;
};

extern TBox* Box;
