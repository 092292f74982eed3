// The fixed sections [VERSION], [PICTURES] and [FORMINFO], and the rules
// that adjust the form's areas after they are read.
#include "skin/data/twSkinSections.h"

#include "skin/data/twSkinRecords.h"

#include <algorithm>

namespace {
const QString kVersion = QStringLiteral("VERSION");
const QString kPictures = QStringLiteral("PICTURES");
const QString kFormInfo = QStringLiteral("FORMINFO");
const QString kActivePictures = QStringLiteral("activepictures");
}  // namespace

void TtwSkinVersionInfo::LoadFromIni(const TtwSkinIni& ini) {
  skinname = ini.ReadString(kVersion, QStringLiteral("skinname"));
  skinauthor = ini.ReadString(kVersion, QStringLiteral("skinauthor"));
  authoremail = ini.ReadString(kVersion, QStringLiteral("authoremail"));
  authorurl = ini.ReadString(kVersion, QStringLiteral("authorurl"));
  skincomments = ini.ReadString(kVersion, QStringLiteral("skincomments"));
}

void TtwSkinVersionInfo::SaveToIni(TtwSkinIni& ini) const {
  ini.WriteString(kVersion, QStringLiteral("skinname"), skinname);
  ini.WriteString(kVersion, QStringLiteral("skinauthor"), skinauthor);
  ini.WriteString(kVersion, QStringLiteral("authoremail"), authoremail);
  ini.WriteString(kVersion, QStringLiteral("authorurl"), authorurl);
  ini.WriteString(kVersion, QStringLiteral("skincomments"), skincomments);
}

void TtwSkinPicturesInfo::LoadFromIni(const TtwSkinIni& ini) {
  picture = ini.ReadString(kPictures, QStringLiteral("picture"));
  inactivepicture = ini.ReadString(kPictures, QStringLiteral("inactivepicture"));
  mask = ini.ReadString(kPictures, QStringLiteral("mask"));
  activepictures = ini.ReadList(kPictures, kActivePictures);
}

void TtwSkinPicturesInfo::SaveToIni(TtwSkinIni& ini) const {
  ini.WriteString(kPictures, QStringLiteral("picture"), picture);
  ini.WriteString(kPictures, QStringLiteral("inactivepicture"), inactivepicture);
  ini.WriteString(kPictures, QStringLiteral("mask"), mask);
  ini.WriteList(kPictures, kActivePictures, activepictures);
}

namespace {
// Both directions walk the keys in one order.
template <class Op>
void FormInfoFields(TtwSkinFormInfo& f, Op&& op) {
  op("lefttoppoint", f.lefttoppoint);
  op("righttoppoint", f.righttoppoint);
  op("leftbottompoint", f.leftbottompoint);
  op("rightbottompoint", f.rightbottompoint);
  op("clientrect", f.clientrect);
  op("bgpictureindex", f.bgpictureindex);
  op("mdibgpictureindex", f.mdibgpictureindex);
  op("leftstretch", f.leftstretch);
  op("rightstretch", f.rightstretch);
  op("topstretch", f.topstretch);
  op("bottomstretch", f.bottomstretch);
  op("stretcheffect", f.stretcheffect);
  op.Stretch("stretchtype", f.stretchtype);
  op("mdibgstretcheffect", f.mdibgstretcheffect);
  op.Stretch("mdibgstretchtype", f.mdibgstretchtype);
  op("maskrectarea", f.maskrectarea);
  op("hittestlefttoppoint", f.hittestlefttoppoint);
  op("hittestrighttoppoint", f.hittestrighttoppoint);
  op("hittestleftbottompoint", f.hittestleftbottompoint);
  op("hittestrightbottompoint", f.hittestrightbottompoint);
  op("buttonsrect", f.buttonsrect);
  op("captionrect", f.captionrect);
  op("buttonsoffset", f.buttonsoffset);
  op("buttonsinleft", f.buttonsinleft);
  op("mainmenupopupup", f.mainmenupopupup);
  op("borderwidth", f.borderwidth);
  op("formminwidth", f.formminwidth);
  op("mditabstransparent", f.mditabstransparent);
  op("mainmenubartransparent", f.mainmenubartransparent);
  op("autorenderinginactiveimage", f.autorenderinginactiveimage);
  op.Effect("inactiveeffect", f.inactiveeffect);
}

struct FormReader {
  const TtwSkinIni& ini;
  TtwKeyName K;
  void operator()(const char* k, TPoint& v) { v = ini.ReadPoint(kFormInfo, K(k)); }
  void operator()(const char* k, TRect& v) { v = ini.ReadRect(kFormInfo, K(k)); }
  void operator()(const char* k, int32_t& v) {
    // the two picture indexes mean "none" when missing
    v = ini.ReadInteger(kFormInfo, K(k), QLatin1String(k).endsWith(QLatin1String("pictureindex")) ? -1 : 0);
  }
  void operator()(const char* k, bool& v) { v = ini.ReadBool(kFormInfo, K(k)); }
  void Stretch(const char* k, uint8_t& v) { v = ini.ReadStretchType(kFormInfo, K(k)); }
  void Effect(const char* k, uint8_t& v) { v = ini.ReadInactiveEffect(kFormInfo, K(k)); }
};

struct FormWriter {
  TtwSkinIni& ini;
  static QString K(const char* k) { return QString::fromLatin1(k); }
  void operator()(const char* k, TPoint& v) { ini.WritePoint(kFormInfo, K(k), v); }
  void operator()(const char* k, TRect& v) { ini.WriteRect(kFormInfo, K(k), v); }
  void operator()(const char* k, int32_t& v) { ini.WriteInteger(kFormInfo, K(k), v); }
  void operator()(const char* k, bool& v) { ini.WriteBool(kFormInfo, K(k), v); }
  void Stretch(const char* k, uint8_t& v) { ini.WriteStretchType(kFormInfo, K(k), v); }
  void Effect(const char* k, uint8_t& v) { ini.WriteInactiveEffect(kFormInfo, K(k), v); }
};
struct FormVisit {
  TtwFieldVisitor& v;
  void operator()(const char* k, TPoint& f) { v.Point(k, f); }
  void operator()(const char* k, TRect& f) { v.Rect(k, f); }
  void operator()(const char* k, int32_t& f) {
    v.Integer(k, f, QLatin1String(k).endsWith(QLatin1String("pictureindex")) ? -1 : 0);
  }
  void operator()(const char* k, bool& f) { v.Bool(k, f); }
  void Stretch(const char* k, uint8_t& f) { v.StretchType(k, f); }
  void Effect(const char*, uint8_t&) {}  // no walk knows this token family
};
}  // namespace

void TtwSkinFormInfo::VisitFields(TtwFieldVisitor& v) { FormInfoFields(*this, FormVisit{v}); }

void TtwSkinFormInfo::LoadFromIni(const TtwSkinIni& ini, const QString& maskName) {
  FormInfoFields(*this, FormReader{ini, {}});
  Adjust(maskName);
}

void TtwSkinFormInfo::SaveToIni(TtwSkinIni& ini) const {
  FormInfoFields(const_cast<TtwSkinFormInfo&>(*this), FormWriter{ini});
}

void TtwSkinFormInfo::Adjust(const QString& maskName) {
  if (!maskName.isEmpty()) {
    if (maskrectarea.IsEmpty()) {
      maskrectarea = clientrect;
    } else {
      maskrectarea.Left = std::min(maskrectarea.Left, clientrect.Left);
      maskrectarea.Top = std::min(maskrectarea.Top, clientrect.Top);
      maskrectarea.Right = std::max(maskrectarea.Right, clientrect.Right);
      maskrectarea.Bottom = std::max(maskrectarea.Bottom, clientrect.Bottom);
    }
    auto fill = [](TPoint& hit, const TPoint& corner) {
      if (hit.X == 0 || hit.Y == 0) hit = corner;
    };
    fill(hittestlefttoppoint, lefttoppoint);
    fill(hittestrighttoppoint, righttoppoint);
    fill(hittestleftbottompoint, leftbottompoint);
    fill(hittestrightbottompoint, rightbottompoint);
  }
  if (rightbottompoint.X == lefttoppoint.X || rightbottompoint.Y == lefttoppoint.Y) return;
  lefttoppoint.X = std::max(lefttoppoint.X, clientrect.Left);
  leftbottompoint.X = std::max(leftbottompoint.X, clientrect.Left);
  lefttoppoint.Y = std::max(lefttoppoint.Y, clientrect.Top);
  righttoppoint.Y = std::max(righttoppoint.Y, clientrect.Top);
  righttoppoint.X = std::min(righttoppoint.X, clientrect.Right);
  rightbottompoint.X = std::min(rightbottompoint.X, clientrect.Right);
  leftbottompoint.Y = std::min(leftbottompoint.Y, clientrect.Bottom);
  rightbottompoint.Y = std::min(rightbottompoint.Y, clientrect.Bottom);
}
