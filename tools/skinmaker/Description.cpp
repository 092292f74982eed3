// Writes the built-in skin's description from the piece table.
#include "tools/skinmaker/Description.h"

#include "tools/skinmaker/Art.h"
#include "tools/skinmaker/Layout.h"

namespace skinmaker {

Section& Section::Set(const QString& key, const QString& value) {
  keys.append({key, value});
  return *this;
}

quint32 WinColor(const QColor& c) {
  return quint32(c.red()) | (quint32(c.green()) << 8) | (quint32(c.blue()) << 16);
}

namespace {

QString R(const TRect& r) { return QString("%1,%2,%3,%4").arg(r.Left).arg(r.Top).arg(r.Right).arg(r.Bottom); }
QString P(int x, int y) { return QString("%1,%2").arg(x).arg(y); }
QString C(const QColor& c) { return QString::number(WinColor(c)); }
QString N(int v) { return QString::number(v); }
const QString kEmpty = "0,0,0,0";

// A record under construction: its entry in the record list and its section.
struct Rec {
  QString type;
  Section s;
  Rec& Set(const QString& k, const QString& v) {
    s.Set(k, v);
    return *this;
  }
};

Rec Make(const QString& name, const QString& type) { return Rec{type, Section{name, {}}}; }

// Corner points of a nine-piece piece: inner corners (lx, ly) and (rx, ry)
// in piece coordinates.
void Nine(Rec& r, int picture, const TRect& piece, int lx, int ly, int rx, int ry, const TRect& client) {
  r.Set("pictureindex", N(picture)).Set("skinrect", R(piece));
  r.Set("lefttoppoint", P(lx, ly)).Set("righttoppoint", P(rx, ly));
  r.Set("leftbottompoint", P(lx, ry)).Set("rightbottompoint", P(rx, ry));
  r.Set("clientrect", R(client));
  r.Set("leftstretch", "1").Set("topstretch", "1").Set("rightstretch", "1").Set("bottomstretch", "1");
  r.Set("stretcheffect", "1").Set("stretchtype", "stfull");
}
// Horizontal three-piece: fixed ends of `left` and `right` pixels.
void ThreeH(Rec& r, int picture, const TRect& piece, int left, int right, const TRect& client) {
  r.Set("pictureindex", N(picture)).Set("skinrect", R(piece));
  r.Set("lefttoppoint", P(left, 0)).Set("righttoppoint", P(piece.Width() - right, 0));
  r.Set("clientrect", R(client)).Set("stretcheffect", "1");
}
void ThreeV(Rec& r, int picture, const TRect& piece, int top, int bottom, const TRect& client) {
  r.Set("pictureindex", N(picture)).Set("skinrect", R(piece));
  r.Set("lefttoppoint", P(0, top)).Set("leftbottompoint", P(0, piece.Height() - bottom));
  r.Set("clientrect", R(client)).Set("stretcheffect", "1");
}
void Font(Rec& r, const QColor& color, int height = 14, const QString& style = "") {
  r.Set("fontname", "Arial").Set("fontstyle", style).Set("fontheight", N(height)).Set("fontcolor", C(color));
}

// ---- control records, in list order --------------------------------------

enum class ButtonLook { Push, Tool, Resize, ResizeTool, Combo };

Rec ButtonRecord(const QString& name, ButtonLook look, const QString& type = "button") {
  Rec r = Make(name, type);
  TRect hot, down, disabled;
  switch (look) {
    case ButtonLook::Push:
      ThreeH(r, 0, btn::Normal, btn::End, btn::End, Rc(4, 3, 71, 22));
      hot = btn::Hot, down = btn::Down, disabled = btn::Disabled;
      break;
    case ButtonLook::Resize:
      Nine(r, 0, btn::Normal, 4, 4, 71, 21, Rc(4, 4, 71, 21));
      hot = btn::Hot, down = btn::Down, disabled = btn::Disabled;
      break;
    case ButtonLook::Tool:
    case ButtonLook::ResizeTool:
      Nine(r, 0, btn::ToolNormal, 4, 4, 21, 21, Rc(3, 3, 22, 22));
      hot = btn::ToolHot, down = btn::ToolDown, disabled = btn::ToolDisabled;
      break;
    case ButtonLook::Combo:
      Nine(r, 0, btn::ComboNormal, 3, 3, 13, 18, Rc(3, 3, 13, 18));
      hot = btn::ComboHot, down = btn::ComboDown, disabled = btn::ComboNormal;
      break;
  }
  Font(r, look == ButtonLook::Combo ? pal::Glyph : pal::Text);
  r.Set("activefontcolor", C(pal::Text)).Set("downfontcolor", C(pal::Text));
  r.Set("disabledfontcolor", C(pal::DisabledText));
  r.Set("activeskinrect", R(hot)).Set("downskinrect", R(down)).Set("disabledskinrect", R(disabled));
  if (look == ButtonLook::Push) r.Set("focusedskinrect", R(btn::Focused));
  r.Set("morphing", look == ButtonLook::Combo ? "0" : "1").Set("morphkind", "mkdefault");
  if (look == ButtonLook::Tool || look == ButtonLook::ResizeTool) {
    r.Set("menumarkerrect", R(btn::Marker)).Set("menumarkertransparentcolor", C(pal::Magenta));
  }
  if (look == ButtonLook::Push) {
    r.Set("glowlayerpictureindex", "2").Set("glowlayermaskpictureindex", "6");
    r.Set("glowlayeroffsetleft", QString::number(glow::X)).Set("glowlayeroffsetright", QString::number(glow::X));
    r.Set("glowlayeroffsettop", QString::number(glow::Y)).Set("glowlayeroffsetbottom", QString::number(glow::Y));
    r.Set("glowlayeralphablendvalue", "120");
  }
  return r;
}

Rec MenuButtonRecord(const QString& name, bool track) {
  Rec r = ButtonRecord(name, ButtonLook::Tool, "menubutton");
  r.Set("trackbuttonrect", track ? R(Rc(13, 0, 25, 25)) : kEmpty);
  return r;
}

Rec PanelRecord(const QString& name) {
  using namespace ctl;
  Rec r = Make(name, "panel");
  if (name == "panel") {
    Nine(r, 4, Panel, 3, 3, 37, 37, Rc(1, 1, 39, 39));
  } else if (name == "groupbox") {
    Nine(r, 4, GroupBox, 6, 24, 74, 54, Rc(2, 24, 78, 58));
    // From corner to corner: a caption rectangle that starts and ends in the
    // top corners widens with the box; one inside the top edge keeps its width.
    r.Set("captionrect", R(Rc(6, 0, 74, GroupCaptionH))).Set("alignment", "taleftjustify");
  } else if (name == "statusbar") {
    Nine(r, 4, StatusBar, 3, 3, 37, 27, Rc(2, 2, 38, 28));
    r.Set("gripperrect", R(Gripper)).Set("grippertransparent", "0");
  } else {
    Nine(r, 4, ToolPanel, 2, 2, 38, 28, Rc(1, 1, 39, 29));
  }
  if (name != "groupbox") r.Set("alignment", "tacenter");
  Font(r, name == "groupbox" ? pal::GroupText : pal::Text, name == "groupbox" ? 13 : 14,
       name == "groupbox" ? "fsbold" : "");
  return r;
}

Rec ComboRecord(const QString& name, const QString& list) {
  using namespace ctl;
  Rec r = Make(name, "combobox");
  const int right = ComboBtnW + 2;
  ThreeH(r, 4, Combo, 3, right, Rc(4, 3, Combo.Width() - right - 1, 19));
  r.Set("itemrect", R(ComboItem)).Set("activeitemrect", kEmpty).Set("focusitemrect", R(ComboFocusItem));
  r.Set("itemleftoffset", "5").Set("itemrightoffset", "5").Set("itemtextrect", R(Rc(4, 0, 26, 16)));
  Font(r, pal::Text);
  r.Set("focusfontcolor", C(pal::SelectionText)).Set("activefontcolor", C(pal::Text));
  r.Set("buttonrect", R(Rc(Combo.Width() - ComboBtnW - 1, 1, Combo.Width() - 1, 21)));
  r.Set("activebuttonrect", R(ComboBtnHot)).Set("downbuttonrect", R(ComboBtnDown));
  r.Set("unenabledbuttonrect", R(ComboBtnDisabled));
  r.Set("itemstretcheffect", "1").Set("focusitemstretcheffect", "1");
  r.Set("activeskinrect", kEmpty).Set("listboxname", list).Set("showfocus", "0");
  return r;
}

void ListBoxKeys(Rec& r, bool caption) {
  using namespace ctl;
  if (caption)
    Nine(r, 4, CaptionListBox, 3, ListCaptionH + 2, 57, 57, Rc(1, ListCaptionH + 1, 59, 59));
  else
    Nine(r, 4, ListBox, 3, 3, 57, 57, Rc(1, 1, 59, 59));
  r.Set("itemrect", R(ListItem)).Set("activeitemrect", R(ListItemActive)).Set("focusitemrect", R(ListItemFocus));
  r.Set("itemleftoffset", "4").Set("itemrightoffset", "4").Set("itemtextrect", R(Rc(5, 0, 55, 20)));
  Font(r, pal::Text);
  r.Set("activefontcolor", C(pal::SelectionText)).Set("focusfontcolor", C(pal::SelectionText));
  if (caption) {
    r.Set("captionrect", R(Rc(3, 1, 57, ListCaptionH)));
    r.Set("captionfontname", "Arial").Set("captionfontstyle", "fsbold").Set("captionfontheight", "13");
    r.Set("captionfontcolor", C(pal::GroupText));
  }
  r.Set("hscrollbarname", "hscrollbar").Set("vscrollbarname", "vscrollbar");
  r.Set("bothhscrollbarname", "bothhscrollbar").Set("showfocus", "0");
}

Rec EditRecord(const QString& name, bool button) {
  using namespace ctl;
  Rec r = Make(name, "edit");
  if (button) {
    ThreeH(r, 4, ButtonEdit, 3, 21, Rc(4, 3, 38, 19));
    r.Set("activeskinrect", R(ButtonEditActive));
  } else {
    ThreeH(r, 4, Edit, 3, 3, Rc(4, 3, 56, 19));
    r.Set("activeskinrect", R(EditActive));
  }
  Font(r, pal::Text);
  r.Set("disabledfontcolor", C(pal::DisabledText)).Set("activefontcolor", C(pal::Text));
  if (button) {
    r.Set("buttonrect", R(Rc(41, 1, 59, 21))).Set("activebuttonrect", R(EditBtnHot));
    r.Set("downbuttonrect", R(EditBtnDown)).Set("unenabledbuttonrect", R(EditBtnDisabled));
  }
  return r;
}

Rec SpinRecord(const QString& name) {
  using namespace ctl;
  Rec r = Make(name, "spinedit");
  ThreeH(r, 4, SpinEdit, 3, 17, Rc(4, 3, 42, 19));
  r.Set("activeskinrect", R(SpinEditActive));
  Font(r, pal::Text);
  r.Set("activefontcolor", C(pal::Text)).Set("disabledfontcolor", C(pal::DisabledText));
  const TRect up = Sized(VUpDown.Left, VUpDown.Top, 15, 11), dn = Sized(VUpDown.Left, VUpDown.Top + 11, 15, 11);
  r.Set("upbuttonrect", R(up)).Set("activeupbuttonrect", R(Sized(VUpDownHot.Left, VUpDownHot.Top, 15, 11)));
  r.Set("downupbuttonrect", R(Sized(VUpDownDown.Left, VUpDownDown.Top, 15, 11)));
  r.Set("downbuttonrect", R(dn)).Set("activedownbuttonrect", R(Sized(VUpDownHot.Left, VUpDownHot.Top + 11, 15, 11)));
  r.Set("downdownbuttonrect", R(Sized(VUpDownDown.Left, VUpDownDown.Top + 11, 15, 11)));
  return r;
}

Rec ScrollRecord(const QString& name) {
  using namespace ctl;
  Rec r = Make(name, "scrollbar");
  if (name == "vscrollbar") {
    const int h = VScroll.Height();
    ThreeV(r, 4, VScroll, SB, SB + 1, Rc(0, SB, SB, h - SB));
    r.Set("trackarea", R(Rc(0, SB, SB, h - SB)));
    r.Set("downbuttonrect", R(Rc(0, 0, SB, SB))).Set("upbuttonrect", R(Rc(0, h - SB, SB, h)));
    r.Set("activedownbuttonrect", R(VTopHot)).Set("downdownbuttonrect", R(VTopDown));
    r.Set("activeupbuttonrect", R(VBottomHot)).Set("downupbuttonrect", R(VBottomDown));
    r.Set("thumbrect", R(VThumb)).Set("activethumbrect", R(VThumbHot)).Set("downthumbrect", R(VThumbDown));
  } else {
    const TRect piece = name == "bothhscrollbar" ? BothHScroll : HScroll;
    const int w = HScroll.Width();
    ThreeH(r, 4, piece, SB, piece.Width() - w + SB + 1, Rc(SB, 0, w - SB, SB));
    r.Set("trackarea", R(Rc(SB, 0, w - SB, SB)));
    r.Set("downbuttonrect", R(Rc(0, 0, SB, SB))).Set("upbuttonrect", R(Rc(w - SB, 0, w, SB)));
    r.Set("activedownbuttonrect", R(HLeftHot)).Set("downdownbuttonrect", R(HLeftDown));
    r.Set("activeupbuttonrect", R(HRightHot)).Set("downupbuttonrect", R(HRightDown));
    r.Set("thumbrect", R(HThumb)).Set("activethumbrect", R(HThumbHot)).Set("downthumbrect", R(HThumbDown));
  }
  r.Set("thumboffset1", "5").Set("thumboffset2", "5").Set("thumbstretcheffect", "1");
  r.Set("thumbminsize", "24").Set("thumbminpagesize", "0");
  return r;
}

Rec UpDownRecord(const QString& name) {
  using namespace ctl;
  Rec r = Make(name, "updown");
  const bool v = name == "vupdown";
  const TRect n = v ? VUpDown : HUpDown, a = v ? VUpDownHot : HUpDownHot, d = v ? VUpDownDown : HUpDownDown;
  r.Set("pictureindex", "4").Set("skinrect", R(n));
  auto first = [&](const TRect& t) {
    return v ? Sized(t.Left, t.Top, t.Width(), t.Height() / 2) : Sized(t.Left, t.Top, t.Width() / 2, t.Height());
  };
  auto second = [&](const TRect& t) {
    return v ? Rc(t.Left, t.Top + t.Height() / 2, t.Right, t.Bottom) : Rc(t.Left + t.Width() / 2, t.Top, t.Right, t.Bottom);
  };
  // up is the increasing half: the top one, or the right one
  r.Set("upbuttonrect", R(v ? first(n) : second(n))).Set("activeupbuttonrect", R(v ? first(a) : second(a)));
  r.Set("downupbuttonrect", R(v ? first(d) : second(d)));
  r.Set("downbuttonrect", R(v ? second(n) : first(n))).Set("activedownbuttonrect", R(v ? second(a) : first(a)));
  r.Set("downdownbuttonrect", R(v ? second(d) : first(d)));
  return r;
}

Rec LabelRecord(const QString& name) {
  using namespace ctl;
  Rec r = Make(name, "label");
  if (name == "statuspanel")
    Nine(r, 4, StatusPanel, 3, 3, 36, 27, Rc(6, 2, 34, 28));
  else
    ThreeH(r, 4, Label, 4, 4, Rc(6, 0, 54, 21));
  Font(r, pal::GroupText);
  return r;
}

Rec CheckRecord(const QString& name) {
  using namespace ctl;
  Rec r = Make(name, "checkradio");
  const bool radio = name == "radiobox";
  const TRect bg = radio ? RadioBox : CheckBox;
  ThreeH(r, 4, bg, 2, 2, Rc(19, 0, 58, 20));
  Font(r, pal::Text);
  r.Set("activefontcolor", C(pal::Text)).Set("unenabledfontcolor", C(pal::DisabledText));
  r.Set("activeskinrect", R(bg)).Set("checkimagearea", R(Rc(2, 3, 15, 16))).Set("textarea", R(Rc(19, 0, 58, 20)));
  auto m = [&](int i) { return R(radio ? RadioMark(i) : CheckMark(i)); };
  r.Set("checkimagerect", m(0)).Set("uncheckimagerect", m(1));
  r.Set("activecheckimagerect", m(2)).Set("activeuncheckimagerect", m(3));
  r.Set("unenabledcheckimagerect", m(4)).Set("unenableduncheckimagerect", m(5));
  r.Set("grayedcheckimagerect", m(6)).Set("activegrayedcheckimagerect", m(7));
  r.Set("morphing", "0").Set("framefontcolor", C(pal::GroupText));
  return r;
}

Rec GaugeRecord(const QString& name) {
  using namespace ctl;
  Rec r = Make(name, "gauge");
  const bool v = name == "vgauge";
  if (v) {
    ThreeV(r, 4, VGauge, 3, 3, Rc(2, 2, 14, 98));
    r.Set("progressarea", R(Rc(2, 2, 14, 98))).Set("progressrect", R(VGaugeProgress)).Set("vertical", "1");
  } else {
    ThreeH(r, 4, Gauge, 3, 3, Rc(2, 2, 98, 14));
    r.Set("progressarea", R(Rc(2, 2, 98, 14))).Set("progressrect", R(GaugeProgress)).Set("vertical", "0");
  }
  r.Set("beginoffset", "0").Set("endoffset", "0");
  Font(r, pal::Text, 12);
  r.Set("progressstretch", "1");
  return r;
}

Rec TrackRecord(const QString& name) {
  using namespace ctl;
  Rec r = Make(name, "trackbar");
  const bool v = name == "trackbar";
  if (v) {
    ThreeV(r, 4, VTrack, 6, 6, Rc(0, 6, 24, 94));
    r.Set("activeskinrect", R(VTrack)).Set("trackarea", R(Rc(0, 6, 24, 94)));
    r.Set("buttonrect", R(VTrackThumb)).Set("activebuttonrect", R(VTrackThumbHot)).Set("vertical", "1");
  } else {
    ThreeH(r, 4, HTrack, 6, 6, Rc(6, 0, 94, 24));
    r.Set("activeskinrect", R(HTrack)).Set("trackarea", R(Rc(6, 0, 94, 24)));
    r.Set("buttonrect", R(HTrackThumb)).Set("activebuttonrect", R(HTrackThumbHot)).Set("vertical", "0");
  }
  r.Set("buttontransparent", "1").Set("buttontransparentcolor", C(pal::Magenta));
  return r;
}

Rec SplitterRecord(const QString& name) {
  using namespace ctl;
  Rec r = Make(name, "splitter");
  if (name == "vsplitter") {
    ThreeV(r, 4, VSplitter, 2, 2, Rc(0, 2, 5, 38));
    r.Set("gripperrect", R(VGripper));
  } else {
    ThreeH(r, 4, HSplitter, 2, 2, Rc(2, 0, 38, 5));
    r.Set("gripperrect", R(HGripper));
  }
  r.Set("grippertransparent", "0");
  return r;
}

Rec ExPanelRecord() {
  using namespace ctl;
  Rec r = Make("expanel", "expanel");
  Nine(r, 4, ExPanel, 6, 24, 74, 54, Rc(2, 24, 78, 58));
  r.Set("captionrect", R(Rc(6, 0, 74, GroupCaptionH)));
  Font(r, pal::GroupText, 13, "fsbold");
  return r;
}

Rec TabRecord() {
  using namespace ctl;
  Rec r = Make("tab", "tab");
  r.Set("pictureindex", "4").Set("skinrect", R(TabPage));
  r.Set("tabrect", R(Tab)).Set("activetabrect", R(TabActive)).Set("focustabrect", R(TabActive));
  r.Set("mouseintabrect", R(TabHot)).Set("clientrect", R(Rc(2, 2, 58, 58)));
  r.Set("lefttoppoint", P(3, 3)).Set("righttoppoint", P(57, 3));
  r.Set("leftbottompoint", P(3, 57)).Set("rightbottompoint", P(57, 57));
  r.Set("tableftoffset", "4").Set("tabrightoffset", "4");
  Font(r, pal::GroupText);
  r.Set("activefontcolor", C(pal::Text)).Set("focusfontcolor", C(pal::Text)).Set("mouseinfontcolor", C(pal::Text));
  r.Set("updown", "hupdown").Set("tabstretcheffect", "1");
  r.Set("leftstretch", "1").Set("topstretch", "1").Set("rightstretch", "1").Set("bottomstretch", "1");
  r.Set("stretcheffect", "1").Set("stretchtype", "stfull");
  return r;
}

Rec GridRecord() {
  using namespace ctl;
  Rec r = Make("grid", "grid");
  r.Set("pictureindex", "4").Set("skinrect", R(Cell));
  r.Set("fixedcellrect", R(FixedCell)).Set("selectcellrect", R(SelectCell)).Set("focuscellrect", R(FocusCell));
  r.Set("fixedcellleftoffset", "2").Set("fixedcellrightoffset", "2").Set("fixedcelltextrect", R(Rc(4, 0, 36, 20)));
  r.Set("cellleftoffset", "2").Set("cellrightoffset", "2").Set("celltextrect", R(Rc(4, 0, 36, 20)));
  r.Set("linescolor", C(pal::Divider)).Set("bgcolor", C(pal::White));
  Font(r, pal::Text);
  r.Set("selectfontcolor", C(pal::SelectionText)).Set("focusfontcolor", C(pal::SelectionText));
  r.Set("fixedfontname", "Arial").Set("fixedfontstyle", "").Set("fixedfontheight", "14");
  r.Set("fixedfontcolor", C(pal::GroupText));
  r.Set("fixedcellstretcheffect", "1").Set("cellstretcheffect", "1").Set("showfocus", "0");
  return r;
}

Rec MainMenuBarRecord() {
  Rec r = Make("mainmenubar", "mainmenubar");
  r.Set("pictureindex", "5").Set("skinrect", R(menu::MenuBar)).Set("itemsrect", R(Rc(2, 0, 28, 21)));
  r.Set("menubaritem", "mainmenubaritem").Set("closebutton", "menubarclosebutton");
  r.Set("maxbutton", "menubarmaxbutton").Set("minbutton", "menubarminbutton");
  r.Set("sysmenubutton", "menubarsysmenubutton");
  r.Set("trackmarkcolor", C(pal::Glyph)).Set("trackmarkactivecolor", C(pal::Selection));
  r.Set("stretcheffect", "1").Set("itemtransparent", "0");
  return r;
}

Rec ControlBarRecord() {
  using namespace ctl;
  Rec r = Make("controlbar", "controlbar");
  Nine(r, 4, ToolPanel, 2, 2, 38, 28, Rc(1, 1, 39, 29));
  r.Set("itemrect", R(ToolPanel)).Set("hgriprect", R(HGrip)).Set("vgriprect", R(VGrip));
  r.Set("gripoffset1", "3").Set("gripoffset2", "3").Set("itemstretcheffect", "1");
  r.Set("itemoffset1", "3").Set("itemoffset2", "3");
  return r;
}

Rec PlainTextRecord(const QString& name, const QString& type) {
  Rec r = Make(name, type);
  Font(r, pal::Text);
  r.Set("bgcolor", C(pal::White));
  return r;
}

QList<Rec> ControlRecords() {
  QList<Rec> c;
  c << ButtonRecord("button", ButtonLook::Push) << ButtonRecord("toolbutton", ButtonLook::Tool)
    << ButtonRecord("resizebutton", ButtonLook::Resize) << ButtonRecord("bigtoolbutton", ButtonLook::Tool)
    << ButtonRecord("resizetoolbutton", ButtonLook::ResizeTool) << ButtonRecord("combobutton", ButtonLook::Combo)
    << ButtonRecord("vtracktoolbutton", ButtonLook::Tool) << ButtonRecord("htracktoolbutton", ButtonLook::Tool);
  c << MenuButtonRecord("toolmenubutton", false) << MenuButtonRecord("toolmenutrackbutton", true)
    << MenuButtonRecord("bigtoolmenubutton", false) << MenuButtonRecord("bigtoolmenutrackbutton", true);
  for (const char* n : {"toolpanel", "panel", "groupbox", "statusbar", "bigtoolpanel", "resizetoolpanel"})
    c << PanelRecord(n);
  c << ComboRecord("combobox", "listbox") << ComboRecord("captioncombobox", "captionlistbox")
    << ComboRecord("statuscombobox", "listbox") << ComboRecord("toolcombobox", "listbox");
  for (const char* n : {"listbox", "captionlistbox"}) {
    Rec r = Make(n, "listbox");
    ListBoxKeys(r, QString(n) == "captionlistbox");
    c << r;
  }
  c << EditRecord("edit", false) << EditRecord("buttonedit", true) << EditRecord("statusedit", false)
    << EditRecord("statusbuttonedit", true) << EditRecord("tooledit", false) << EditRecord("toolbuttonedit", true);
  {
    Rec m = Make("memo", "memo");
    Nine(m, 4, ctl::Memo, 3, 3, 37, 37, Rc(3, 3, 37, 37));
    m.Set("activeskinrect", R(ctl::MemoActive));
    Font(m, pal::Text);
    m.Set("disabledfontcolor", C(pal::DisabledText)).Set("activefontcolor", C(pal::Text));
    m.Set("bgcolor", C(pal::White)).Set("activebgcolor", C(pal::White));
    c << m;
  }
  for (const char* n : {"checklistbox", "captionchecklistbox"}) {
    Rec r = Make(n, "checklistbox");
    ListBoxKeys(r, QString(n) == "captionchecklistbox");
    r.Set("uncheckimagerect", R(ctl::CheckMark(1))).Set("checkimagerect", R(ctl::CheckMark(0)));
    r.Set("itemcheckrect", R(Rc(4, 3, 17, 16)));
    c << r;
  }
  c << SpinRecord("spinedit") << SpinRecord("statusspinedit") << SpinRecord("toolspinedit");
  c << ScrollRecord("hscrollbar") << ScrollRecord("vscrollbar") << ScrollRecord("bothhscrollbar");
  c << UpDownRecord("vupdown") << UpDownRecord("hupdown");
  c << LabelRecord("label") << LabelRecord("statuspanel");
  {
    Rec s = Make("stdlabel", "stdlabel");
    Font(s, pal::Text);
    s.Set("activefontcolor", C(pal::Selection));
    c << s;
  }
  c << CheckRecord("checkbox") << CheckRecord("radiobox");
  c << GaugeRecord("gauge") << GaugeRecord("vgauge") << GaugeRecord("statusgauge");
  c << TrackRecord("trackbar") << TrackRecord("htrackbar");
  c << SplitterRecord("vsplitter") << SplitterRecord("hsplitter");
  c << ExPanelRecord() << TabRecord() << GridRecord() << MainMenuBarRecord() << ControlBarRecord();
  c << PlainTextRecord("treeview", "treeview") << PlainTextRecord("listview", "listview")
    << PlainTextRecord("richedit", "richedit");
  {
    Rec s = Make("scrollbox", "scrollbox");
    Nine(s, 4, ctl::ListBox, 3, 3, 57, 57, Rc(1, 1, 59, 59));
    s.Set("bgpictureindex", "-1");
    c << s;
  }
  {
    Rec b = Make("bevel", "bevel");
    b.Set("lightcolor", C(pal::White)).Set("darkcolor", C(pal::PanelBorder));
    c << b;
  }
  {
    using namespace ctl;
    Rec s = Make("slider", "slider");
    s.Set("pictureindex", "4").Set("skinrect", R(HTrack)).Set("hrulerrect", R(HTrack)).Set("hthumbrect", R(HTrackThumb));
    s.Set("vrulerrect", R(VTrack)).Set("vthumbrect", R(VTrackThumb));
    s.Set("edgesize", "6").Set("bgcolor", C(pal::Face)).Set("pointscolor", C(pal::Glyph));
    c << s;
  }
  return c;
}

// ---- object records ---------------------------------------------------------

Rec CaptionButton(const QString& name, int row, const QString& command, const QString& hint) {
  using namespace capbtn;
  Rec r = Make(name, "stdbutton");
  r.Set("hint", hint).Set("skinrectinapicture", "1").Set("activepictureindex", "3");
  r.Set("skinrect", R(CellRect(row, Normal))).Set("activeskinrect", R(CellRect(row, HotCol)));
  r.Set("downrect", R(CellRect(row, DownCol))).Set("inactiveskinrect", R(CellRect(row, Inactive)));
  r.Set("disableskinrsect", R(CellRect(row, DisabledCol)));
  r.Set("morphing", "1").Set("morphkind", "mkdefault").Set("command", command);
  if (row == Maximize) {
    r.Set("restorehint", "Restore");
    r.Set("restorerect", R(CellRect(Restore, Normal))).Set("restoreactiverect", R(CellRect(Restore, HotCol)));
    r.Set("restoredownrect", R(CellRect(Restore, DownCol)));
    r.Set("restoreinactiverect", R(CellRect(Restore, Inactive)));
  }
  if (row == RollUp) {
    r.Set("restorerect", R(CellRect(RollDown, Normal))).Set("restoreactiverect", R(CellRect(RollDown, HotCol)));
    r.Set("restoredownrect", R(CellRect(RollDown, DownCol)));
    r.Set("restoreinactiverect", R(CellRect(RollDown, Inactive)));
  }
  return r;
}

Rec BarButton(const QString& name, int row, const QString& command, const QString& hint) {
  Rec r = Make(name, "mainmenubarbutton");
  r.Set("hint", hint).Set("skinrectinapicture", "1").Set("activepictureindex", "5");
  r.Set("skinrect", R(menu::BarButton(row, 0))).Set("activeskinrect", R(menu::BarButton(row, 1)));
  r.Set("downrect", R(menu::BarButton(row, 2))).Set("command", command);
  if (row == 1) {
    r.Set("restorerect", R(menu::BarButton(2, 0))).Set("restoreactiverect", R(menu::BarButton(2, 1)));
    r.Set("restoredownrect", R(menu::BarButton(2, 2)));
  }
  return r;
}

QList<Rec> ObjectRecords() {
  using namespace capbtn;
  QList<Rec> o;
  o << CaptionButton("closebutton", Close, "cmclose", "Close")
    << CaptionButton("maxbutton", Maximize, "cmmaximize", "Maximize")
    << CaptionButton("minbutton", Minimize, "cmminimize", "Minimize")
    << CaptionButton("rollupbutton", RollUp, "cmrollup", "Roll Up");
  {
    Rec s = Make("sysmenubutton", "stdbutton");
    s.Set("hint", "System menu").Set("skinrectinapicture", "1").Set("activepictureindex", "1");
    s.Set("activemaskpictureindex", "7").Set("skinrect", R(Sized(0, 0, kSysMenuW, kSysMenuH)));
    s.Set("morphing", "0").Set("command", "cmsysmenu");
    o << s;
  }
  o << CaptionButton("traybutton", Tray, "cmminimizetotray", "Minimize to Tray");
  {
    Rec c = Make("caption", "caption");
    c.Set("skinrectinapicture", "0").Set("skinrect", R(frame::CaptionObject)).Set("activeskinrect", kEmpty);
    c.Set("fontname", "Arial").Set("fontheight", "14").Set("fontstyle", "fsbold");
    c.Set("fontcolor", C(pal::CaptionTextInactive)).Set("activefontcolor", C(pal::CaptionText));
    c.Set("shadowcolor", C(QColor(0x2A, 0x43, 0x6A))).Set("activeshadowcolor", C(pal::CaptionShadow));
    c.Set("shadow", "1").Set("alignment", "taleftjustify");
    c.Set("textrect", R(Rc(2, 0, frame::CaptionObject.Width() - 2, frame::CaptionObject.Height())));
    c.Set("light", "0").Set("stretcheffect", "0");
    c.Set("gloweffect", "0").Set("vistagloweffect", "0").Set("reflectioneffect", "0");
    o << c;
  }
  {
    using namespace menu;
    Rec m = Make("menuitem", "menuitem");
    m.Set("skinrectinapicture", "1").Set("activepictureindex", "5");
    m.Set("skinrect", R(Item)).Set("activeskinrect", R(ItemActive)).Set("morphing", "0");
    m.Set("dividerrect", R(Divider)).Set("dividerleftoffset", "8").Set("dividerrightoffset", "8");
    m.Set("itemleftoffset", "6").Set("itemrightoffset", "6");
    m.Set("fontname", "Arial").Set("fontheight", "14").Set("fontstyle", "");
    m.Set("unenabledfontcolor", C(pal::DisabledText)).Set("fontcolor", C(pal::Text));
    m.Set("activefontcolor", C(pal::SelectionText));
    m.Set("textrect", R(Rc(6, 0, Item.Width() - 4, Item.Height())));
    m.Set("stretcheffect", "1").Set("dividerstretcheffect", "1").Set("inactivestretcheffect", "1");
    o << m;
  }
  {
    using namespace menu;
    Rec b = Make("mainmenubaritem", "mainmenubaritem");
    b.Set("skinrectinapicture", "1").Set("activepictureindex", "5");
    b.Set("skinrect", R(BarItem)).Set("activeskinrect", R(BarItemHot)).Set("downrect", R(BarItemDown));
    b.Set("fontname", "Arial").Set("fontheight", "14").Set("fontstyle", "");
    b.Set("fontcolor", C(pal::Text)).Set("activefontcolor", C(pal::Text)).Set("downfontcolor", C(pal::Text));
    b.Set("unenabledfontColor", C(pal::DisabledText));
    b.Set("textrect", R(Rc(6, 0, BarItem.Width() - 6, BarItem.Height())));
    b.Set("itemleftoffset", "4").Set("itemrightoffset", "4").Set("stretcheffect", "1");
    o << b;
  }
  o << BarButton("menubarsysmenubutton", 4, "cmsysmenu", "System menu")
    << BarButton("menubarclosebutton", 0, "cmclose", "Close")
    << BarButton("menubarmaxbutton", 1, "cmmaximize", "Maximize")
    << BarButton("menubarminbutton", 3, "cmminimize", "Minimize");
  return o;
}

}  // namespace

QList<Section> BuildDescription() {
  QList<Section> out;
  Section version{"VERSION", {}};
  version.Set("skinname", "Tarnwick Light").Set("skinauthor", "Tarnwick");
  version.Set("skincomments", "The built-in skin: a calm light theme.");
  out << version;

  Section pictures{"PICTURES", {}};
  pictures.Set("picture", kFrameFile).Set("inactivepicture", "").Set("mask", kMaskFile);
  pictures.Set("activepicturescount", QString::number(kActiveFiles.size()));
  for (int i = 0; i < kActiveFiles.size(); ++i) pictures.Set(QString::number(i), kActiveFiles[i]);
  out << pictures;

  Section form{"FORMINFO", {}};
  form.Set("lefttoppoint", P(frame::LTx, frame::LTy)).Set("righttoppoint", P(frame::RBx, frame::LTy));
  form.Set("leftbottompoint", P(frame::LTx, frame::RBy)).Set("rightbottompoint", P(frame::RBx, frame::RBy));
  form.Set("clientrect", R(frame::Client)).Set("bgpictureindex", "-1").Set("mdibgpictureindex", "-1");
  form.Set("leftstretch", "1").Set("rightstretch", "1").Set("topstretch", "1").Set("bottomstretch", "1");
  form.Set("stretcheffect", "0").Set("stretchtype", "stfull");
  form.Set("maskrectarea", R(frame::MaskArea));
  form.Set("hittestlefttoppoint", P(8, 8)).Set("hittestrighttoppoint", P(kFrameW - 8, 8));
  form.Set("hittestleftbottompoint", P(8, kFrameH - 8)).Set("hittestrightbottompoint", P(kFrameW - 8, kFrameH - 8));
  form.Set("buttonsrect", kEmpty).Set("captionrect", R(frame::Caption));
  form.Set("buttonsoffset", QString::number(frame::ButtonGap)).Set("buttonsinleft", "0");
  form.Set("borderwidth", "4").Set("formminwidth", "220");
  form.Set("autorenderinginactiveimage", "0").Set("inactiveeffect", "iebrightness");
  out << form;

  Section popup{"POPUPWINDOW", {}};
  popup.Set("windowpictureindex", "5").Set("maskpictureindex", "-1");
  popup.Set("lefttoppoint", P(3, 3)).Set("righttoppoint", P(kMenusW - 3, 3));
  popup.Set("leftbottompoint", P(3, kMenusH - 3)).Set("rightbottompoint", P(kMenusW - 3, kMenusH - 3));
  popup.Set("itemsrect", R(menu::Items));
  popup.Set("scrollmarkercolor", C(pal::Glyph)).Set("scrollmarkeractivecolor", C(pal::Selection));
  popup.Set("topstretch", "1").Set("leftstretch", "1").Set("rightstretch", "1").Set("bottomstretch", "1");
  popup.Set("stretcheffect", "1").Set("stretchtype", "stfull");
  out << popup;

  // A hint window draws its whole picture: its face is the glow picture's
  // hidden centre, and the glow mask's black centre is its shape.
  Section tip{"HINTWINDOW", {}};
  tip.Set("windowpictureindex", "2").Set("maskpictureindex", "6");
  tip.Set("lefttoppoint", P(hint::LTx, hint::LTy)).Set("righttoppoint", P(hint::RBx, hint::LTy));
  tip.Set("leftbottompoint", P(hint::LTx, hint::RBy)).Set("rightbottompoint", P(hint::RBx, hint::RBy));
  tip.Set("clientrect", R(hint::Client));
  tip.Set("topstretch", "1").Set("leftstretch", "1").Set("rightstretch", "1").Set("bottomstretch", "1");
  tip.Set("stretcheffect", "1").Set("stretchtype", "stfull");
  tip.Set("fontname", "Arial").Set("fontstyle", "").Set("fontheight", "13").Set("fontcolor", C(pal::Text));
  out << tip;

  Section colors{"SKINCOLORS", {}};
  colors.Set("cbtnface", C(pal::Window)).Set("cbtntext", C(pal::Text));
  colors.Set("cwindow", C(pal::White)).Set("cwindowtext", C(pal::Text));
  colors.Set("chighlight", C(pal::Selection)).Set("chighlighttext", C(pal::SelectionText));
  colors.Set("cbtnhighlight", C(pal::White)).Set("cbtnshadow", C(pal::DisabledText));
  out << colors;

  const QList<Rec> objects = ObjectRecords();
  const QList<Rec> controls = ControlRecords();
  auto list = [](const QString& name, const QList<Rec>& recs) {
    Section s{name, {}};
    s.Set("count", QString::number(recs.size()));
    for (int i = 0; i < recs.size(); ++i) s.Set(QString::number(i), recs[i].s.name + ":" + recs[i].type);
    return s;
  };
  out << list("SKINOBJECTS", objects) << list("SKINCONTROLS", controls);
  for (const Rec& r : objects) out << r.s;
  for (const Rec& r : controls) out << r.s;
  return out;
}

QByteArray DescriptionText(const QList<Section>& sections) {
  QByteArray text;
  for (const Section& s : sections) {
    if (!text.isEmpty()) text += "\r\n";
    text += "[" + s.name.toUtf8() + "]\r\n";
    for (const auto& [k, v] : s.keys) text += (k + "=" + v).toUtf8() + "\r\n";
  }
  return text;
}

}  // namespace skinmaker
