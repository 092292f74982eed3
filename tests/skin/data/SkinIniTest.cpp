// The description reader: line syntax, which occurrence wins, and how each
// kind of value is parsed, defaulted and written back.
#include <gtest/gtest.h>

#include <climits>

#include "platform/Errors.h"
#include "skin/data/twSkinIni.h"

namespace {

const QString S = QStringLiteral("s");

// One section [s] holding `key=value`, or nothing for a missing key.
TtwSkinIni One(const char* key, const char* value) {
  QString text = QStringLiteral("[s]\nother=1\n");
  if (value) text += QString::fromUtf8(key) + u'=' + QString::fromUtf8(value) + u'\n';
  return TtwSkinIni::FromText(text);
}

TEST(SkinIniSyntax, LinesSectionsAndKeys) {
  const TtwSkinIni ini = TtwSkinIni::FromText(QStringLiteral(
      "orphan=1\r\n"
      "  [ Button ]  \r\n"
      "; skinrect=9,9,9,9\r\n"
      "\r\n"
      "\tSkinRect = 3, 4 ,10,20 \r"
      "fontname =  DejaVu Sans \n"
      "just text\r\n"
      "=nokey\r\n"
      "[Other]\r\n"
      "flag=1"));
  EXPECT_EQ(ini.ReadRect(QStringLiteral("button"), QStringLiteral("skinrect")), (TRect{3, 4, 10, 20}));
  EXPECT_EQ(ini.ReadString(QStringLiteral("BUTTON"), QStringLiteral("FontName")), QStringLiteral("DejaVu Sans"));
  // Values end before CR: nothing of the line break is left in them.
  EXPECT_EQ(ini.ReadInteger(QStringLiteral("other"), QStringLiteral("flag"), 0), 1);
  // A comment is no key, a line without "=" matches nothing, text before the
  // first section belongs to none.
  EXPECT_EQ(ini.Keys(QStringLiteral("button")),
            (QStringList{QStringLiteral("SkinRect"), QStringLiteral("fontname"), QString()}));
  EXPECT_FALSE(ini.ValueExists(QStringLiteral("button"), QStringLiteral("just text")));
  EXPECT_EQ(ini.ReadString(QStringLiteral("button"), QString()), QStringLiteral("nokey"));
  EXPECT_EQ(ini.Sections(), (QStringList{QStringLiteral("Button"), QStringLiteral("Other")}));
}

TEST(SkinIniSyntax, LaterOccurrenceWinsAndPresence) {
  const TtwSkinIni ini = TtwSkinIni::FromText(QStringLiteral(
      "[a]\nfontheight=12\nonlyfirst=1\nfontheight=16\n"
      "[empty]\n"
      "[textonly]\nno equals sign\n"
      "[A]\nfontheight=20\nFONTHEIGHT=18\n"));
  EXPECT_EQ(ini.ReadInteger(QStringLiteral("a"), QStringLiteral("fontheight"), 0), 18);
  // The later section replaces the earlier one as a whole.
  EXPECT_FALSE(ini.ValueExists(QStringLiteral("a"), QStringLiteral("onlyfirst")));
  EXPECT_TRUE(ini.SectionExists(QStringLiteral("a")));
  EXPECT_FALSE(ini.SectionExists(QStringLiteral("empty")));
  EXPECT_TRUE(ini.SectionExists(QStringLiteral("textonly")));
  EXPECT_FALSE(ini.SectionExists(QStringLiteral("missing")));
}

TEST(SkinIniValues, Integers) {
  struct Case {
    const char* value;  // nullptr: key missing
    int32_t expected;
  };
  const Case cases[] = {
      {"12", 12},          {"-7", -7},          {"+5", 5},          {"0x1F", 31},
      {"0X1f", 31},        {"$ff", 255},        {"-$10", -16},      {"0xFFFFFFFF", -1},
      {"2147483647", INT_MAX}, {"-2147483648", INT_MIN},
      // malformed, out of range, empty and missing all give the default
      {"2147483648", 99},  {"0x", 99},          {"0x100000000", 99}, {"12abc", 99},
      {"1 2", 99},         {"$", 99},           {"-", 99},          {"", 99},
      {nullptr, 99},
  };
  for (const Case& c : cases)
    EXPECT_EQ(One("k", c.value).ReadInteger(S, QStringLiteral("k"), 99), c.expected) << (c.value ? c.value : "(missing)");
}

TEST(SkinIniValues, BooleansAndColours) {
  struct Bool {
    const char* value;
    bool expected;
  };
  for (const Bool& c : {Bool{"1", true}, Bool{"01", true}, Bool{"0x1", true}, Bool{"true", false}, Bool{"2", false},
                        Bool{"-1", false}, Bool{"", false}, Bool{nullptr, false}})
    EXPECT_EQ(One("k", c.value).ReadBool(S, QStringLiteral("k")), c.expected) << (c.value ? c.value : "(missing)");

  struct Colour {
    const char* value;
    TColor expected;
  };
  for (const Colour& c : {Colour{"0x0000FF", 255}, Colour{"16641763", 16641763u}, Colour{"clRed", 7},
                          Colour{"-16777201", 0xFF00000F}, Colour{"0xFF00000F", 0xFF00000F}, Colour{nullptr, 7}})
    EXPECT_EQ(One("k", c.value).ReadColor(S, QStringLiteral("k"), 7), c.expected) << (c.value ? c.value : "(missing)");
}

TEST(SkinIniValues, RectanglesAndPoints) {
  struct Case {
    const char* value;
    TRect expected;
  };
  const Case cases[] = {
      {"3, 4 ,10,20", {3, 4, 10, 20}},
      {"-5,2,10,20", {5, 2, 10, 20}},  // the sign is dropped with the other non-digits
      {"1a,b2,3 3,x4", {1, 2, 33, 4}},
      {"1,2,3,4,5", {1, 2, 3, 4}},  // surplus fields are ignored
      {"2147483647,0,0,0", {INT_MAX, 0, 0, 0}},
      {nullptr, {0, 0, 0, 0}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(One("r", c.value).ReadRect(S, QStringLiteral("r")), c.expected) << (c.value ? c.value : "(missing)");
  EXPECT_EQ(One("p", " 7 , -8 ").ReadPoint(S, QStringLiteral("p")), (TPoint{7, 8}));
  EXPECT_EQ(One("p", nullptr).ReadPoint(S, QStringLiteral("p")), (TPoint{0, 0}));
}

TEST(SkinIniValues, RectangleOrPointWithoutDigitsFails) {
  for (const char* bad : {"", "1,,3,4", "1,2,3", "a,b,c,d", "99999999999,0,0,0"}) {
    try {
      One("skinrect", bad).ReadRect(S, QStringLiteral("skinrect"));
      ADD_FAILURE() << "no error for rectangle \"" << bad << '"';
    } catch (const EConvertError& e) {
      // The message names what was written, so a skin author can find it.
      EXPECT_TRUE(e.Message().contains(u'"' + QString::fromUtf8(bad) + u'"')) << e.what();
      EXPECT_TRUE(e.Message().contains(QStringLiteral("skinrect"))) << e.what();
    }
  }
  for (const char* bad : {"", "5", ",5", "x,y"})
    EXPECT_THROW(One("p", bad).ReadPoint(S, QStringLiteral("p")), EConvertError) << bad;
}

TEST(SkinIniValues, EnumerationsAndFontStyles) {
  using Reader = uint8_t (TtwSkinIni::*)(const QString&, const QString&) const;
  struct Case {
    Reader read;
    const char* value;  // nullptr: key missing
    uint8_t expected;
  };
  const Case cases[] = {
      {&TtwSkinIni::ReadStretchType, nullptr, twtok::stfull},
      {&TtwSkinIni::ReadStretchType, "", twtok::sthorz},
      {&TtwSkinIni::ReadStretchType, "stfull", twtok::stfull},
      {&TtwSkinIni::ReadStretchType, "Stfull", twtok::sthorz},
      {&TtwSkinIni::ReadStretchType, "stvert", twtok::stvert},
      {&TtwSkinIni::ReadStretchType, "anything", twtok::sthorz},
      {&TtwSkinIni::ReadCommand, nullptr, twtok::cmdefault},
      {&TtwSkinIni::ReadCommand, "", twtok::cmminimizetotray},
      {&TtwSkinIni::ReadCommand, "cmclose", twtok::cmclose},
      {&TtwSkinIni::ReadCommand, "cmrollup", twtok::cmrollup},
      {&TtwSkinIni::ReadAlignment, nullptr, twtok::tacenter},
      {&TtwSkinIni::ReadAlignment, "taleftjustify", twtok::taleftjustify},
      {&TtwSkinIni::ReadAlignment, "tacenter", twtok::tacenter},
      {&TtwSkinIni::ReadAlignment, "middle", twtok::tarightjustify},
      {&TtwSkinIni::ReadAlignment, "", twtok::tarightjustify},
      {&TtwSkinIni::ReadMorphKind, nullptr, twtok::mkdefault},
      {&TtwSkinIni::ReadMorphKind, "mkpush", twtok::mkpush},
      {&TtwSkinIni::ReadMorphKind, "mkPush", twtok::mkdefault},
      {&TtwSkinIni::ReadInactiveEffect, nullptr, twtok::iebrightness},
      {&TtwSkinIni::ReadInactiveEffect, "ieinvert", twtok::ieinvert},
      {&TtwSkinIni::ReadInactiveEffect, "", twtok::iegrayscale},
      {&TtwSkinIni::ReadFontStyle, nullptr, 0},
      {&TtwSkinIni::ReadFontStyle, "fsbold,fsitalic", twtok::fsbold | twtok::fsitalic},
      {&TtwSkinIni::ReadFontStyle, "fsBold", 0},
      {&TtwSkinIni::ReadFontStyle, "[fsunderline fsstrikeout]", twtok::fsunderline | twtok::fsstrikeout},
  };
  for (const Case& c : cases) {
    const TtwSkinIni ini = One("k", c.value);
    EXPECT_EQ((ini.*c.read)(S, QStringLiteral("k")), c.expected) << (c.value ? c.value : "(missing)");
  }
}

TEST(SkinIniWriter, EveryValueReadsBack) {
  TtwSkinIni ini;
  ini.WriteString(S, QStringLiteral("name"), QStringLiteral("two\nlines"));
  ini.WriteInteger(S, QStringLiteral("int"), INT_MIN);
  ini.WriteColor(S, QStringLiteral("colour"), 0xFF00000F);
  ini.WriteBool(S, QStringLiteral("flag"), true);
  ini.WriteRect(S, QStringLiteral("rect"), TRect{1, 2, 300, 400});
  ini.WritePoint(S, QStringLiteral("point"), TPoint{5, 6});
  for (uint8_t v = 0; v < 16; ++v) ini.WriteFontStyle(S, QStringLiteral("fs%1").arg(v), v);
  for (uint8_t v = 0; v <= 2; ++v) ini.WriteStretchType(S, QStringLiteral("st%1").arg(v), v);
  for (uint8_t v = 0; v <= 6; ++v) ini.WriteMorphKind(S, QStringLiteral("mk%1").arg(v), v);
  for (uint8_t v = 0; v <= 2; ++v) ini.WriteAlignment(S, QStringLiteral("ta%1").arg(v), v);
  for (uint8_t v = 0; v <= 5; ++v) ini.WriteInactiveEffect(S, QStringLiteral("ie%1").arg(v), v);
  for (uint8_t v = 0; v <= 6; ++v) ini.WriteCommand(S, QStringLiteral("cm%1").arg(v), v);
  ini.WriteInteger(S, QStringLiteral("INT"), 42);  // same key: replaced, not added

  const QString text = ini.ToText();
  EXPECT_TRUE(text.endsWith(QStringLiteral("\r\n")));
  EXPECT_TRUE(text.contains(QStringLiteral("fs3=fsbold,fsitalic\r\n")));
  EXPECT_TRUE(text.contains(QStringLiteral("st1=sthorz\r\n")));
  EXPECT_TRUE(text.contains(QStringLiteral("cm6=cmminimizetotray\r\n")));

  const TtwSkinIni back = TtwSkinIni::FromText(text);
  EXPECT_EQ(back.ReadString(S, QStringLiteral("name")), QStringLiteral("two lines"));
  EXPECT_EQ(back.ReadInteger(S, QStringLiteral("int"), 0), 42);
  EXPECT_EQ(back.Keys(S).count(QStringLiteral("int")), 1);
  EXPECT_EQ(back.ReadColor(S, QStringLiteral("colour"), 0), 0xFF00000Fu);
  EXPECT_TRUE(back.ReadBool(S, QStringLiteral("flag")));
  EXPECT_EQ(back.ReadRect(S, QStringLiteral("rect")), (TRect{1, 2, 300, 400}));
  EXPECT_EQ(back.ReadPoint(S, QStringLiteral("point")), (TPoint{5, 6}));
  for (uint8_t v = 0; v < 16; ++v) EXPECT_EQ(back.ReadFontStyle(S, QStringLiteral("fs%1").arg(v)), v);
  for (uint8_t v = 0; v <= 2; ++v) EXPECT_EQ(back.ReadStretchType(S, QStringLiteral("st%1").arg(v)), v);
  for (uint8_t v = 0; v <= 6; ++v) EXPECT_EQ(back.ReadMorphKind(S, QStringLiteral("mk%1").arg(v)), v);
  for (uint8_t v = 0; v <= 2; ++v) EXPECT_EQ(back.ReadAlignment(S, QStringLiteral("ta%1").arg(v)), v);
  for (uint8_t v = 0; v <= 5; ++v) EXPECT_EQ(back.ReadInactiveEffect(S, QStringLiteral("ie%1").arg(v)), v);
  for (uint8_t v = 0; v <= 6; ++v) EXPECT_EQ(back.ReadCommand(S, QStringLiteral("cm%1").arg(v)), v);
  EXPECT_EQ(back.ToText(), text);
}

TEST(SkinIniLists, ListsAndRecordEntries) {
  const TtwSkinIni ini = TtwSkinIni::FromText(QStringLiteral(
      "[PICTURES]\nactivepicturescount=4\n0=a.bmp\n2=c.bmp\n1=b.bmp\n"
      "[damaged]\nactivepicturescount=2147483647\n0=a.bmp\n1999999999=far.bmp\n"
      "[SKINCONTROLS]\ncount=6\n0=button:button\n1=nocolon\n00=zero:panel\n3=tab:tab:extra\n"
      "5=edit:edit\n6=beyond:edit\n"));
  // A missing entry inside the list stays as an empty name; missing ones at
  // the end are left out.
  EXPECT_EQ(ini.ReadList(QStringLiteral("PICTURES"), QStringLiteral("activepictures")),
            (QStringList{QStringLiteral("a.bmp"), QStringLiteral("b.bmp"), QStringLiteral("c.bmp")}));
  // A huge count does not turn one far key into a huge list.
  EXPECT_EQ(ini.ReadList(QStringLiteral("damaged"), QStringLiteral("activepictures")),
            (QStringList{QStringLiteral("a.bmp")}));
  EXPECT_EQ(ini.ReadRecordEntries(QStringLiteral("SKINCONTROLS")),
            (QList<TtwSkinRecordEntry>{{QStringLiteral("button"), QStringLiteral("button")},
                                       {QStringLiteral("tab"), QStringLiteral("tab:extra")},
                                       {QStringLiteral("edit"), QStringLiteral("edit")}}));
  EXPECT_TRUE(ini.ReadRecordEntries(QStringLiteral("missing")).isEmpty());
}

}  // namespace
