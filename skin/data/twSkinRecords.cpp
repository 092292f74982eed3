// Reading and writing records through their field walks, the font-field
// helper, the two type tables and the two window records.
#include "skin/data/twSkinRecords.h"

#include <functional>

namespace {

class TReader final : public TtwFieldVisitor {
 public:
  TReader(const TtwSkinIni& ini, const QString& section) : ini_(ini), section_(section) {}
  void String(const char* key, QString& f, const QString& def) override { f = ini_.ReadString(section_, K(key), def); }
  void Integer(const char* key, int32_t& f, int32_t def) override { f = ini_.ReadInteger(section_, K(key), def); }
  void Color(const char* key, TColor& f, TColor def) override { f = ini_.ReadColor(section_, K(key), def); }
  void Bool(const char* key, bool& f) override { f = ini_.ReadBool(section_, K(key)); }
  void Rect(const char* key, TRect& f) override { f = ini_.ReadRect(section_, K(key)); }
  void Point(const char* key, TPoint& f) override { f = ini_.ReadPoint(section_, K(key)); }
  void FontStyle(const char* key, uint8_t& f) override { f = ini_.ReadFontStyle(section_, K(key)); }
  void StretchType(const char* key, uint8_t& f) override { f = ini_.ReadStretchType(section_, K(key)); }
  void MorphKind(const char* key, uint8_t& f) override { f = ini_.ReadMorphKind(section_, K(key)); }
  void Alignment(const char* key, uint8_t& f) override { f = ini_.ReadAlignment(section_, K(key)); }
  void Command(const char* key, uint8_t& f) override { f = ini_.ReadCommand(section_, K(key)); }

 private:
  TtwKeyName K;
  const TtwSkinIni& ini_;
  const QString& section_;
};

class TWriter final : public TtwFieldVisitor {
 public:
  TWriter(TtwSkinIni& ini, const QString& section) : ini_(ini), section_(section) {}
  void String(const char* key, QString& f, const QString&) override { ini_.WriteString(section_, K(key), f); }
  void Integer(const char* key, int32_t& f, int32_t) override { ini_.WriteInteger(section_, K(key), f); }
  void Color(const char* key, TColor& f, TColor) override { ini_.WriteColor(section_, K(key), f); }
  void Bool(const char* key, bool& f) override { ini_.WriteBool(section_, K(key), f); }
  void Rect(const char* key, TRect& f) override { ini_.WriteRect(section_, K(key), f); }
  void Point(const char* key, TPoint& f) override { ini_.WritePoint(section_, K(key), f); }
  void FontStyle(const char* key, uint8_t& f) override { ini_.WriteFontStyle(section_, K(key), f); }
  void StretchType(const char* key, uint8_t& f) override { ini_.WriteStretchType(section_, K(key), f); }
  void MorphKind(const char* key, uint8_t& f) override { ini_.WriteMorphKind(section_, K(key), f); }
  void Alignment(const char* key, uint8_t& f) override { ini_.WriteAlignment(section_, K(key), f); }
  void Command(const char* key, uint8_t& f) override { ini_.WriteCommand(section_, K(key), f); }

 private:
  static QString K(const char* key) { return QString::fromLatin1(key); }
  TtwSkinIni& ini_;
  const QString& section_;
};

template <class Base>
using Factory = std::function<Base*(const QString&)>;

template <class T>
struct Make {
  template <class Base>
  operator Factory<Base>() const {
    return [](const QString& name) -> Base* { return new T(name); };
  }
};

struct ObjectType {
  const char* token;
  Factory<TtwDataSkinObject> make;
};
struct ControlType {
  const char* token;
  Factory<TtwDataSkinControl> make;
};

const QList<ObjectType>& ObjectTable() {
  static const QList<ObjectType> table = {
      {"stdbutton", Make<TtwDataSkinStdButton>()},
      {"button", Make<TtwDataSkinButton>()},
      {"mainmenubarbutton", Make<TtwDataSkinMainMenuBarButton>()},
      {"caption", Make<TtwDataSkinCaption>()},
      {"animate", Make<TtwDataSkinAnimate>()},
      {"menuitem", Make<TtwDataSkinMenuItem>()},
      {"mainmenubaritem", Make<TtwDataSkinMainMenuBarItem>()},
      {"userobject", Make<TtwDataUserObject>()},
  };
  return table;
}

const QList<ControlType>& ControlTable() {
  static const QList<ControlType> table = {
      {"button", Make<TtwDataSkinButtonControl>()},
      {"menubutton", Make<TtwDataSkinMenuButtonControl>()},
      {"panel", Make<TtwDataSkinPanelControl>()},
      {"expanel", Make<TtwDataSkinExPanelControl>()},
      {"checkradio", Make<TtwDataSkinCheckRadioControl>()},
      {"gauge", Make<TtwDataSkinGaugeControl>()},
      {"splitter", Make<TtwDataSkinSplitterControl>()},
      {"trackbar", Make<TtwDataSkinTrackBarControl>()},
      {"label", Make<TtwDataSkinLabelControl>()},
      {"stdlabel", Make<TtwDataSkinStdLabelControl>()},
      {"updown", Make<TtwDataSkinUpDownControl>()},
      {"grid", Make<TtwDataSkinGridControl>()},
      {"tab", Make<TtwDataSkinTabControl>()},
      {"mainmenubar", Make<TtwDataSkinMainMenuBar>()},
      {"controlbar", Make<TtwDataSkinControlBar>()},
      {"memo", Make<TtwDataSkinMemoControl>()},
      {"edit", Make<TtwDataSkinEditControl>()},
      {"checklistbox", Make<TtwDataSkinCheckListBox>()},
      {"listbox", Make<TtwDataSkinListBox>()},
      {"combobox", Make<TtwDataSkinComboBox>()},
      {"scrollbar", Make<TtwDataSkinScrollBarControl>()},
      {"spinedit", Make<TtwDataSkinSpinEditControl>()},
      {"scrollbox", Make<TtwDataSkinScrollBoxControl>()},
      {"treeview", Make<TtwDataSkinTreeView>()},
      {"bevel", Make<TtwDataSkinBevel>()},
      {"slider", Make<TtwDataSkinSlider>()},
      {"listview", Make<TtwDataSkinListView>()},
      {"richedit", Make<TtwDataSkinRichEdit>()},
  };
  return table;
}

template <class Base, class Table>
Base* Create(const Table& table, const QString& type, const QString& name) {
  for (const auto& t : table)
    if (type == QLatin1String(t.token)) return t.make(name);
  return nullptr;
}

template <class Base, class Table>
void LoadList(const TtwSkinIni& ini, const QString& section, const Table& table, QList<Base*>& into) {
  const QList<TtwSkinRecordEntry> entries = ini.ReadRecordEntries(section);
  // Every record reads about a hundred keys, present or not.
  if (entries.size() > kMaxSkinRecords)
    throw ESkinDescriptionError(QStringLiteral("The skin description lists %1 records in [%2]; no skin needs more than %3.")
                                    .arg(entries.size())
                                    .arg(section)
                                    .arg(kMaxSkinRecords));
  for (const TtwSkinRecordEntry& e : entries) {
    Base* record = Create<Base>(table, e.Type, e.Name);
    if (!record) continue;
    into.append(record);
    record->LoadFromIni(ini);
  }
}

template <class Base>
void SaveList(TtwSkinIni& ini, const QString& section, const QList<Base*>& records) {
  QList<TtwSkinRecordEntry> entries;
  for (const Base* r : records) entries.append({r->IDName, r->TypeToken()});
  ini.EraseSection(section);
  ini.WriteRecordEntries(section, entries);
  for (const Base* r : records) r->SaveToIni(ini);
}

}  // namespace

void TwVisitFont(TtwFieldVisitor& v, const TtwFontKeys& keys, QString& name, uint8_t& style, int32_t& height,
                 TColor& color, TtwFontOrder order, const std::function<void()>& beforeColor) {
  v.String(keys.name, name, QStringLiteral("Arial"));
  if (order == TtwFontOrder::HeightFirst) v.Integer(keys.height, height, 14);
  v.FontStyle(keys.style, style);
  if (order == TtwFontOrder::StyleFirst) v.Integer(keys.height, height, 14);
  if (beforeColor) beforeColor();
  v.Color(keys.color, color, 0);
}

void TtwDataSkinRecord::LoadFromIni(const TtwSkinIni& ini, const QString& section) {
  TReader reader(ini, section);
  VisitFields(reader);
  AfterLoad();
}

void TtwDataSkinRecord::SaveToIni(TtwSkinIni& ini, const QString& section) const {
  ini.EraseSection(section);
  TWriter writer(ini, section);
  // Writing only reads the fields; the visitor walk is shared with loading.
  const_cast<TtwDataSkinRecord*>(this)->VisitFields(writer);
}

TtwDataSkinObject* CreateSkinObjectRecord(const QString& type, const QString& name) {
  return Create<TtwDataSkinObject>(ObjectTable(), type, name);
}

TtwDataSkinControl* CreateSkinControlRecord(const QString& type, const QString& name) {
  return Create<TtwDataSkinControl>(ControlTable(), type, name);
}

QStringList SkinObjectTypes() {
  QStringList types;
  for (const auto& t : ObjectTable()) types << QString::fromLatin1(t.token);
  return types;
}

QStringList SkinControlTypes() {
  QStringList types;
  for (const auto& t : ControlTable()) types << QString::fromLatin1(t.token);
  return types;
}

void LoadSkinObjectRecords(const TtwSkinIni& ini, QList<TtwDataSkinObject*>& into) {
  LoadList(ini, QStringLiteral("SKINOBJECTS"), ObjectTable(), into);
}

void LoadSkinControlRecords(const TtwSkinIni& ini, QList<TtwDataSkinControl*>& into) {
  LoadList(ini, QStringLiteral("SKINCONTROLS"), ControlTable(), into);
}

void SaveSkinObjectRecords(TtwSkinIni& ini, const QList<TtwDataSkinObject*>& records) {
  SaveList(ini, QStringLiteral("SKINOBJECTS"), records);
}

void SaveSkinControlRecords(TtwSkinIni& ini, const QList<TtwDataSkinControl*>& records) {
  SaveList(ini, QStringLiteral("SKINCONTROLS"), records);
}

// ---- the two window records ----

void TtwDataSkinPopupWindow::VisitFields(TtwFieldVisitor& v) {
  v.Integer("windowpictureindex", windowpictureindex, -1);
  v.Integer("maskpictureindex", maskpictureindex, -1);
  v.Point("lefttoppoint", lefttoppoint);
  v.Point("righttoppoint", righttoppoint);
  v.Point("leftbottompoint", leftbottompoint);
  v.Point("rightbottompoint", rightbottompoint);
  v.Rect("itemsrect", itemsrect);
  v.Color("scrollmarkercolor", scrollmarkercolor, 0);
  v.Color("scrollmarkeractivecolor", scrollmarkeractivecolor, 0);
  v.Bool("topstretch", topstretch);
  v.Bool("leftstretch", leftstretch);
  v.Bool("rightstretch", rightstretch);
  v.Bool("bottomstretch", bottomstretch);
  v.Bool("stretcheffect", stretcheffect);
  v.StretchType("stretchtype", stretchtype);
}

void TtwDataSkinHintWindow::VisitFields(TtwFieldVisitor& v) {
  v.Integer("windowpictureindex", windowpictureindex, -1);
  v.Integer("maskpictureindex", maskpictureindex, -1);
  v.Point("lefttoppoint", lefttoppoint);
  v.Point("righttoppoint", righttoppoint);
  v.Point("leftbottompoint", leftbottompoint);
  v.Point("rightbottompoint", rightbottompoint);
  v.Rect("clientrect", clientrect);
  VisitFont(v);
  v.Bool("topstretch", topstretch);
  v.Bool("leftstretch", leftstretch);
  v.Bool("rightstretch", rightstretch);
  v.Bool("bottomstretch", bottomstretch);
  v.Bool("stretcheffect", stretcheffect);
  v.StretchType("stretchtype", stretchtype);
}
