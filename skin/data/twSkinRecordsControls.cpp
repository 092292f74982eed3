// The field walks of the control records, each class level listing its own
// keys once, parent first.
#include "skin/data/twSkinRecords.h"

void TtwDataSkinControl::VisitFields(TtwFieldVisitor& v) {
  v.Integer("pictureindex", pictureindex, -1);
  v.Integer("maskpictureindex", maskpictureindex, -1);
  v.Rect("skinrect", skinrect);
}

void TtwDataSkinCustomControl::VisitFields(TtwFieldVisitor& v) {
  TtwDataSkinControl::VisitFields(v);
  v.Point("lefttoppoint", lefttoppoint);
  v.Point("righttoppoint", righttoppoint);
  v.Point("leftbottompoint", leftbottompoint);
  v.Point("rightbottompoint", rightbottompoint);
  v.Rect("clientrect", clientrect);
  v.Bool("stretcheffect", stretcheffect);
  v.StretchType("stretchtype", stretchtype);
  v.Bool("leftstretch", leftstretch);
  v.Bool("topstretch", topstretch);
  v.Bool("rightstretch", rightstretch);
  v.Bool("bottomstretch", bottomstretch);
}

void TtwDataSkinButtonControl::VisitFields(TtwFieldVisitor& v) {
  TtwDataSkinCustomControl::VisitFields(v);
  VisitFont(v);
  v.Color("activefontcolor", activefontcolor, 0);
  v.Color("downfontcolor", downfontcolor, 0);
  v.Color("disabledfontcolor", disabledfontcolor, 0);
  v.Rect("activeskinrect", activeskinrect);
  v.Rect("downskinrect", downskinrect);
  v.Rect("disabledskinrect", disabledskinrect);
  v.Rect("focusedskinrect", focusedskinrect);
  v.Bool("morphing", morphing);
  v.MorphKind("morphkind", morphkind);
  v.Rect("animateskinrect", animateskinrect);
  v.Integer("framecount", framecount, 0);
  v.Integer("animateinterval", animateinterval, 25);
  v.Bool("showfocus", showfocus);
  v.Rect("menumarkerflatrect", menumarkerflatrect);
  v.Rect("menumarkerrect", menumarkerrect);
  v.Rect("menumarkeractiverect", menumarkeractiverect);
  v.Rect("menumarkerdownrect", menumarkerdownrect);
  v.Color("menumarkertransparentcolor", menumarkertransparentcolor, 0);
  v.Integer("glowlayerpictureindex", glowlayerpictureindex, -1);
  v.Integer("glowlayermaskpictureindex", glowlayermaskpictureindex, -1);
  v.Integer("glowlayeroffsetleft", glowlayeroffsetleft, 0);
  v.Integer("glowlayeroffsetright", glowlayeroffsetright, 0);
  v.Integer("glowlayeroffsettop", glowlayeroffsettop, 0);
  v.Integer("glowlayeroffsetbottom", glowlayeroffsetbottom, 0);
  v.Integer("glowlayershowoffsetx", glowlayershowoffsetx, 0);
  v.Integer("glowlayershowoffsety", glowlayershowoffsety, 0);
  v.Integer("glowlayeralphablendvalue", glowlayeralphablendvalue, 255);
}

void TtwDataSkinMenuButtonControl::VisitFields(TtwFieldVisitor& v) {
  TtwDataSkinButtonControl::VisitFields(v);
  v.Rect("trackbuttonrect", trackbuttonrect);
}

void TtwDataSkinPanelControl::VisitFields(TtwFieldVisitor& v) {
  TtwDataSkinCustomControl::VisitFields(v);
  v.Rect("captionrect", captionrect);
  v.Alignment("alignment", alignment);
  VisitFont(v);
  v.Integer("bgpictureindex", bgpictureindex, -1);
  v.Rect("checkimagerect", checkimagerect);
  v.Rect("uncheckimagerect", uncheckimagerect);
  v.Rect("markframerect", markframerect);
  v.Rect("framerect", framerect);
  v.Integer("frameleftoffset", frameleftoffset, 0);
  v.Integer("framerightoffset", framerightoffset, 0);
  v.Rect("frametextrect", frametextrect);
  v.Rect("gripperrect", gripperrect);
  v.Bool("grippertransparent", grippertransparent);
  v.Color("grippertransparentcolor", grippertransparentcolor, 0);
}

void TtwDataSkinExPanelControl::VisitFields(TtwFieldVisitor& v) {
  TtwDataSkinCustomControl::VisitFields(v);
  v.Rect("rollhskinrect", rollhskinrect);
  v.Rect("rollvskinrect", rollvskinrect);
  v.Integer("rollleftoffset", rollleftoffset, 0);
  v.Integer("rollrightoffset", rollrightoffset, 0);
  v.Integer("rolltopoffset", rolltopoffset, 0);
  v.Integer("rollbottomoffset", rollbottomoffset, 0);
  v.Rect("rollvcaptionrect", rollvcaptionrect);
  v.Rect("rollhcaptionrect", rollhcaptionrect);
  v.Rect("closebuttonrect", closebuttonrect);
  v.Rect("closebuttonactiverect", closebuttonactiverect);
  v.Rect("closebuttondownrect", closebuttondownrect);
  v.Rect("hrollbuttonrect", hrollbuttonrect);
  v.Rect("hrollbuttonactiverect", hrollbuttonactiverect);
  v.Rect("hrollbuttondownrect", hrollbuttondownrect);
  v.Rect("hrestorebuttonrect", hrestorebuttonrect);
  v.Rect("hrestorebuttonactiverect", hrestorebuttonactiverect);
  v.Rect("hrestorebuttondownrect", hrestorebuttondownrect);
  v.Rect("vrollbuttonrect", vrollbuttonrect);
  v.Rect("vrollbuttonactiverect", vrollbuttonactiverect);
  v.Rect("vrollbuttondownrect", vrollbuttondownrect);
  v.Rect("vrestorebuttonrect", vrestorebuttonrect);
  v.Rect("vrestorebuttonactiverect", vrestorebuttonactiverect);
  v.Rect("vrestorebuttondownrect", vrestorebuttondownrect);
  v.Rect("captionrect", captionrect);
  VisitFont(v);
  v.Bool("buttonstransparent", buttonstransparent);
  v.Color("buttonstransparentcolor", buttonstransparentcolor, 0);
}

void TtwDataSkinCheckRadioControl::VisitFields(TtwFieldVisitor& v) {
  TtwDataSkinCustomControl::VisitFields(v);
  VisitFont(v);
  v.Color("activefontcolor", activefontcolor, 0);
  v.Color("unenabledfontcolor", unenabledfontcolor, 0);
  v.Rect("activeskinrect", activeskinrect);
  v.Rect("checkimagearea", checkimagearea);
  v.Rect("textarea", textarea);
  v.Rect("checkimagerect", checkimagerect);
  v.Rect("uncheckimagerect", uncheckimagerect);
  v.Rect("activecheckimagerect", activecheckimagerect);
  v.Rect("activeuncheckimagerect", activeuncheckimagerect);
  v.Rect("unenabledcheckimagerect", unenabledcheckimagerect);
  v.Rect("unenableduncheckimagerect", unenableduncheckimagerect);
  v.Rect("grayedcheckimagerect", grayedcheckimagerect);
  v.Rect("activegrayedcheckimagerect", activegrayedcheckimagerect);
  v.Bool("morphing", morphing);
  v.MorphKind("morphkind", morphkind);
  v.Color("framefontcolor", framefontcolor, 0);
}

void TtwDataSkinGaugeControl::VisitFields(TtwFieldVisitor& v) {
  TtwDataSkinCustomControl::VisitFields(v);
  v.Rect("progressarea", progressarea);
  v.Rect("progressrect", progressrect);
  v.Bool("vertical", vertical);
  v.Integer("beginoffset", beginoffset, 0);
  v.Integer("endoffset", endoffset, 0);
  VisitFont(v);
  v.Bool("progresstransparent", progresstransparent);
  v.Color("progresstransparentcolor", progresstransparentcolor, 0);
  v.Bool("progressstretch", progressstretch);
  v.Rect("animationskinrect", animationskinrect);
  v.Integer("animationcountframes", animationcountframes, 0);
  v.Integer("animationtimerinterval", animationtimerinterval, 0);
  v.Rect("progressanimationskinrect", progressanimationskinrect);
  v.Integer("progressanimationcountframes", progressanimationcountframes, 0);
  v.Integer("progressanimationtimerinterval", progressanimationtimerinterval, 0);
  v.Integer("animationbeginoffset", animationbeginoffset, 0);
  v.Integer("animationendoffset", animationendoffset, 0);
}

void TtwDataSkinSplitterControl::VisitFields(TtwFieldVisitor& v) {
  TtwDataSkinCustomControl::VisitFields(v);
  v.Rect("gripperrect", gripperrect);
  v.Bool("grippertransparent", grippertransparent);
  v.Color("grippertransparentcolor", grippertransparentcolor, 0);
}

void TtwDataSkinTrackBarControl::VisitFields(TtwFieldVisitor& v) {
  TtwDataSkinCustomControl::VisitFields(v);
  v.Rect("activeskinrect", activeskinrect);
  v.Rect("trackarea", trackarea);
  v.Rect("buttonrect", buttonrect);
  v.Rect("activebuttonrect", activebuttonrect);
  v.Bool("vertical", vertical);
  v.Bool("buttontransparent", buttontransparent);
  v.Color("buttontransparentcolor", buttontransparentcolor, 0);
}

void TtwDataSkinLabelControl::VisitFields(TtwFieldVisitor& v) {
  TtwDataSkinCustomControl::VisitFields(v);
  VisitFont(v);
}

void TtwDataSkinStdLabelControl::VisitFields(TtwFieldVisitor& v) {
  TtwDataSkinControl::VisitFields(v);
  VisitFont(v);
  v.Color("activefontcolor", activefontcolor, 16711680);
}

void TtwDataSkinUpDownControl::VisitFields(TtwFieldVisitor& v) {
  TtwDataSkinCustomControl::VisitFields(v);
  v.Rect("upbuttonrect", upbuttonrect);
  v.Rect("activeupbuttonrect", activeupbuttonrect);
  v.Rect("downupbuttonrect", downupbuttonrect);
  v.Rect("downbuttonrect", downbuttonrect);
  v.Rect("activedownbuttonrect", activedownbuttonrect);
  v.Rect("downdownbuttonrect", downdownbuttonrect);
}

void TtwDataSkinGridControl::VisitFields(TtwFieldVisitor& v) {
  TtwDataSkinControl::VisitFields(v);
  v.Rect("fixedcellrect", fixedcellrect);
  v.Rect("selectcellrect", selectcellrect);
  v.Rect("focuscellrect", focuscellrect);
  v.Integer("fixedcellleftoffset", fixedcellleftoffset, 0);
  v.Integer("fixedcellrightoffset", fixedcellrightoffset, 0);
  v.Rect("fixedcelltextrect", fixedcelltextrect);
  v.Integer("cellleftoffset", cellleftoffset, 0);
  v.Integer("cellrightoffset", cellrightoffset, 0);
  v.Rect("celltextrect", celltextrect);
  v.Color("linescolor", linescolor, 0);
  v.Color("bgcolor", bgcolor, 0);
  VisitFont(v);
  v.Color("selectfontcolor", selectfontcolor, 0);
  v.Color("focusfontcolor", focusfontcolor, 0);
  TwVisitFont(v, {"fixedfontname", "fixedfontstyle", "fixedfontheight", "fixedfontcolor"}, fixedfontname, fixedfontstyle,
              fixedfontheight, fixedfontcolor);
  v.Bool("fixedcellstretcheffect", fixedcellstretcheffect);
  v.Bool("cellstretcheffect", cellstretcheffect);
  v.Bool("showfocus", showfocus);
  v.Integer("bgpictureindex", bgpictureindex, -1);
}

void TtwDataSkinTabControl::VisitFields(TtwFieldVisitor& v) {
  TtwDataSkinControl::VisitFields(v);
  v.Rect("tabrect", tabrect);
  v.Rect("activetabrect", activetabrect);
  v.Rect("focustabrect", focustabrect);
  v.Rect("mouseintabrect", mouseintabrect);
  v.Rect("clientrect", clientrect);
  v.Rect("tabsbgrect", tabsbgrect);
  v.Point("lefttoppoint", lefttoppoint);
  v.Point("righttoppoint", righttoppoint);
  v.Point("leftbottompoint", leftbottompoint);
  v.Point("rightbottompoint", rightbottompoint);
  v.Integer("tableftoffset", tableftoffset, 0);
  v.Integer("tabrightoffset", tabrightoffset, 0);
  VisitFont(v);
  v.Color("activefontcolor", activefontcolor, 0);
  v.Color("focusfontcolor", focusfontcolor, 0);
  v.Color("mouseinfontcolor", mouseinfontcolor, 0);
  v.String("updown", updown, QString());
  v.Integer("bgpictureindex", bgpictureindex, -1);
  v.Bool("tabstretcheffect", tabstretcheffect);
  v.Bool("showfocus", showfocus);
  v.Integer("focusoffsetx", focusoffsetx, 0);
  v.Integer("focusoffsety", focusoffsety, 0);
  v.Bool("leftstretch", leftstretch);
  v.Bool("topstretch", topstretch);
  v.Bool("rightstretch", rightstretch);
  v.Bool("bottomstretch", bottomstretch);
  v.Bool("stretcheffect", stretcheffect);
  v.StretchType("stretchtype", stretchtype);
  v.Rect("closebuttonrect", closebuttonrect);
  v.Rect("closebuttonactiverect", closebuttonactiverect);
  v.Rect("closebuttondownrect", closebuttondownrect);
  v.Bool("buttontransparent", buttontransparent);
  v.Color("buttontransparentcolor", buttontransparentcolor, 0);
}

void TtwDataSkinMainMenuBar::VisitFields(TtwFieldVisitor& v) {
  TtwDataSkinControl::VisitFields(v);
  v.Rect("itemsrect", itemsrect);
  v.String("menubaritem", menubaritem, QString());
  v.String("closebutton", closebutton, QString());
  v.String("maxbutton", maxbutton, QString());
  v.String("minbutton", minbutton, QString());
  v.String("sysmenubutton", sysmenubutton, QString());
  v.Color("trackmarkcolor", trackmarkcolor, 0);
  v.Color("trackmarkactivecolor", trackmarkactivecolor, 0);
  v.Bool("stretcheffect", stretcheffect);
  v.Bool("itemtransparent", itemtransparent);
}

void TtwDataSkinControlBar::VisitFields(TtwFieldVisitor& v) {
  TtwDataSkinCustomControl::VisitFields(v);
  v.Rect("itemrect", itemrect);
  v.Integer("bgpictureindex", bgpictureindex, -1);
  v.Rect("hgriprect", hgriprect);
  v.Rect("vgriprect", vgriprect);
  v.Integer("gripoffset1", gripoffset1, 0);
  v.Integer("gripoffset2", gripoffset2, 0);
  v.Bool("itemstretcheffect", itemstretcheffect);
  v.Integer("itemoffset1", itemoffset1, 3);
  v.Integer("itemoffset2", itemoffset2, 3);
  v.Bool("itemtransparent", itemtransparent);
  v.Color("itemtransparentcolor", itemtransparentcolor, 0);
  v.Bool("griptransparent", griptransparent);
  v.Color("griptransparentcolor", griptransparentcolor, 0);
}

void TtwDataSkinEditControl::VisitFields(TtwFieldVisitor& v) {
  TtwDataSkinCustomControl::VisitFields(v);
  v.Rect("activeskinrect", activeskinrect);
  VisitFont(v);
  v.Color("disabledfontcolor", disabledfontcolor, 0);
  v.Color("activefontcolor", activefontcolor, 0);
  v.Rect("buttonrect", buttonrect);
  v.Rect("activebuttonrect", activebuttonrect);
  v.Rect("downbuttonrect", downbuttonrect);
  v.Rect("unenabledbuttonrect", unenabledbuttonrect);
}

void TtwDataSkinMemoControl::VisitFields(TtwFieldVisitor& v) {
  TtwDataSkinEditControl::VisitFields(v);
  v.Color("bgcolor", bgcolor, 0);
  v.Color("activebgcolor", activebgcolor, 0);
}

void TtwDataSkinListBox::VisitFields(TtwFieldVisitor& v) {
  TtwDataSkinCustomControl::VisitFields(v);
  v.Rect("itemrect", itemrect);
  v.Rect("activeitemrect", activeitemrect);
  v.Rect("focusitemrect", focusitemrect);
  v.Integer("itemleftoffset", itemleftoffset, 0);
  v.Integer("itemrightoffset", itemrightoffset, 0);
  v.Rect("itemtextrect", itemtextrect);
  VisitFont(v);
  v.Color("activefontcolor", activefontcolor, 0);
  v.Color("focusfontcolor", focusfontcolor, 0);
  v.Rect("captionrect", captionrect);
  TwVisitFont(v, {"captionfontname", "captionfontstyle", "captionfontheight", "captionfontcolor"}, captionfontname,
              captionfontstyle, captionfontheight, captionfontcolor);
  v.Rect("upbuttonrect", upbuttonrect);
  v.Rect("activeupbuttonrect", activeupbuttonrect);
  v.Rect("downupbuttonrect", downupbuttonrect);
  v.Rect("downbuttonrect", downbuttonrect);
  v.Rect("activedownbuttonrect", activedownbuttonrect);
  v.Rect("downdownbuttonrect", downdownbuttonrect);
  v.Rect("checkbuttonrect", checkbuttonrect);
  v.Rect("activecheckbuttonrect", activecheckbuttonrect);
  v.Rect("downcheckbuttonrect", downcheckbuttonrect);
  v.String("hscrollbarname", hscrollbarname, QStringLiteral("hscrollbar"));
  v.String("vscrollbarname", vscrollbarname, QStringLiteral("vscrollbar"));
  v.String("bothhscrollbarname", bothhscrollbarname, QStringLiteral("bothhscrollbar"));
  v.Bool("showfocus", showfocus);
  v.Rect("disabledbuttonsrect", disabledbuttonsrect);
  v.Rect("buttonsarea", buttonsarea);
}

void TtwDataSkinCheckListBox::VisitFields(TtwFieldVisitor& v) {
  TtwDataSkinListBox::VisitFields(v);
  v.Rect("uncheckimagerect", uncheckimagerect);
  v.Rect("checkimagerect", checkimagerect);
  v.Rect("itemcheckrect", itemcheckrect);
}

void TtwDataSkinComboBox::VisitFields(TtwFieldVisitor& v) {
  TtwDataSkinCustomControl::VisitFields(v);
  v.Rect("itemrect", itemrect);
  v.Rect("activeitemrect", activeitemrect);
  v.Rect("focusitemrect", focusitemrect);
  v.Integer("itemleftoffset", itemleftoffset, 0);
  v.Integer("itemrightoffset", itemrightoffset, 0);
  v.Rect("itemtextrect", itemtextrect);
  VisitFont(v);
  v.Color("focusfontcolor", focusfontcolor, 0);
  v.Color("activefontcolor", activefontcolor, 0);
  v.Rect("buttonrect", buttonrect);
  v.Rect("activebuttonrect", activebuttonrect);
  v.Rect("downbuttonrect", downbuttonrect);
  v.Rect("unenabledbuttonrect", unenabledbuttonrect);
  v.Bool("itemstretcheffect", itemstretcheffect);
  v.Bool("focusitemstretcheffect", focusitemstretcheffect);
  v.Rect("activeskinrect", activeskinrect);
  v.String("listboxname", listboxname, QString());
  v.Bool("showfocus", showfocus);
}

void TtwDataSkinScrollBarControl::VisitFields(TtwFieldVisitor& v) {
  TtwDataSkinCustomControl::VisitFields(v);
  v.Rect("trackarea", trackarea);
  v.Rect("upbuttonrect", upbuttonrect);
  v.Rect("activeupbuttonrect", activeupbuttonrect);
  v.Rect("downupbuttonrect", downupbuttonrect);
  v.Rect("downbuttonrect", downbuttonrect);
  v.Rect("activedownbuttonrect", activedownbuttonrect);
  v.Rect("downdownbuttonrect", downdownbuttonrect);
  v.Rect("thumbrect", thumbrect);
  v.Rect("activethumbrect", activethumbrect);
  v.Rect("downthumbrect", downthumbrect);
  v.Integer("thumboffset1", thumboffset1, 0);
  v.Integer("thumboffset2", thumboffset2, 0);
  v.Rect("glyphrect", glyphrect);
  v.Rect("activeglyphrect", activeglyphrect);
  v.Rect("downglyphrect", downglyphrect);
  v.Bool("glyphtransparent", glyphtransparent);
  v.Color("glyphtransparentcolor", glyphtransparentcolor, 0);
  v.Bool("thumbtransparent", thumbtransparent);
  v.Color("thumbtransparentcolor", thumbtransparentcolor, 0);
  v.Bool("thumbstretcheffect", thumbstretcheffect);
  v.Integer("thumbminsize", thumbminsize, 0);
  v.Integer("thumbminpagesize", thumbminpagesize, 0);
}

void TtwDataSkinSpinEditControl::VisitFields(TtwFieldVisitor& v) {
  TtwDataSkinCustomControl::VisitFields(v);
  v.Rect("activeskinrect", activeskinrect);
  VisitFont(v);
  v.Color("activefontcolor", activefontcolor, 0);
  v.Color("disabledfontcolor", disabledfontcolor, 0);
  v.Rect("upbuttonrect", upbuttonrect);
  v.Rect("activeupbuttonrect", activeupbuttonrect);
  v.Rect("downupbuttonrect", downupbuttonrect);
  v.Rect("downbuttonrect", downbuttonrect);
  v.Rect("activedownbuttonrect", activedownbuttonrect);
  v.Rect("downdownbuttonrect", downdownbuttonrect);
}

void TtwDataSkinScrollBoxControl::VisitFields(TtwFieldVisitor& v) {
  TtwDataSkinCustomControl::VisitFields(v);
  v.Integer("bgpictureindex", bgpictureindex, -1);
}

void TtwDataSkinTreeView::VisitFields(TtwFieldVisitor& v) {
  TtwDataSkinControl::VisitFields(v);
  VisitFont(v);
  v.Color("bgcolor", bgcolor, 0);
}

void TtwDataSkinListView::VisitFields(TtwFieldVisitor& v) {
  TtwDataSkinControl::VisitFields(v);
  VisitFont(v);
  v.Color("bgcolor", bgcolor, 0);
}

void TtwDataSkinRichEdit::VisitFields(TtwFieldVisitor& v) {
  TtwDataSkinControl::VisitFields(v);
  VisitFont(v);
  v.Color("bgcolor", bgcolor, 0);
}

void TtwDataSkinBevel::VisitFields(TtwFieldVisitor& v) {
  TtwDataSkinControl::VisitFields(v);
  v.Color("lightcolor", lightcolor, 0);
  v.Color("darkcolor", darkcolor, 0);
}

void TtwDataSkinSlider::VisitFields(TtwFieldVisitor& v) {
  TtwDataSkinControl::VisitFields(v);
  v.Rect("hrulerrect", hrulerrect);
  v.Rect("hthumbrect", hthumbrect);
  v.Rect("vrulerrect", vrulerrect);
  v.Rect("vthumbrect", vthumbrect);
  v.Integer("edgesize", edgesize, 0);
  v.Color("bgcolor", bgcolor, 0);
  v.Color("pointscolor", pointscolor, 0);
}

void TtwDataSkinUpDownControl::AfterLoad() {
  lefttoppoint = righttoppoint = leftbottompoint = rightbottompoint = TPoint{};
  clientrect = TRect{};
}
