// The field walks of the object records (caption buttons, caption, menu
// items), each class level listing its own keys once, parent first.
#include "skin/data/twSkinRecords.h"

void TtwDataSkinObject::VisitFields(TtwFieldVisitor& v) {
  v.String("hint", hint, QString());
  v.Bool("skinrectinapicture", skinrectinapicture);
  v.Rect("skinrect", skinrect);
  v.Rect("activeskinrect", activeskinrect);
  v.Integer("activepictureindex", activepictureindex, -1);
  v.Integer("activemaskpictureindex", activemaskpictureindex, -1);
  v.Rect("inactiveskinrect", inactiveskinrect);
  v.Bool("morphing", morphing);
  v.MorphKind("morphkind", morphkind);
  v.Integer("glowlayerpictureindex", glowlayerpictureindex, -1);
  v.Integer("glowlayermaskpictureindex", glowlayermaskpictureindex, -1);
  v.Integer("glowlayeroffsetx", glowlayeroffsetx, 0);
  v.Integer("glowlayeroffsety", glowlayeroffsety, 0);
  v.Integer("glowlayeralphablendvalue", glowlayeralphablendvalue, 255);
}

void TtwDataSkinButton::VisitFields(TtwFieldVisitor& v) {
  TtwDataSkinObject::VisitFields(v);
  v.Rect("downrect", downrect);
  v.Rect("disableskinrsect", disableskinrsect);
}

void TtwDataSkinStdButton::VisitFields(TtwFieldVisitor& v) {
  TtwDataSkinButton::VisitFields(v);
  v.Command("command", command);
  v.String("restorehint", restorehint, QString());
  v.Rect("restorerect", restorerect);
  v.Rect("restoreactiverect", restoreactiverect);
  v.Rect("restoredownrect", restoredownrect);
  v.Rect("restoreinactiverect", restoreinactiverect);
}

void TtwDataSkinMainMenuBarButton::VisitFields(TtwFieldVisitor& v) {
  TtwDataSkinStdButton::VisitFields(v);

}

void TtwDataSkinAnimate::VisitFields(TtwFieldVisitor& v) {
  TtwDataSkinObject::VisitFields(v);
  v.Integer("countframes", countframes, 1);
  v.Bool("cycle", cycle);
  v.Bool("buttonstyle", buttonstyle);
  v.Integer("timerinterval", timerinterval, 50);
  v.Command("command", command);
  v.Rect("downskinrect", downskinrect);
  v.String("restorehint", restorehint, QString());
  v.Rect("restorerect", restorerect);
  v.Rect("restoreactiverect", restoreactiverect);
  v.Rect("restoredownrect", restoredownrect);
  v.Rect("restoreinactiverect", restoreinactiverect);
}

void TtwDataSkinCaption::VisitFields(TtwFieldVisitor& v) {
  TtwDataSkinObject::VisitFields(v);
  VisitFont(v, TtwFontOrder::HeightFirst);
  v.Color("activefontcolor", activefontcolor, 0);
  v.Color("shadowcolor", shadowcolor, 0);
  v.Color("activeshadowcolor", activeshadowcolor, 0);
  v.Bool("shadow", shadow);
  v.Alignment("alignment", alignment);
  v.Rect("textrect", textrect);
  v.Rect("framerect", framerect);
  v.Rect("activeframerect", activeframerect);
  v.Integer("frameleftoffset", frameleftoffset, 0);
  v.Integer("framerightoffset", framerightoffset, 0);
  v.Rect("frametextrect", frametextrect);
  v.Bool("light", light);
  v.Color("lightcolor", lightcolor, 0);
  v.Color("activelightcolor", activelightcolor, 0);
  v.Bool("stretcheffect", stretcheffect);
  v.Rect("animateskinrect", animateskinrect);
  v.Integer("framecount", framecount, 0);
  v.Integer("animateinterval", animateinterval, 25);
  v.Bool("inactiveanimation", inactiveanimation);
  v.Bool("fullframe", fullframe);
  v.Bool("gloweffect", gloweffect);
  v.Bool("vistagloweffect", vistagloweffect);
  v.Bool("vistaglowinactiveeffect", vistaglowinactiveeffect);
  v.Bool("glowinactiveeffect", glowinactiveeffect);
  v.Integer("glowsize", glowsize, 3);
  v.Color("glowcolor", glowcolor, 0);
  v.Color("glowactivecolor", glowactivecolor, 0);
  v.Integer("glowoffset", glowoffset, 0);
  v.Bool("reflectioneffect", reflectioneffect);
  v.Color("reflactioncolor", reflactioncolor, 0);
  v.Color("reflactionactivecolor", reflactionactivecolor, 0);
  v.Integer("reflectionoffset", reflectionoffset, 0);
}

void TtwDataSkinMenuItem::VisitFields(TtwFieldVisitor& v) {
  TtwDataSkinObject::VisitFields(v);
  v.Rect("dividerrect", dividerrect);
  v.Integer("dividerleftoffset", dividerleftoffset, 0);
  v.Integer("dividerrightoffset", dividerrightoffset, 0);
  v.Integer("itemleftoffset", itemleftoffset, 0);
  v.Integer("itemrightoffset", itemrightoffset, 0);
  // The menu item lists its disabled colour between its other font keys.
  VisitFont(v, TtwFontOrder::HeightFirst, [&] { v.Color("unenabledfontcolor", unenabledfontcolor, 0); });
  v.Color("activefontcolor", activefontcolor, 0);
  v.Rect("textrect", textrect);
  v.Rect("imagerect", imagerect);
  v.Bool("useimagecolor", useimagecolor);
  v.Color("imagecolor", imagecolor, 0);
  v.Color("activeimagecolor", activeimagecolor, 0);
  v.Bool("stretcheffect", stretcheffect);
  v.Bool("dividerstretcheffect", dividerstretcheffect);
  v.Bool("inactivestretcheffect", inactivestretcheffect);
  v.Rect("animateskinrect", animateskinrect);
  v.Integer("framecount", framecount, 0);
  v.Integer("animateinterval", animateinterval, 25);
  v.Bool("inactiveanimation", inactiveanimation);
  v.Bool("inactivetransparent", inactivetransparent);
  v.Rect("checkimagerect", checkimagerect);
  v.Rect("activecheckimagerect", activecheckimagerect);
  v.Rect("radioimagerect", radioimagerect);
  v.Rect("activeradioimagerect", activeradioimagerect);
  v.Rect("arrowimagerect", arrowimagerect);
  v.Rect("activearrowimagerect", activearrowimagerect);
}

void TtwDataSkinMainMenuItem::VisitFields(TtwFieldVisitor& v) {
  TtwDataSkinObject::VisitFields(v);
  v.Rect("downrect", downrect);
  VisitFont(v, TtwFontOrder::HeightFirst);
  v.Color("activefontcolor", activefontcolor, 0);
  v.Color("downfontcolor", downfontcolor, 0);
  v.Color("unenabledfontColor", unenabledfontColor, 0);
  v.Rect("textrect", textrect);
  v.Integer("itemleftoffset", itemleftoffset, 0);
  v.Integer("itemrightoffset", itemrightoffset, 0);
  v.Bool("stretcheffect", stretcheffect);
  v.Rect("animateskinrect", animateskinrect);
  v.Integer("framecount", framecount, 0);
  v.Integer("animateinterval", animateinterval, 25);
  v.Bool("inactiveanimation", inactiveanimation);
}

void TtwDataSkinMainMenuBarItem::VisitFields(TtwFieldVisitor& v) {
  TtwDataSkinMainMenuItem::VisitFields(v);

}

void TtwDataUserObject::VisitFields(TtwFieldVisitor& v) { v.Rect("skinrect", skinrect); }

namespace {
// Caption buttons that toggle need the second hint; skins often leave it out.
void DefaultRestoreHint(QString& restorehint, const QString& hint, uint8_t command) {
  if (!restorehint.isEmpty()) return;
  if ((hint == QLatin1String("Maximize") && command == twtok::cmmaximize) ||
      (hint == QLatin1String("Minimize") && command == twtok::cmminimize) ||
      ((hint == QLatin1String("RollUp") || hint == QLatin1String("Roll Up")) && command == twtok::cmrollup))
    restorehint = QStringLiteral("Restore");
}
}  // namespace

void TtwDataSkinStdButton::AfterLoad() {
  TtwDataSkinButton::AfterLoad();
  DefaultRestoreHint(restorehint, hint, command);
}

void TtwDataSkinAnimate::AfterLoad() {
  TtwDataSkinObject::AfterLoad();
  morphing = false;
  DefaultRestoreHint(restorehint, hint, command);
}

void TtwDataSkinMenuItem::AfterLoad() {
  TtwDataSkinObject::AfterLoad();
  if (activecheckimagerect.IsEmpty()) activecheckimagerect = checkimagerect;
  if (activeradioimagerect.IsEmpty()) activeradioimagerect = radioimagerect;
  if (activearrowimagerect.IsEmpty()) activearrowimagerect = arrowimagerect;
}
