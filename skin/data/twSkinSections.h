#pragma once
// The fixed sections of a skin description: [VERSION], [PICTURES] and
// [FORMINFO]. Fields are named by their keys.
#include <QString>
#include <QStringList>
#include <cstdint>

#include "skin/data/twSkinIni.h"
#include "skin/data/twTypes.h"

class TtwFieldVisitor;

struct TtwSkinVersionInfo {
  QString skinname, skinauthor, authoremail, authorurl, skincomments;

  void LoadFromIni(const TtwSkinIni& ini);
  void SaveToIni(TtwSkinIni& ini) const;
};

struct TtwSkinPicturesInfo {
  QString picture;          // frame picture file
  QString inactivepicture;  // empty when none
  QString mask;             // empty when none
  QStringList activepictures;

  void LoadFromIni(const TtwSkinIni& ini);
  void SaveToIni(TtwSkinIni& ini) const;
};

struct TtwSkinFormInfo {
  TPoint lefttoppoint, righttoppoint, leftbottompoint, rightbottompoint;
  TRect clientrect;
  int32_t bgpictureindex = -1;
  int32_t mdibgpictureindex = -1;
  bool leftstretch = false, rightstretch = false, topstretch = false, bottomstretch = false;
  bool stretcheffect = false;
  uint8_t stretchtype = twtok::stfull;
  bool mdibgstretcheffect = false;
  uint8_t mdibgstretchtype = twtok::stfull;
  TRect maskrectarea;
  TPoint hittestlefttoppoint, hittestrighttoppoint, hittestleftbottompoint, hittestrightbottompoint;
  TRect buttonsrect;
  TRect captionrect;
  int32_t buttonsoffset = 0;
  bool buttonsinleft = false;
  bool mainmenupopupup = false;
  int32_t borderwidth = 0;
  int32_t formminwidth = 0;
  bool mditabstransparent = false;
  bool mainmenubartransparent = false;
  bool autorenderinginactiveimage = false;
  uint8_t inactiveeffect = twtok::iebrightness;

  // Reads [FORMINFO], then applies Adjust(maskName). Throws EConvertError
  // for a rectangle or point without digits.
  void LoadFromIni(const TtwSkinIni& ini, const QString& maskName);
  // With a mask: the mask area takes in the client rectangle and zero
  // hit-test coordinates take the corner points. Then, unless the corner
  // points coincide on an axis, they are clamped into the client rectangle.
  void Adjust(const QString& maskName);
  // Writes the values as they are now (after adjustment).
  void SaveToIni(TtwSkinIni& ini) const;
  // Walks the fields in key order, as the records' walks do.
  void VisitFields(TtwFieldVisitor& v);
};
