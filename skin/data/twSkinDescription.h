#pragma once
// A whole skin description as a skin load understands it: the fixed
// sections, the two window records, the interface colours and the two record
// lists. Loading and saving walk them in one order, so every reader and
// writer of a description (the skin data object, the skin tool, the fuzz
// target, the tests) shares it.
#include <QList>

#include "skin/data/twSkinIni.h"
#include "skin/data/twSkinRecords.h"
#include "skin/data/twSkinSections.h"
#include "skin/data/twTypes.h"

// The eight interface colours of a skin.
struct TtwSkinColors {
  TColor cbtnface = 0;
  TColor cbtntext = 0;
  TColor cwindow = 0;
  TColor cwindowtext = 0;
  TColor chighlight = 0;
  TColor chighlighttext = 0;
  TColor cbtnhighlight = 0;
  TColor cbtnshadow = 0;
  // The system colours a skin without [SKINCOLORS] uses.
  void SetDefault();
  // [SKINCOLORS]; a missing key gives its system colour.
  void LoadFromIni(const TtwSkinIni& ini);
  void SaveToIni(TtwSkinIni& ini) const;
  friend bool operator==(const TtwSkinColors&, const TtwSkinColors&) = default;
};

class TtwSkinDescription {
 public:
  TtwSkinDescription();
  ~TtwSkinDescription();
  TtwSkinDescription(const TtwSkinDescription&) = delete;
  TtwSkinDescription& operator=(const TtwSkinDescription&) = delete;

  TtwSkinVersionInfo version;
  TtwSkinPicturesInfo pictures;
  TtwSkinFormInfo form;
  TtwDataSkinPopupWindow popup;
  TtwDataSkinHintWindow hint;
  TtwSkinColors colors;
  // Owned here.
  QList<TtwDataSkinObject*> objects;
  QList<TtwDataSkinControl*> controls;

  // Reads everything in the order above. Raises EConvertError for a
  // rectangle or point without digits and ESkinDescriptionError for too
  // many records; the records made so far stay in the lists.
  void LoadFromIni(const TtwSkinIni& ini);
  // Writes everything in the same order.
  void SaveToIni(TtwSkinIni& ini) const;
  // Parses `text` and loads it.
  void LoadFromText(const QString& text);
  // The description text as SaveToIni writes it.
  QString ToText() const;
  // Frees the records and empties both lists.
  void ClearRecords();
};
