// The one load and save of a whole skin description; the order here is the
// order sections come out of every normalized description.
#include "skin/data/twSkinDescription.h"

namespace {

const QString kSkinColors = QStringLiteral("SKINCOLORS");

// Both directions walk the keys in one order.
template <class Op>
void ColorFields(Op&& op) {
  op("cbtnface", &TtwSkinColors::cbtnface);
  op("cbtntext", &TtwSkinColors::cbtntext);
  op("cwindow", &TtwSkinColors::cwindow);
  op("cwindowtext", &TtwSkinColors::cwindowtext);
  op("chighlight", &TtwSkinColors::chighlight);
  op("chighlighttext", &TtwSkinColors::chighlighttext);
  op("cbtnhighlight", &TtwSkinColors::cbtnhighlight);
  op("cbtnshadow", &TtwSkinColors::cbtnshadow);
}

}  // namespace

void TtwSkinColors::SetDefault() {
  cbtnface = 0xFF00000F;
  cbtntext = 0xFF000012;
  cwindow = 0xFF000005;
  cwindowtext = 0xFF000008;
  chighlight = 0xFF00000D;
  chighlighttext = 0xFF00000E;
  cbtnhighlight = 0xFF000014;
  cbtnshadow = 0xFF000010;
}

void TtwSkinColors::LoadFromIni(const TtwSkinIni& ini) {
  TtwSkinColors d;
  d.SetDefault();
  TtwKeyName k;
  ColorFields([&](const char* key, TColor TtwSkinColors::*field) {
    this->*field = ini.ReadColor(kSkinColors, k(key), d.*field);
  });
}

void TtwSkinColors::SaveToIni(TtwSkinIni& ini) const {
  ColorFields([&](const char* key, TColor TtwSkinColors::*field) {
    ini.WriteColor(kSkinColors, QString::fromLatin1(key), this->*field);
  });
}

TtwSkinDescription::TtwSkinDescription() { colors.SetDefault(); }

TtwSkinDescription::~TtwSkinDescription() { ClearRecords(); }

void TtwSkinDescription::ClearRecords() {
  qDeleteAll(objects);
  objects.clear();
  qDeleteAll(controls);
  controls.clear();
}

void TtwSkinDescription::LoadFromIni(const TtwSkinIni& ini) {
  version.LoadFromIni(ini);
  pictures.LoadFromIni(ini);
  // The mask's name decides how the form's areas are widened.
  form.LoadFromIni(ini, pictures.mask);
  popup.LoadFromIni(ini);
  hint.LoadFromIni(ini);
  colors.LoadFromIni(ini);
  LoadSkinObjectRecords(ini, objects);
  LoadSkinControlRecords(ini, controls);
}

void TtwSkinDescription::SaveToIni(TtwSkinIni& ini) const {
  version.SaveToIni(ini);
  pictures.SaveToIni(ini);
  form.SaveToIni(ini);
  popup.SaveToIni(ini);
  hint.SaveToIni(ini);
  colors.SaveToIni(ini);
  SaveSkinObjectRecords(ini, objects);
  SaveSkinControlRecords(ini, controls);
}

void TtwSkinDescription::LoadFromText(const QString& text) { LoadFromIni(TtwSkinIni::FromText(text)); }

QString TtwSkinDescription::ToText() const {
  TtwSkinIni out;
  SaveToIni(out);
  return out.ToText();
}
