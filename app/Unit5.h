#pragma once
#include "platform/Form.h"

// The search results: the titles the last Find found.
class TAboutBox1 : public TForm {
  Q_OBJECT
 public:
  explicit TAboutBox1(QWidget* parent = nullptr);
  ~TAboutBox1() override;

  void FormShow() override;
};

extern TAboutBox1* AboutBox1;
