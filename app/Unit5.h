#pragma once
#include "app/ResultList.h"
#include "platform/Form.h"

class TNotesSearch;
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

  void FormShow() override;  // fill: the list already holds the last search's rows
  // Starts the search for `keyword` and empties the list; the rows follow
  // in pages while the window stays usable. A search still running stops.
  void Search(const QString& keyword);
  bool Searching() const;
  void ListBox1DblClick();
  void OKButtonClick();

 private:
  void SearchFinished(int count, const QString& error, bool indexFailed);
  TNotesSearch* search_ = nullptr;
};

extern TAboutBox1* AboutBox1;
