#pragma once
#include "platform/Form.h"

// The main window: category tree, note editor area, commands and the count.
class TForm1 : public TForm {
  Q_OBJECT
 public:
  explicit TForm1(QWidget* parent = nullptr);
  ~TForm1() override;

  void FormCreate() override;
  void FormShow() override;
  void FormCloseQuery(bool& canClose) override;
};

extern TForm1* Form1;
