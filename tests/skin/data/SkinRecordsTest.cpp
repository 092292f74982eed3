// Skin records: the type tables, the record lists of a description, the
// defaults and rules of the record classes, writing back, and the fixed
// sections.
#include <gtest/gtest.h>

#include <QFile>
#include <QMap>
#include <functional>
#include <memory>

#include "platform/Errors.h"
#include "skin/data/twSkinDescription.h"
#include "skin/data/twSkinIni.h"
#include "skin/data/twSkinRecords.h"
#include "skin/data/twSkinSections.h"

namespace {

// Every field of a record as key -> text, in the syntax the writer uses.
class Dump final : public TtwFieldVisitor {
 public:
  QMap<QString, QString> fields;
  QStringList order;
  void String(const char* k, QString& f, const QString&) override { Put(k, f); }
  void Integer(const char* k, int32_t& f, int32_t) override { Put(k, QString::number(f)); }
  void Color(const char* k, TColor& f, TColor) override { Put(k, QString::number(f)); }
  void Bool(const char* k, bool& f) override { Put(k, f ? QStringLiteral("1") : QStringLiteral("0")); }
  void Rect(const char* k, TRect& f) override {
    Put(k, QStringLiteral("%1,%2,%3,%4").arg(f.Left).arg(f.Top).arg(f.Right).arg(f.Bottom));
  }
  void Point(const char* k, TPoint& f) override { Put(k, QStringLiteral("%1,%2").arg(f.X).arg(f.Y)); }
  void FontStyle(const char* k, uint8_t& f) override { Put(k, QString::number(f)); }
  void StretchType(const char* k, uint8_t& f) override { Put(k, QString::number(f)); }
  void MorphKind(const char* k, uint8_t& f) override { Put(k, QString::number(f)); }
  void Alignment(const char* k, uint8_t& f) override { Put(k, QString::number(f)); }
  void Command(const char* k, uint8_t& f) override { Put(k, QString::number(f)); }

 private:
  void Put(const char* k, const QString& v) {
    const QString key = QString::fromLatin1(k);
    EXPECT_FALSE(fields.contains(key)) << "field listed twice: " << k;
    fields.insert(key, v);
    order << key;
  }
};

QMap<QString, QString> FieldsOf(TtwDataSkinRecord& r) {
  Dump d;
  r.VisitFields(d);
  return d.fields;
}

// Sets every field to a value of its kind that differs from its default and
// from its neighbours, so a field written under the wrong kind or dropped
// shows up after a round trip.
class Fill final : public TtwFieldVisitor {
 public:
  void String(const char*, QString& f, const QString&) override { f = QStringLiteral("name%1").arg(Next()); }
  void Integer(const char*, int32_t& f, int32_t) override { f = int32_t(Next()) * (Next() % 2 ? -1 : 1); }
  void Color(const char*, TColor& f, TColor) override { f = 0xFF000000u + Next(); }
  void Bool(const char*, bool& f) override { f = true; }
  void Rect(const char*, TRect& f) override {
    const int32_t n = int32_t(Next());
    f = TRect{n, n + 1, n + 20, n + 30};
  }
  void Point(const char*, TPoint& f) override { f = TPoint{int32_t(Next()), int32_t(Next())}; }
  void FontStyle(const char*, uint8_t& f) override { f = uint8_t(1 + Next() % 15); }
  void StretchType(const char*, uint8_t& f) override { f = uint8_t(1 + Next() % 2); }
  void MorphKind(const char*, uint8_t& f) override { f = uint8_t(1 + Next() % 6); }
  void Alignment(const char*, uint8_t& f) override { f = uint8_t(Next() % 2); }
  void Command(const char*, uint8_t& f) override { f = uint8_t(Next() % 7 == 4 ? 6 : Next() % 7); }

 private:
  uint32_t Next() { return ++n_; }
  uint32_t n_ = 100;
};

QString FixturePath() {
  return qEnvironmentVariable("TW_SOURCE_DIR") + QStringLiteral("/tests/skin/data/description_fixture.ini");
}

TtwSkinIni Fixture() {
  QFile f(FixturePath());
  EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << FixturePath().toStdString();
  return TtwSkinIni::FromText(QString::fromUtf8(f.readAll()));
}

template <class T>
struct Owned {
  QList<T*> list;
  ~Owned() { qDeleteAll(list); }
  int IndexOf(const QString& name) const {
    for (int i = 0; i < list.size(); ++i)
      if (list[i]->IDName == name) return i;
    return -1;
  }
};

TEST(SkinRecordLists, PositionsFollowTheListAndSkipBadEntries) {
  const TtwSkinIni ini = Fixture();
  Owned<TtwDataSkinControl> controls;
  Owned<TtwDataSkinObject> objects;
  LoadSkinControlRecords(ini, controls.list);
  LoadSkinObjectRecords(ini, objects.list);
  // Two entries, one without ":" and one of type "Panel", made no record.
  ASSERT_EQ(controls.list.size(), 64);
  ASSERT_EQ(objects.list.size(), 13);
  EXPECT_EQ(controls.IndexOf(QStringLiteral("combobox")), 18);
  EXPECT_EQ(controls.IndexOf(QStringLiteral("buttonedit")), 25);
  EXPECT_EQ(controls.IndexOf(QStringLiteral("Button")), -1);
  EXPECT_EQ(controls.IndexOf(QStringLiteral("slider")), 63);

  // "button" means a different class in each list.
  EXPECT_NE(dynamic_cast<TtwDataSkinButtonControl*>(controls.list[0]), nullptr);
  std::unique_ptr<TtwDataSkinObject> objectButton(CreateSkinObjectRecord(QStringLiteral("button"), QStringLiteral("b")));
  EXPECT_NE(dynamic_cast<TtwDataSkinButton*>(objectButton.get()), nullptr);
  EXPECT_EQ(CreateSkinControlRecord(QStringLiteral("Button"), QStringLiteral("b")), nullptr);
  EXPECT_EQ(CreateSkinControlRecord(QStringLiteral("stdbutton"), QStringLiteral("b")), nullptr);

  // Records read their own section, matched regardless of case.
  auto* button = static_cast<TtwDataSkinButtonControl*>(controls.list[0]);
  EXPECT_EQ(button->skinrect, (TRect{0, 0, 75, 25}));
  EXPECT_EQ(button->fontheight, 16);
  EXPECT_EQ(button->animateinterval, 40);
  auto* combo = static_cast<TtwDataSkinComboBox*>(controls.list[18]);
  EXPECT_EQ(combo->listboxname, QStringLiteral("listbox"));
  EXPECT_EQ(combo->fontheight, 14);
  EXPECT_EQ(combo->itemleftoffset, 5);
  EXPECT_EQ(combo->itemrightoffset, 5);
  EXPECT_EQ(combo->fontstyle, twtok::fsbold | twtok::fsitalic);
  EXPECT_TRUE(combo->activeskinrect.IsEmpty());
  EXPECT_EQ(static_cast<TtwDataSkinComboBox*>(controls.list[19])->listboxname, QStringLiteral("captionlistbox"));
}

TEST(SkinRecordLists, RectangleWithoutDigitsEndsTheLoad) {
  const TtwSkinIni ini = TtwSkinIni::FromText(QStringLiteral(
      "[SKINCONTROLS]\r\ncount=3\r\n0=panel:panel\r\n1=edit:edit\r\n2=label:label\r\n"
      "[edit]\r\nskinrect=0,0,40,20\r\nbuttonrect=a,b,c,d\r\n"));
  Owned<TtwDataSkinControl> controls;
  EXPECT_THROW(LoadSkinControlRecords(ini, controls.list), EConvertError);
  // The failing record was already listed; the ones after it never came.
  ASSERT_EQ(controls.list.size(), 2);
  EXPECT_EQ(controls.list[1]->IDName, QStringLiteral("edit"));
}

TEST(SkinRecordClasses, DefaultsOfAMissingSection) {
  struct Case {
    bool object;
    const char* type;
    const char* key;
    const char* expected;
  };
  const Case cases[] = {
      {false, "button", "animateinterval", "25"},
      {false, "button", "glowlayeralphablendvalue", "255"},
      {false, "button", "pictureindex", "-1"},
      {false, "button", "fontname", "Arial"},
      {false, "gauge", "animationtimerinterval", "0"},
      {false, "stdlabel", "activefontcolor", "16711680"},
      {false, "panel", "alignment", "2"},
      {false, "controlbar", "itemoffset1", "3"},
      {false, "listbox", "hscrollbarname", "hscrollbar"},
      {false, "listbox", "bothhscrollbarname", "bothhscrollbar"},
      {false, "tab", "updown", ""},
      {true, "caption", "glowsize", "3"},
      {true, "caption", "animateinterval", "25"},
      {true, "animate", "countframes", "1"},
      {true, "animate", "timerinterval", "50"},
      {true, "stdbutton", "command", "4"},
      {true, "menuitem", "activepictureindex", "-1"},
      {true, "mainmenubaritem", "unenabledfontColor", "0"},
  };
  const TtwSkinIni empty;
  for (const Case& c : cases) {
    const QString type = QString::fromLatin1(c.type);
    std::unique_ptr<TtwDataSkinRecord> r(c.object ? static_cast<TtwDataSkinRecord*>(CreateSkinObjectRecord(type, QStringLiteral("x")))
                                                  : CreateSkinControlRecord(type, QStringLiteral("x")));
    ASSERT_TRUE(r) << c.type;
    r->LoadFromIni(empty);
    const auto fields = FieldsOf(*r);
    ASSERT_TRUE(fields.contains(QString::fromLatin1(c.key))) << c.type << " has no " << c.key;
    EXPECT_EQ(fields.value(QString::fromLatin1(c.key)), QString::fromLatin1(c.expected)) << c.type << '.' << c.key;
  }

  // The hint window is made with a 12 px font but a load without the key gives 14.
  TtwDataSkinHintWindow hint;
  EXPECT_EQ(hint.fontheight, 12);
  hint.LoadFromIni(empty);
  EXPECT_EQ(hint.fontheight, 14);
  EXPECT_EQ(hint.windowpictureindex, -1);
}

TEST(SkinRecordClasses, RulesAfterReading) {
  const TtwSkinIni ini = TtwSkinIni::FromText(QStringLiteral(
      "[ud]\nlefttoppoint=5,5\nclientrect=1,1,9,9\nupbuttonrect=0,0,16,10\n"
      "[mi]\ncheckimagerect=1,2,13,14\nradioimagerect=1,1,5,5\nactiveradioimagerect=6,6,9,9\n"
      "[uo]\nskinrect=1,2,3,4\nhint=Hello\nactivepictureindex=3\n"
      "[an]\nmorphing=1\nhint=Minimize\ncommand=cmminimize\n"));
  TtwDataSkinUpDownControl ud(QStringLiteral("ud"));
  ud.LoadFromIni(ini);
  EXPECT_EQ(ud.lefttoppoint, (TPoint{0, 0}));
  EXPECT_TRUE(ud.clientrect == TRect{});
  EXPECT_EQ(ud.upbuttonrect, (TRect{0, 0, 16, 10}));

  TtwDataSkinMenuItem mi(QStringLiteral("mi"));
  mi.LoadFromIni(ini);
  EXPECT_EQ(mi.activecheckimagerect, (TRect{1, 2, 13, 14}));
  EXPECT_EQ(mi.activeradioimagerect, (TRect{6, 6, 9, 9}));
  EXPECT_TRUE(mi.activearrowimagerect.IsEmpty());

  TtwDataUserObject uo(QStringLiteral("uo"));
  uo.LoadFromIni(ini);
  EXPECT_EQ(uo.skinrect, (TRect{1, 2, 3, 4}));
  EXPECT_TRUE(uo.hint.isEmpty());
  EXPECT_EQ(uo.activepictureindex, -1);

  TtwDataSkinAnimate an(QStringLiteral("an"));
  an.LoadFromIni(ini);
  EXPECT_FALSE(an.morphing);
  EXPECT_EQ(an.restorehint, QStringLiteral("Restore"));
}

TEST(SkinRecordClasses, RestoreHintFallback) {
  struct Case {
    const char* type;
    const char* hint;
    const char* command;
    const char* restorehint;  // nullptr: missing
    const char* expected;
  };
  const Case cases[] = {
      {"stdbutton", "Maximize", "cmmaximize", nullptr, "Restore"},
      {"stdbutton", "Maximize", "cmmaximize", "Back", "Back"},
      {"stdbutton", "Maximize", "cmminimize", nullptr, ""},
      {"stdbutton", "maximize", "cmmaximize", nullptr, ""},
      {"stdbutton", "Close", "cmclose", nullptr, ""},
      {"stdbutton", "Roll Up", "cmrollup", nullptr, "Restore"},
      {"mainmenubarbutton", "RollUp", "cmrollup", nullptr, "Restore"},
      {"mainmenubarbutton", "Minimize", "cmminimize", "", "Restore"},
      {"animate", "Maximize", "cmmaximize", nullptr, "Restore"},
  };
  for (const Case& c : cases) {
    QString text = QStringLiteral("[b]\nhint=%1\ncommand=%2\n").arg(QLatin1String(c.hint), QLatin1String(c.command));
    if (c.restorehint) text += QStringLiteral("restorehint=%1\n").arg(QLatin1String(c.restorehint));
    std::unique_ptr<TtwDataSkinObject> r(CreateSkinObjectRecord(QString::fromLatin1(c.type), QStringLiteral("b")));
    ASSERT_TRUE(r);
    r->LoadFromIni(TtwSkinIni::FromText(text));
    EXPECT_EQ(FieldsOf(*r).value(QStringLiteral("restorehint")), QString::fromLatin1(c.expected))
        << c.type << ' ' << c.hint << ' ' << c.command;
  }
}

TEST(SkinRecordClasses, EveryClassWritesWhatItReads) {
  using Make = std::function<TtwDataSkinRecord*()>;
  struct Case {
    QString label;
    Make make;
  };
  QList<Case> cases;
  for (const QString& t : SkinObjectTypes())
    cases.append({QStringLiteral("object ") + t, [t] { return CreateSkinObjectRecord(t, QStringLiteral("rec")); }});
  for (const QString& t : SkinControlTypes())
    cases.append({QStringLiteral("control ") + t, [t] { return CreateSkinControlRecord(t, QStringLiteral("rec")); }});
  cases.append({QStringLiteral("popup window"), [] { return new TtwDataSkinPopupWindow; }});
  cases.append({QStringLiteral("hint window"), [] { return new TtwDataSkinHintWindow; }});
  ASSERT_EQ(cases.size(), 8 + 28 + 2);

  for (const Case& c : cases) {
    SCOPED_TRACE(c.label.toStdString());
    std::unique_ptr<TtwDataSkinRecord> a(c.make()), b(c.make());
    ASSERT_TRUE(a && b);
    Fill fill;
    a->VisitFields(fill);
    TtwSkinIni ini;
    ini.WriteString(a->IDName, QStringLiteral("stale"), QStringLiteral("1"));
    a->SaveToIni(ini);
    EXPECT_FALSE(ini.ValueExists(a->IDName, QStringLiteral("stale")));  // the section is rewritten
    // Through the text, as a normalized skin would be stored.
    b->LoadFromIni(TtwSkinIni::FromText(ini.ToText()));

    auto expected = FieldsOf(*a);
    EXPECT_EQ(ini.Keys(a->IDName).size(), expected.size());
    if (dynamic_cast<TtwDataSkinUpDownControl*>(a.get())) {
      for (const char* k : {"lefttoppoint", "righttoppoint", "leftbottompoint", "rightbottompoint"})
        expected[QString::fromLatin1(k)] = QStringLiteral("0,0");
      expected[QStringLiteral("clientrect")] = QStringLiteral("0,0,0,0");
    }
    if (dynamic_cast<TtwDataSkinAnimate*>(a.get())) expected[QStringLiteral("morphing")] = QStringLiteral("0");
    EXPECT_EQ(FieldsOf(*b), expected);
  }
}

TEST(SkinRecordClasses, InheritedFieldsComeFirst) {
  TtwDataSkinMenuButtonControl r(QStringLiteral("m"));
  Dump d;
  r.VisitFields(d);
  ASSERT_GE(d.order.size(), 4);
  EXPECT_EQ(d.order.mid(0, 3),
            (QStringList{QStringLiteral("pictureindex"), QStringLiteral("maskpictureindex"), QStringLiteral("skinrect")}));
  EXPECT_EQ(d.order.at(3), QStringLiteral("lefttoppoint"));
  EXPECT_EQ(d.order.back(), QStringLiteral("trackbuttonrect"));
}

TEST(SkinFixedSections, FormInfoAdjustments) {
  struct Case {
    const char* label;
    const char* mask;
    const char* keys;
    TRect maskrectarea;
    TPoint lefttop, rightbottom, hitlefttop;
  };
  const Case cases[] = {
      {"built-in frame: mask area already holds the client area", "mask.bmp",
       "maskrectarea=4,3,282,206\nclientrect=4,27,281,206\nlefttoppoint=10,30\nrightbottompoint=270,200\n",
       {4, 3, 282, 206}, {10, 30}, {270, 200}, {10, 30}},
      {"mask area widened", "m", "maskrectarea=10,10,20,20\nclientrect=4,27,281,206\n", {4, 10, 281, 206}, {0, 0}, {0, 0}, {0, 0}},
      {"empty mask area takes the client area", "m", "clientrect=4,27,281,206\nhittestlefttoppoint=7,0\nlefttoppoint=3,3\nrightbottompoint=300,300\n",
       {4, 27, 281, 206}, {4, 27}, {281, 206}, {3, 3}},
      {"no mask: nothing widened or filled", "", "clientrect=4,27,281,206\nlefttoppoint=3,3\nrightbottompoint=300,300\n",
       {0, 0, 0, 0}, {4, 27}, {281, 206}, {0, 0}},
      {"corner points equal on one axis are not clamped", "", "clientrect=4,27,281,206\nlefttoppoint=3,3\nrightbottompoint=300,3\n",
       {0, 0, 0, 0}, {3, 3}, {300, 3}, {0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    TtwSkinFormInfo f;
    f.LoadFromIni(TtwSkinIni::FromText(QStringLiteral("[FORMINFO]\n") + QString::fromLatin1(c.keys)), QString::fromLatin1(c.mask));
    EXPECT_EQ(f.maskrectarea, c.maskrectarea);
    EXPECT_EQ(f.lefttoppoint, c.lefttop);
    EXPECT_EQ(f.rightbottompoint, c.rightbottom);
    EXPECT_EQ(f.hittestlefttoppoint, c.hitlefttop);
  }
}

TEST(SkinFixedSections, WholeDescriptionWritesBackUnchanged) {
  TtwSkinDescription first;
  first.LoadFromIni(Fixture());
  EXPECT_EQ(first.version.skinname, QStringLiteral("Fixture"));
  EXPECT_EQ(first.pictures.activepictures, (QStringList{QStringLiteral("a.bmp"), QStringLiteral("b.bmp")}));
  EXPECT_EQ(first.form.stretchtype, twtok::stvert);
  EXPECT_EQ(first.form.bgpictureindex, -1);
  EXPECT_EQ(first.popup.itemsrect, (TRect{3, 3, 100, 80}));
  EXPECT_EQ(first.hint.fontname, QStringLiteral("DejaVu Sans"));
  const QString text = first.ToText();

  TtwSkinDescription second;
  second.LoadFromText(text);
  EXPECT_EQ(second.controls.size(), 64);
  EXPECT_EQ(second.controls[18]->IDName, QStringLiteral("combobox"));
  EXPECT_EQ(second.ToText(), text);
}

TEST(SkinFixedSections, BuiltInDescription) {
  QFile f(qEnvironmentVariable("TW_SOURCE_DIR") + QStringLiteral("/skins/default/skin.ini"));
  if (!f.open(QIODevice::ReadOnly)) GTEST_SKIP() << "no built-in skin description";
  const TtwSkinIni ini = TtwSkinIni::FromText(QString::fromUtf8(f.readAll()));
  TtwSkinPicturesInfo pictures;
  pictures.LoadFromIni(ini);
  TtwSkinFormInfo form;
  form.LoadFromIni(ini, pictures.mask);
  EXPECT_FALSE(pictures.mask.isEmpty());
  EXPECT_EQ(form.clientrect, (TRect{4, 27, 281, 206}));
  EXPECT_EQ(form.maskrectarea, (TRect{4, 3, 282, 206}));
  // The corner points lie inside the client area, so clamping moved none.
  EXPECT_EQ(form.lefttoppoint, ini.ReadPoint(QStringLiteral("FORMINFO"), QStringLiteral("lefttoppoint")));
  EXPECT_EQ(form.rightbottompoint, ini.ReadPoint(QStringLiteral("FORMINFO"), QStringLiteral("rightbottompoint")));

  Owned<TtwDataSkinControl> controls;
  Owned<TtwDataSkinObject> objects;
  LoadSkinControlRecords(ini, controls.list);
  LoadSkinObjectRecords(ini, objects.list);
  EXPECT_EQ(controls.list.size(), 64);
  EXPECT_EQ(objects.list.size(), 13);
  EXPECT_EQ(controls.IndexOf(QStringLiteral("combobox")), 18);
  EXPECT_EQ(controls.IndexOf(QStringLiteral("buttonedit")), 25);
  const int combo = controls.IndexOf(QStringLiteral("combobox"));
  ASSERT_GE(combo, 0);
  auto* c = dynamic_cast<TtwDataSkinComboBox*>(controls.list[combo]);
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->listboxname, QStringLiteral("listbox"));
  EXPECT_EQ(c->fontheight, 14);
  EXPECT_EQ(c->itemleftoffset, 5);
  EXPECT_EQ(c->itemrightoffset, 5);
  EXPECT_TRUE(c->activeskinrect.IsEmpty());
}

}  // namespace
