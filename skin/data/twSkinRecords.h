#pragma once
// Skin records: everything a skin description says about one named element.
// Fields are named exactly after their description keys (lower case, odd
// spellings kept) and declared in the order the records list them; each
// class level lists its own keys once in VisitFields, which drives reading,
// writing and any other walk over the fields.
#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>

#include "skin/data/twSkinIni.h"
#include "skin/data/twTypes.h"

// One call per field, in declared order, parent fields first. The default is
// what a missing key yields.
class TtwFieldVisitor {
 public:
  virtual ~TtwFieldVisitor() = default;
  virtual void String(const char* key, QString& field, const QString& def) = 0;
  virtual void Integer(const char* key, int32_t& field, int32_t def) = 0;
  virtual void Color(const char* key, TColor& field, TColor def) = 0;
  virtual void Bool(const char* key, bool& field) = 0;
  virtual void Rect(const char* key, TRect& field) = 0;
  virtual void Point(const char* key, TPoint& field) = 0;
  virtual void FontStyle(const char* key, uint8_t& field) = 0;
  virtual void StretchType(const char* key, uint8_t& field) = 0;
  virtual void MorphKind(const char* key, uint8_t& field) = 0;
  virtual void Alignment(const char* key, uint8_t& field) = 0;
  virtual void Command(const char* key, uint8_t& field) = 0;
};

// The keys of one set of font fields: the plain ones, or a prefixed set.
struct TtwFontKeys {
  const char* name;
  const char* style;
  const char* height;
  const char* color;
};
inline constexpr TtwFontKeys kFontKeys{"fontname", "fontstyle", "fontheight", "fontcolor"};

// Captions and menu items list the height before the style.
enum class TtwFontOrder { StyleFirst, HeightFirst };

// Visits one set of font fields in the order the record lists them; a
// missing name reads as Arial and a missing height as 14. `beforeColor`, when
// given, visits a record's own key that it lists just before the colour.
void TwVisitFont(TtwFieldVisitor& v, const TtwFontKeys& keys, QString& name, uint8_t& style, int32_t& height,
                 TColor& color, TtwFontOrder order = TtwFontOrder::StyleFirst,
                 const std::function<void()>& beforeColor = nullptr);

// The four font fields twenty record classes carry, under their keys' names.
struct TtwFontFields {
  QString fontname = QStringLiteral("Arial");
  uint8_t fontstyle = 0;
  int32_t fontheight = 14;
  TColor fontcolor = 0;

 protected:
  void VisitFont(TtwFieldVisitor& v, TtwFontOrder order = TtwFontOrder::StyleFirst,
                 const std::function<void()>& beforeColor = nullptr) {
    TwVisitFont(v, kFontKeys, fontname, fontstyle, fontheight, fontcolor, order, beforeColor);
  }
};

class TtwDataSkinRecord {
 public:
  explicit TtwDataSkinRecord(const QString& name) : IDName(name) {}
  virtual ~TtwDataSkinRecord() = default;
  TtwDataSkinRecord(const TtwDataSkinRecord&) = delete;
  TtwDataSkinRecord& operator=(const TtwDataSkinRecord&) = delete;

  // Reads the fields from the section named IDName (the two window records:
  // from their fixed section), then applies the class's rules. Throws
  // EConvertError for a rectangle or point without digits.
  void LoadFromIni(const TtwSkinIni& ini) { LoadFromIni(ini, IDName); }
  void LoadFromIni(const TtwSkinIni& ini, const QString& section);
  // Erases the section, then writes every field.
  void SaveToIni(TtwSkinIni& ini) const { SaveToIni(ini, IDName); }
  void SaveToIni(TtwSkinIni& ini, const QString& section) const;

  // The type token the record lists under in [SKINOBJECTS] / [SKINCONTROLS];
  // empty for classes that have none.
  virtual QString TypeToken() const { return QString(); }
  virtual void VisitFields(TtwFieldVisitor& v) = 0;

  QString IDName;

 protected:
  // Rules that hold after the keys are read.
  virtual void AfterLoad() {}
};

class TtwDataSkinControl : public TtwDataSkinRecord {
 public:
  explicit TtwDataSkinControl(const QString& name) : TtwDataSkinRecord(name) {}
  void VisitFields(TtwFieldVisitor& v) override;

  int32_t pictureindex = -1;
  int32_t maskpictureindex = -1;
  TRect skinrect;
};

class TtwDataSkinCustomControl : public TtwDataSkinControl {
 public:
  explicit TtwDataSkinCustomControl(const QString& name) : TtwDataSkinControl(name) {}
  void VisitFields(TtwFieldVisitor& v) override;

  TPoint lefttoppoint;
  TPoint righttoppoint;
  TPoint leftbottompoint;
  TPoint rightbottompoint;
  TRect clientrect;
  bool stretcheffect = false;
  uint8_t stretchtype = twtok::stfull;
  bool leftstretch = false;
  bool topstretch = false;
  bool rightstretch = false;
  bool bottomstretch = false;
};

class TtwDataSkinButtonControl : public TtwDataSkinCustomControl, public TtwFontFields {
 public:
  explicit TtwDataSkinButtonControl(const QString& name) : TtwDataSkinCustomControl(name) {}
  QString TypeToken() const override { return QStringLiteral("button"); }
  void VisitFields(TtwFieldVisitor& v) override;

  TColor activefontcolor = 0;
  TColor downfontcolor = 0;
  TColor disabledfontcolor = 0;
  TRect activeskinrect;
  TRect downskinrect;
  TRect disabledskinrect;
  TRect focusedskinrect;
  bool morphing = false;
  uint8_t morphkind = twtok::mkdefault;
  TRect animateskinrect;
  int32_t framecount = 0;
  int32_t animateinterval = 25;
  bool showfocus = false;
  TRect menumarkerflatrect;
  TRect menumarkerrect;
  TRect menumarkeractiverect;
  TRect menumarkerdownrect;
  TColor menumarkertransparentcolor = 0;
  int32_t glowlayerpictureindex = -1;
  int32_t glowlayermaskpictureindex = -1;
  int32_t glowlayeroffsetleft = 0;
  int32_t glowlayeroffsetright = 0;
  int32_t glowlayeroffsettop = 0;
  int32_t glowlayeroffsetbottom = 0;
  int32_t glowlayershowoffsetx = 0;
  int32_t glowlayershowoffsety = 0;
  int32_t glowlayeralphablendvalue = 255;
};

class TtwDataSkinMenuButtonControl : public TtwDataSkinButtonControl {
 public:
  explicit TtwDataSkinMenuButtonControl(const QString& name) : TtwDataSkinButtonControl(name) {}
  QString TypeToken() const override { return QStringLiteral("menubutton"); }
  void VisitFields(TtwFieldVisitor& v) override;

  TRect trackbuttonrect;
};

class TtwDataSkinPanelControl : public TtwDataSkinCustomControl, public TtwFontFields {
 public:
  explicit TtwDataSkinPanelControl(const QString& name) : TtwDataSkinCustomControl(name) {}
  QString TypeToken() const override { return QStringLiteral("panel"); }
  void VisitFields(TtwFieldVisitor& v) override;

  TRect captionrect;
  uint8_t alignment = twtok::tacenter;
  int32_t bgpictureindex = -1;
  TRect checkimagerect;
  TRect uncheckimagerect;
  TRect markframerect;
  TRect framerect;
  int32_t frameleftoffset = 0;
  int32_t framerightoffset = 0;
  TRect frametextrect;
  TRect gripperrect;
  bool grippertransparent = false;
  TColor grippertransparentcolor = 0;
};

class TtwDataSkinExPanelControl : public TtwDataSkinCustomControl, public TtwFontFields {
 public:
  explicit TtwDataSkinExPanelControl(const QString& name) : TtwDataSkinCustomControl(name) {}
  QString TypeToken() const override { return QStringLiteral("expanel"); }
  void VisitFields(TtwFieldVisitor& v) override;

  TRect rollhskinrect;
  TRect rollvskinrect;
  int32_t rollleftoffset = 0;
  int32_t rollrightoffset = 0;
  int32_t rolltopoffset = 0;
  int32_t rollbottomoffset = 0;
  TRect rollvcaptionrect;
  TRect rollhcaptionrect;
  TRect closebuttonrect;
  TRect closebuttonactiverect;
  TRect closebuttondownrect;
  TRect hrollbuttonrect;
  TRect hrollbuttonactiverect;
  TRect hrollbuttondownrect;
  TRect hrestorebuttonrect;
  TRect hrestorebuttonactiverect;
  TRect hrestorebuttondownrect;
  TRect vrollbuttonrect;
  TRect vrollbuttonactiverect;
  TRect vrollbuttondownrect;
  TRect vrestorebuttonrect;
  TRect vrestorebuttonactiverect;
  TRect vrestorebuttondownrect;
  TRect captionrect;
  bool buttonstransparent = false;
  TColor buttonstransparentcolor = 0;
};

class TtwDataSkinCheckRadioControl : public TtwDataSkinCustomControl, public TtwFontFields {
 public:
  explicit TtwDataSkinCheckRadioControl(const QString& name) : TtwDataSkinCustomControl(name) {}
  QString TypeToken() const override { return QStringLiteral("checkradio"); }
  void VisitFields(TtwFieldVisitor& v) override;

  TColor activefontcolor = 0;
  TColor unenabledfontcolor = 0;
  TRect activeskinrect;
  TRect checkimagearea;
  TRect textarea;
  TRect checkimagerect;
  TRect uncheckimagerect;
  TRect activecheckimagerect;
  TRect activeuncheckimagerect;
  TRect unenabledcheckimagerect;
  TRect unenableduncheckimagerect;
  TRect grayedcheckimagerect;
  TRect activegrayedcheckimagerect;
  bool morphing = false;
  uint8_t morphkind = twtok::mkdefault;
  TColor framefontcolor = 0;
};

class TtwDataSkinGaugeControl : public TtwDataSkinCustomControl, public TtwFontFields {
 public:
  explicit TtwDataSkinGaugeControl(const QString& name) : TtwDataSkinCustomControl(name) {}
  QString TypeToken() const override { return QStringLiteral("gauge"); }
  void VisitFields(TtwFieldVisitor& v) override;

  TRect progressarea;
  TRect progressrect;
  bool vertical = false;
  int32_t beginoffset = 0;
  int32_t endoffset = 0;
  bool progresstransparent = false;
  TColor progresstransparentcolor = 0;
  bool progressstretch = false;
  TRect animationskinrect;
  int32_t animationcountframes = 0;
  int32_t animationtimerinterval = 0;
  TRect progressanimationskinrect;
  int32_t progressanimationcountframes = 0;
  int32_t progressanimationtimerinterval = 0;
  int32_t animationbeginoffset = 0;
  int32_t animationendoffset = 0;
};

class TtwDataSkinSplitterControl : public TtwDataSkinCustomControl {
 public:
  explicit TtwDataSkinSplitterControl(const QString& name) : TtwDataSkinCustomControl(name) {}
  QString TypeToken() const override { return QStringLiteral("splitter"); }
  void VisitFields(TtwFieldVisitor& v) override;

  TRect gripperrect;
  bool grippertransparent = false;
  TColor grippertransparentcolor = 0;
};

class TtwDataSkinTrackBarControl : public TtwDataSkinCustomControl {
 public:
  explicit TtwDataSkinTrackBarControl(const QString& name) : TtwDataSkinCustomControl(name) {}
  QString TypeToken() const override { return QStringLiteral("trackbar"); }
  void VisitFields(TtwFieldVisitor& v) override;

  TRect activeskinrect;
  TRect trackarea;
  TRect buttonrect;
  TRect activebuttonrect;
  bool vertical = false;
  bool buttontransparent = false;
  TColor buttontransparentcolor = 0;
};

class TtwDataSkinLabelControl : public TtwDataSkinCustomControl, public TtwFontFields {
 public:
  explicit TtwDataSkinLabelControl(const QString& name) : TtwDataSkinCustomControl(name) {}
  QString TypeToken() const override { return QStringLiteral("label"); }
  void VisitFields(TtwFieldVisitor& v) override;
};

class TtwDataSkinStdLabelControl : public TtwDataSkinControl, public TtwFontFields {
 public:
  explicit TtwDataSkinStdLabelControl(const QString& name) : TtwDataSkinControl(name) {}
  QString TypeToken() const override { return QStringLiteral("stdlabel"); }
  void VisitFields(TtwFieldVisitor& v) override;

  TColor activefontcolor = 16711680;
};

class TtwDataSkinUpDownControl : public TtwDataSkinCustomControl {
 public:
  explicit TtwDataSkinUpDownControl(const QString& name) : TtwDataSkinCustomControl(name) {}
  QString TypeToken() const override { return QStringLiteral("updown"); }
  void VisitFields(TtwFieldVisitor& v) override;
  // Up-down records ignore the corner points and client rectangle.
  void AfterLoad() override;

  TRect upbuttonrect;
  TRect activeupbuttonrect;
  TRect downupbuttonrect;
  TRect downbuttonrect;
  TRect activedownbuttonrect;
  TRect downdownbuttonrect;
};

class TtwDataSkinGridControl : public TtwDataSkinControl, public TtwFontFields {
 public:
  explicit TtwDataSkinGridControl(const QString& name) : TtwDataSkinControl(name) {}
  QString TypeToken() const override { return QStringLiteral("grid"); }
  void VisitFields(TtwFieldVisitor& v) override;

  TRect fixedcellrect;
  TRect selectcellrect;
  TRect focuscellrect;
  int32_t fixedcellleftoffset = 0;
  int32_t fixedcellrightoffset = 0;
  TRect fixedcelltextrect;
  int32_t cellleftoffset = 0;
  int32_t cellrightoffset = 0;
  TRect celltextrect;
  TColor linescolor = 0;
  TColor bgcolor = 0;
  TColor selectfontcolor = 0;
  TColor focusfontcolor = 0;
  QString fixedfontname = QStringLiteral("Arial");
  uint8_t fixedfontstyle = 0;
  int32_t fixedfontheight = 14;
  TColor fixedfontcolor = 0;
  bool fixedcellstretcheffect = false;
  bool cellstretcheffect = false;
  bool showfocus = false;
  int32_t bgpictureindex = -1;
};

class TtwDataSkinTabControl : public TtwDataSkinControl, public TtwFontFields {
 public:
  explicit TtwDataSkinTabControl(const QString& name) : TtwDataSkinControl(name) {}
  QString TypeToken() const override { return QStringLiteral("tab"); }
  void VisitFields(TtwFieldVisitor& v) override;

  TRect tabrect;
  TRect activetabrect;
  TRect focustabrect;
  TRect mouseintabrect;
  TRect clientrect;
  TRect tabsbgrect;
  TPoint lefttoppoint;
  TPoint righttoppoint;
  TPoint leftbottompoint;
  TPoint rightbottompoint;
  int32_t tableftoffset = 0;
  int32_t tabrightoffset = 0;
  TColor activefontcolor = 0;
  TColor focusfontcolor = 0;
  TColor mouseinfontcolor = 0;
  QString updown;
  int32_t bgpictureindex = -1;
  bool tabstretcheffect = false;
  bool showfocus = false;
  int32_t focusoffsetx = 0;
  int32_t focusoffsety = 0;
  bool leftstretch = false;
  bool topstretch = false;
  bool rightstretch = false;
  bool bottomstretch = false;
  bool stretcheffect = false;
  uint8_t stretchtype = twtok::stfull;
  TRect closebuttonrect;
  TRect closebuttonactiverect;
  TRect closebuttondownrect;
  bool buttontransparent = false;
  TColor buttontransparentcolor = 0;
};

class TtwDataSkinMainMenuBar : public TtwDataSkinControl {
 public:
  explicit TtwDataSkinMainMenuBar(const QString& name) : TtwDataSkinControl(name) {}
  QString TypeToken() const override { return QStringLiteral("mainmenubar"); }
  void VisitFields(TtwFieldVisitor& v) override;

  TRect itemsrect;
  QString menubaritem;
  QString closebutton;
  QString maxbutton;
  QString minbutton;
  QString sysmenubutton;
  TColor trackmarkcolor = 0;
  TColor trackmarkactivecolor = 0;
  bool stretcheffect = false;
  bool itemtransparent = false;
};

class TtwDataSkinControlBar : public TtwDataSkinCustomControl {
 public:
  explicit TtwDataSkinControlBar(const QString& name) : TtwDataSkinCustomControl(name) {}
  QString TypeToken() const override { return QStringLiteral("controlbar"); }
  void VisitFields(TtwFieldVisitor& v) override;

  TRect itemrect;
  int32_t bgpictureindex = -1;
  TRect hgriprect;
  TRect vgriprect;
  int32_t gripoffset1 = 0;
  int32_t gripoffset2 = 0;
  bool itemstretcheffect = false;
  int32_t itemoffset1 = 3;
  int32_t itemoffset2 = 3;
  bool itemtransparent = false;
  TColor itemtransparentcolor = 0;
  bool griptransparent = false;
  TColor griptransparentcolor = 0;
};

class TtwDataSkinEditControl : public TtwDataSkinCustomControl, public TtwFontFields {
 public:
  explicit TtwDataSkinEditControl(const QString& name) : TtwDataSkinCustomControl(name) {}
  QString TypeToken() const override { return QStringLiteral("edit"); }
  void VisitFields(TtwFieldVisitor& v) override;

  TRect activeskinrect;
  TColor disabledfontcolor = 0;
  TColor activefontcolor = 0;
  TRect buttonrect;
  TRect activebuttonrect;
  TRect downbuttonrect;
  TRect unenabledbuttonrect;
};

class TtwDataSkinMemoControl : public TtwDataSkinEditControl {
 public:
  explicit TtwDataSkinMemoControl(const QString& name) : TtwDataSkinEditControl(name) {}
  QString TypeToken() const override { return QStringLiteral("memo"); }
  void VisitFields(TtwFieldVisitor& v) override;

  TColor bgcolor = 0;
  TColor activebgcolor = 0;
};

class TtwDataSkinListBox : public TtwDataSkinCustomControl, public TtwFontFields {
 public:
  explicit TtwDataSkinListBox(const QString& name) : TtwDataSkinCustomControl(name) {}
  QString TypeToken() const override { return QStringLiteral("listbox"); }
  void VisitFields(TtwFieldVisitor& v) override;

  TRect itemrect;
  TRect activeitemrect;
  TRect focusitemrect;
  int32_t itemleftoffset = 0;
  int32_t itemrightoffset = 0;
  TRect itemtextrect;
  TColor activefontcolor = 0;
  TColor focusfontcolor = 0;
  TRect captionrect;
  QString captionfontname = QStringLiteral("Arial");
  uint8_t captionfontstyle = 0;
  int32_t captionfontheight = 14;
  TColor captionfontcolor = 0;
  TRect upbuttonrect;
  TRect activeupbuttonrect;
  TRect downupbuttonrect;
  TRect downbuttonrect;
  TRect activedownbuttonrect;
  TRect downdownbuttonrect;
  TRect checkbuttonrect;
  TRect activecheckbuttonrect;
  TRect downcheckbuttonrect;
  QString hscrollbarname = QStringLiteral("hscrollbar");
  QString vscrollbarname = QStringLiteral("vscrollbar");
  QString bothhscrollbarname = QStringLiteral("bothhscrollbar");
  bool showfocus = false;
  TRect disabledbuttonsrect;
  TRect buttonsarea;
};

class TtwDataSkinCheckListBox : public TtwDataSkinListBox {
 public:
  explicit TtwDataSkinCheckListBox(const QString& name) : TtwDataSkinListBox(name) {}
  QString TypeToken() const override { return QStringLiteral("checklistbox"); }
  void VisitFields(TtwFieldVisitor& v) override;

  TRect uncheckimagerect;
  TRect checkimagerect;
  TRect itemcheckrect;
};

class TtwDataSkinComboBox : public TtwDataSkinCustomControl, public TtwFontFields {
 public:
  explicit TtwDataSkinComboBox(const QString& name) : TtwDataSkinCustomControl(name) {}
  QString TypeToken() const override { return QStringLiteral("combobox"); }
  void VisitFields(TtwFieldVisitor& v) override;

  TRect itemrect;
  TRect activeitemrect;
  TRect focusitemrect;
  int32_t itemleftoffset = 0;
  int32_t itemrightoffset = 0;
  TRect itemtextrect;
  TColor focusfontcolor = 0;
  TColor activefontcolor = 0;
  TRect buttonrect;
  TRect activebuttonrect;
  TRect downbuttonrect;
  TRect unenabledbuttonrect;
  bool itemstretcheffect = false;
  bool focusitemstretcheffect = false;
  TRect activeskinrect;
  QString listboxname;
  bool showfocus = false;
};

class TtwDataSkinScrollBarControl : public TtwDataSkinCustomControl {
 public:
  explicit TtwDataSkinScrollBarControl(const QString& name) : TtwDataSkinCustomControl(name) {}
  QString TypeToken() const override { return QStringLiteral("scrollbar"); }
  void VisitFields(TtwFieldVisitor& v) override;

  TRect trackarea;
  TRect upbuttonrect;
  TRect activeupbuttonrect;
  TRect downupbuttonrect;
  TRect downbuttonrect;
  TRect activedownbuttonrect;
  TRect downdownbuttonrect;
  TRect thumbrect;
  TRect activethumbrect;
  TRect downthumbrect;
  int32_t thumboffset1 = 0;
  int32_t thumboffset2 = 0;
  TRect glyphrect;
  TRect activeglyphrect;
  TRect downglyphrect;
  bool glyphtransparent = false;
  TColor glyphtransparentcolor = 0;
  bool thumbtransparent = false;
  TColor thumbtransparentcolor = 0;
  bool thumbstretcheffect = false;
  int32_t thumbminsize = 0;
  int32_t thumbminpagesize = 0;
};

class TtwDataSkinSpinEditControl : public TtwDataSkinCustomControl, public TtwFontFields {
 public:
  explicit TtwDataSkinSpinEditControl(const QString& name) : TtwDataSkinCustomControl(name) {}
  QString TypeToken() const override { return QStringLiteral("spinedit"); }
  void VisitFields(TtwFieldVisitor& v) override;

  TRect activeskinrect;
  TColor activefontcolor = 0;
  TColor disabledfontcolor = 0;
  TRect upbuttonrect;
  TRect activeupbuttonrect;
  TRect downupbuttonrect;
  TRect downbuttonrect;
  TRect activedownbuttonrect;
  TRect downdownbuttonrect;
};

class TtwDataSkinScrollBoxControl : public TtwDataSkinCustomControl {
 public:
  explicit TtwDataSkinScrollBoxControl(const QString& name) : TtwDataSkinCustomControl(name) {}
  QString TypeToken() const override { return QStringLiteral("scrollbox"); }
  void VisitFields(TtwFieldVisitor& v) override;

  int32_t bgpictureindex = -1;
};

class TtwDataSkinTreeView : public TtwDataSkinControl, public TtwFontFields {
 public:
  explicit TtwDataSkinTreeView(const QString& name) : TtwDataSkinControl(name) {}
  QString TypeToken() const override { return QStringLiteral("treeview"); }
  void VisitFields(TtwFieldVisitor& v) override;

  TColor bgcolor = 0;
};

class TtwDataSkinListView : public TtwDataSkinControl, public TtwFontFields {
 public:
  explicit TtwDataSkinListView(const QString& name) : TtwDataSkinControl(name) {}
  QString TypeToken() const override { return QStringLiteral("listview"); }
  void VisitFields(TtwFieldVisitor& v) override;

  TColor bgcolor = 0;
};

class TtwDataSkinRichEdit : public TtwDataSkinControl, public TtwFontFields {
 public:
  explicit TtwDataSkinRichEdit(const QString& name) : TtwDataSkinControl(name) {}
  QString TypeToken() const override { return QStringLiteral("richedit"); }
  void VisitFields(TtwFieldVisitor& v) override;

  TColor bgcolor = 0;
};

class TtwDataSkinBevel : public TtwDataSkinControl {
 public:
  explicit TtwDataSkinBevel(const QString& name) : TtwDataSkinControl(name) {}
  QString TypeToken() const override { return QStringLiteral("bevel"); }
  void VisitFields(TtwFieldVisitor& v) override;

  TColor lightcolor = 0;
  TColor darkcolor = 0;
};

class TtwDataSkinSlider : public TtwDataSkinControl {
 public:
  explicit TtwDataSkinSlider(const QString& name) : TtwDataSkinControl(name) {}
  QString TypeToken() const override { return QStringLiteral("slider"); }
  void VisitFields(TtwFieldVisitor& v) override;

  TRect hrulerrect;
  TRect hthumbrect;
  TRect vrulerrect;
  TRect vthumbrect;
  int32_t edgesize = 0;
  TColor bgcolor = 0;
  TColor pointscolor = 0;
};

class TtwDataSkinObject : public TtwDataSkinRecord {
 public:
  explicit TtwDataSkinObject(const QString& name) : TtwDataSkinRecord(name) {}
  void VisitFields(TtwFieldVisitor& v) override;

  QString hint;
  bool skinrectinapicture = false;
  TRect skinrect;
  TRect activeskinrect;
  int32_t activepictureindex = -1;
  int32_t activemaskpictureindex = -1;
  TRect inactiveskinrect;
  bool morphing = false;
  uint8_t morphkind = twtok::mkdefault;
  int32_t glowlayerpictureindex = -1;
  int32_t glowlayermaskpictureindex = -1;
  int32_t glowlayeroffsetx = 0;
  int32_t glowlayeroffsety = 0;
  int32_t glowlayeralphablendvalue = 255;
};

class TtwDataUserObject : public TtwDataSkinObject {
 public:
  explicit TtwDataUserObject(const QString& name) : TtwDataSkinObject(name) {}
  QString TypeToken() const override { return QStringLiteral("userobject"); }
  void VisitFields(TtwFieldVisitor& v) override;
  // Reads and writes "skinrect" only.
};

class TtwDataSkinButton : public TtwDataSkinObject {
 public:
  explicit TtwDataSkinButton(const QString& name) : TtwDataSkinObject(name) {}
  QString TypeToken() const override { return QStringLiteral("button"); }
  void VisitFields(TtwFieldVisitor& v) override;

  TRect downrect;
  TRect disableskinrsect;
};

class TtwDataSkinStdButton : public TtwDataSkinButton {
 public:
  explicit TtwDataSkinStdButton(const QString& name) : TtwDataSkinButton(name) {}
  QString TypeToken() const override { return QStringLiteral("stdbutton"); }
  void VisitFields(TtwFieldVisitor& v) override;
  void AfterLoad() override;

  uint8_t command = twtok::cmdefault;
  QString restorehint;
  TRect restorerect;
  TRect restoreactiverect;
  TRect restoredownrect;
  TRect restoreinactiverect;
};

class TtwDataSkinMainMenuBarButton : public TtwDataSkinStdButton {
 public:
  explicit TtwDataSkinMainMenuBarButton(const QString& name) : TtwDataSkinStdButton(name) {}
  QString TypeToken() const override { return QStringLiteral("mainmenubarbutton"); }
  void VisitFields(TtwFieldVisitor& v) override;
};

class TtwDataSkinAnimate : public TtwDataSkinObject {
 public:
  explicit TtwDataSkinAnimate(const QString& name) : TtwDataSkinObject(name) {}
  QString TypeToken() const override { return QStringLiteral("animate"); }
  void VisitFields(TtwFieldVisitor& v) override;
  void AfterLoad() override;

  int32_t countframes = 1;
  bool cycle = false;
  bool buttonstyle = false;
  int32_t timerinterval = 50;
  uint8_t command = twtok::cmdefault;
  TRect downskinrect;
  QString restorehint;
  TRect restorerect;
  TRect restoreactiverect;
  TRect restoredownrect;
  TRect restoreinactiverect;
};

class TtwDataSkinCaption : public TtwDataSkinObject, public TtwFontFields {
 public:
  explicit TtwDataSkinCaption(const QString& name) : TtwDataSkinObject(name) {}
  QString TypeToken() const override { return QStringLiteral("caption"); }
  void VisitFields(TtwFieldVisitor& v) override;

  TColor activefontcolor = 0;
  TColor shadowcolor = 0;
  TColor activeshadowcolor = 0;
  bool shadow = false;
  uint8_t alignment = twtok::tacenter;
  TRect textrect;
  TRect framerect;
  TRect activeframerect;
  int32_t frameleftoffset = 0;
  int32_t framerightoffset = 0;
  TRect frametextrect;
  bool light = false;
  TColor lightcolor = 0;
  TColor activelightcolor = 0;
  bool stretcheffect = false;
  TRect animateskinrect;
  int32_t framecount = 0;
  int32_t animateinterval = 25;
  bool inactiveanimation = false;
  bool fullframe = false;
  bool gloweffect = false;
  bool vistagloweffect = false;
  bool vistaglowinactiveeffect = false;
  bool glowinactiveeffect = false;
  int32_t glowsize = 3;
  TColor glowcolor = 0;
  TColor glowactivecolor = 0;
  int32_t glowoffset = 0;
  bool reflectioneffect = false;
  TColor reflactioncolor = 0;
  TColor reflactionactivecolor = 0;
  int32_t reflectionoffset = 0;
};

class TtwDataSkinMenuItem : public TtwDataSkinObject, public TtwFontFields {
 public:
  explicit TtwDataSkinMenuItem(const QString& name) : TtwDataSkinObject(name) {}
  QString TypeToken() const override { return QStringLiteral("menuitem"); }
  void VisitFields(TtwFieldVisitor& v) override;
  // Empty active image rectangles fall back to the normal ones.
  void AfterLoad() override;

  TRect dividerrect;
  int32_t dividerleftoffset = 0;
  int32_t dividerrightoffset = 0;
  int32_t itemleftoffset = 0;
  int32_t itemrightoffset = 0;
  TColor unenabledfontcolor = 0;
  TColor activefontcolor = 0;
  TRect textrect;
  TRect imagerect;
  bool useimagecolor = false;
  TColor imagecolor = 0;
  TColor activeimagecolor = 0;
  bool stretcheffect = false;
  bool dividerstretcheffect = false;
  bool inactivestretcheffect = false;
  TRect animateskinrect;
  int32_t framecount = 0;
  int32_t animateinterval = 25;
  bool inactiveanimation = false;
  bool inactivetransparent = false;
  TRect checkimagerect;
  TRect activecheckimagerect;
  TRect radioimagerect;
  TRect activeradioimagerect;
  TRect arrowimagerect;
  TRect activearrowimagerect;
};

class TtwDataSkinMainMenuItem : public TtwDataSkinObject, public TtwFontFields {
 public:
  explicit TtwDataSkinMainMenuItem(const QString& name) : TtwDataSkinObject(name) {}
  void VisitFields(TtwFieldVisitor& v) override;

  TRect downrect;
  TColor activefontcolor = 0;
  TColor downfontcolor = 0;
  TColor unenabledfontColor = 0;
  TRect textrect;
  int32_t itemleftoffset = 0;
  int32_t itemrightoffset = 0;
  bool stretcheffect = false;
  TRect animateskinrect;
  int32_t framecount = 0;
  int32_t animateinterval = 25;
  bool inactiveanimation = false;
};

class TtwDataSkinMainMenuBarItem : public TtwDataSkinMainMenuItem {
 public:
  explicit TtwDataSkinMainMenuBarItem(const QString& name) : TtwDataSkinMainMenuItem(name) {}
  QString TypeToken() const override { return QStringLiteral("mainmenubaritem"); }
  void VisitFields(TtwFieldVisitor& v) override;
};

class TtwDataSkinPopupWindow : public TtwDataSkinRecord {
 public:
  // Reads the fixed section [POPUPWINDOW].
  TtwDataSkinPopupWindow() : TtwDataSkinRecord(QStringLiteral("POPUPWINDOW")) {}
  void VisitFields(TtwFieldVisitor& v) override;

  int32_t windowpictureindex = -1;
  int32_t maskpictureindex = -1;
  TPoint lefttoppoint;
  TPoint righttoppoint;
  TPoint leftbottompoint;
  TPoint rightbottompoint;
  TRect itemsrect;
  TColor scrollmarkercolor = 0;
  TColor scrollmarkeractivecolor = 0;
  bool topstretch = false;
  bool leftstretch = false;
  bool rightstretch = false;
  bool bottomstretch = false;
  bool stretcheffect = false;
  uint8_t stretchtype = twtok::stfull;
};

class TtwDataSkinHintWindow : public TtwDataSkinRecord, public TtwFontFields {
 public:
  // Reads the fixed section [HINTWINDOW].
  // Before any load the hint font is 12 high; a loaded skin without the key
  // gives 14, as every record does.
  TtwDataSkinHintWindow() : TtwDataSkinRecord(QStringLiteral("HINTWINDOW")) { fontheight = 12; }
  void VisitFields(TtwFieldVisitor& v) override;

  int32_t windowpictureindex = -1;
  int32_t maskpictureindex = -1;
  TPoint lefttoppoint;
  TPoint righttoppoint;
  TPoint leftbottompoint;
  TPoint rightbottompoint;
  TRect clientrect;
  bool topstretch = false;
  bool leftstretch = false;
  bool rightstretch = false;
  bool bottomstretch = false;
  bool stretcheffect = false;
  uint8_t stretchtype = twtok::stfull;
};

// ---- type tables ----
// The record class of a [SKINOBJECTS] / [SKINCONTROLS] type token (compared
// whole, letter case significant); nullptr for a token not in the table.
// The caller owns the record.
TtwDataSkinObject* CreateSkinObjectRecord(const QString& type, const QString& name);
TtwDataSkinControl* CreateSkinControlRecord(const QString& type, const QString& name);
// The tokens of each table, in table order.
QStringList SkinObjectTypes();
QStringList SkinControlTypes();

// Most records one list may hold; the built-in skin lists under a hundred.
inline constexpr qsizetype kMaxSkinRecords = 10000;

// Creates the records listed in [SKINOBJECTS] / [SKINCONTROLS] in key order:
// each is appended to `into` and then reads its section, so a conversion
// error leaves the records made so far in `into`. Entries without ":" or of
// unknown type are skipped. A list longer than kMaxSkinRecords raises
// ESkinDescriptionError before any record is made.
void LoadSkinObjectRecords(const TtwSkinIni& ini, QList<TtwDataSkinObject*>& into);
void LoadSkinControlRecords(const TtwSkinIni& ini, QList<TtwDataSkinControl*>& into);
// Writes the list section ("name:type" entries) and every record's section.
void SaveSkinObjectRecords(TtwSkinIni& ini, const QList<TtwDataSkinObject*>& records);
void SaveSkinControlRecords(TtwSkinIni& ini, const QList<TtwDataSkinControl*>& records);
