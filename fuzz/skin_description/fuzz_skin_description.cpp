// Feeds damaged description texts through everything a skin load does with
// them, then writes the result back and reads that again.
#include <QList>
#include <QString>
#include <cstddef>
#include <cstdint>

#include "platform/Errors.h"
#include "skin/data/twSkinIni.h"
#include "skin/data/twSkinRecords.h"
#include "skin/data/twSkinSections.h"

namespace {

struct Skin {
  TtwSkinVersionInfo version;
  TtwSkinPicturesInfo pictures;
  TtwSkinFormInfo form;
  TtwDataSkinPopupWindow popup;
  TtwDataSkinHintWindow hint;
  QList<TtwDataSkinObject*> objects;
  QList<TtwDataSkinControl*> controls;
  ~Skin() {
    qDeleteAll(objects);
    qDeleteAll(controls);
  }

  bool Load(const TtwSkinIni& ini) {
    try {
      version.LoadFromIni(ini);
      pictures.LoadFromIni(ini);
      form.LoadFromIni(ini, pictures.mask);
      popup.LoadFromIni(ini);
      hint.LoadFromIni(ini);
      LoadSkinObjectRecords(ini, objects);
      LoadSkinControlRecords(ini, controls);
      return true;
    } catch (const EConvertError&) {
      return false;  // a load that ends like this is an expected outcome
    }
  }

  QString Save() const {
    TtwSkinIni out;
    version.SaveToIni(out);
    pictures.SaveToIni(out);
    form.SaveToIni(out);
    popup.SaveToIni(out);
    hint.SaveToIni(out);
    SaveSkinObjectRecords(out, objects);
    SaveSkinControlRecords(out, controls);
    return out.ToText();
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
  const TtwSkinIni ini = TtwSkinIni::FromText(text);
  (void)ini.ToText();
  (void)ini.ReadRecordEntries(QStringLiteral("SKINCONTROLS"));
  Skin first;
  if (!first.Load(ini)) return 0;
  Skin second;
  second.Load(TtwSkinIni::FromText(first.Save()));
  (void)second.Save();
  return 0;
}
