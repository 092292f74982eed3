#pragma once
#include "app/ResultList.h"
#include "platform/Form.h"

class TtwSkinButton;
class TtwSkinPanel;

// The search results: the titles the last Find found.
class TAboutBox1 : public TForm {
  Q_OBJECT
 public:
  explicit TAboutBox1(QWidget* parent = nullptr);
  ~TAboutBox1() override;

  TtwSkinPanel* Panel1 = nullptr;
  TResultList* ListBox1 = nullptr;
  TtwSkinButton* OKButton = nullptr;

  void FormShow() override;  // fill
  void ListBox1DblClick();
  void OKButtonClick();
};

extern TAboutBox1* AboutBox1;
