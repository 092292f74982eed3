#pragma once
// The skin description: an INI-style text of sections and keys. TtwSkinIni
// parses it once, answers typed reads with the defaults and quirks skins
// rely on, and writes values back in the same syntax.
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <utility>

#include "platform/Errors.h"
#include "skin/data/twTypes.h"

// Numeric values of the description's tokens, as records keep them.
namespace twtok {
// font style flags
inline constexpr uint8_t fsbold = 1;
inline constexpr uint8_t fsitalic = 2;
inline constexpr uint8_t fsunderline = 4;
inline constexpr uint8_t fsstrikeout = 8;
// stretch type
inline constexpr uint8_t stfull = 0;
inline constexpr uint8_t sthorz = 1;
inline constexpr uint8_t stvert = 2;
// morph kind
inline constexpr uint8_t mkdefault = 0;
inline constexpr uint8_t mkgradient = 1;
inline constexpr uint8_t mkleftgradient = 2;
inline constexpr uint8_t mkrightgradient = 3;
inline constexpr uint8_t mkleftslide = 4;
inline constexpr uint8_t mkrightslide = 5;
inline constexpr uint8_t mkpush = 6;
// alignment
inline constexpr uint8_t taleftjustify = 0;
inline constexpr uint8_t tarightjustify = 1;
inline constexpr uint8_t tacenter = 2;
// inactive effect
inline constexpr uint8_t iebrightness = 0;
inline constexpr uint8_t iedarkness = 1;
inline constexpr uint8_t iegrayscale = 2;
inline constexpr uint8_t ienoise = 3;
inline constexpr uint8_t iesplitblur = 4;
inline constexpr uint8_t ieinvert = 5;
// caption button command
inline constexpr uint8_t cmclose = 0;
inline constexpr uint8_t cmmaximize = 1;
inline constexpr uint8_t cmminimize = 2;
inline constexpr uint8_t cmsysmenu = 3;
inline constexpr uint8_t cmdefault = 4;
inline constexpr uint8_t cmrollup = 5;
inline constexpr uint8_t cmminimizetotray = 6;
}  // namespace twtok

// A description too large to be a skin: more sections or lines than any real
// skin holds. The text says which limit it passed.
class ESkinDescriptionError : public EError {
 public:
  using EError::EError;
};

// Limits far above any real skin (the built-in one has under 100 sections and
// 3,000 lines); they keep a hostile description from costing gigabytes.
inline constexpr qsizetype kMaxDescriptionSections = 10000;
inline constexpr qsizetype kMaxDescriptionLines = 100000;

// One entry of [SKINOBJECTS] or [SKINCONTROLS]: "name:type".
struct TtwSkinRecordEntry {
  QString Name;
  QString Type;
  friend bool operator==(const TtwSkinRecordEntry&, const TtwSkinRecordEntry&) = default;
};

// Hands the literal key names that records read as the QString lookups
// take, filling one buffer again and again: a record of dozens of keys then
// costs no allocation per key.
class TtwKeyName {
 public:
  TtwKeyName() { buf_.reserve(32); }
  const QString& operator()(const char* key) {
    buf_ = QLatin1String(key);
    return buf_;
  }

 private:
  QString buf_;
};

class TtwSkinIni {
 public:
  TtwSkinIni() = default;

  // Parses a description in time linear in its length. Damaged lines are kept
  // or ignored; only a text past the section or line limit raises
  // ESkinDescriptionError.
  static TtwSkinIni FromText(const QString& text);
  // The description text, every line ending in CR LF.
  QString ToText() const;

  // ---- sections and keys (names match regardless of ASCII letter case) ----
  // Present when the section holds at least one line.
  bool SectionExists(const QString& section) const;
  bool ValueExists(const QString& section, const QString& key) const;
  // Section names in text order, as written.
  QStringList Sections() const;
  // Keys of a section in text order, as written (a repeated key once).
  QStringList Keys(const QString& section) const;
  void EraseSection(const QString& section);

  // ---- reads: a missing key gives `def`; see each kind for present values ----
  QString ReadString(const QString& section, const QString& key, const QString& def = QString()) const;
  // Decimal with optional sign, or hexadecimal behind "$" or "0x"; an empty,
  // malformed or out-of-range value gives `def`.
  int32_t ReadInteger(const QString& section, const QString& key, int32_t def) const;
  TColor ReadColor(const QString& section, const QString& key, TColor def) const;
  // Only the integer 1 is true.
  bool ReadBool(const QString& section, const QString& key) const;
  // Non-digits of each field are dropped; a field without digits, or one
  // too large, throws EConvertError naming the value. Missing: 0,0,0,0.
  TRect ReadRect(const QString& section, const QString& key) const;
  TPoint ReadPoint(const QString& section, const QString& key) const;
  // twtok::fs* flags found as substrings (letter case counts).
  uint8_t ReadFontStyle(const QString& section, const QString& key) const;
  uint8_t ReadStretchType(const QString& section, const QString& key) const;
  uint8_t ReadMorphKind(const QString& section, const QString& key) const;
  uint8_t ReadAlignment(const QString& section, const QString& key) const;
  uint8_t ReadInactiveEffect(const QString& section, const QString& key) const;
  uint8_t ReadCommand(const QString& section, const QString& key) const;
  // prefix + "count" entries under keys "0", "1", ...; trailing entries
  // that are missing are left out, so a damaged count cannot blow up.
  QStringList ReadList(const QString& section, const QString& prefix) const;
  // The "count" entries of a record list section, in key order; entries
  // without ":" are left out. Name and type are not trimmed.
  QList<TtwSkinRecordEntry> ReadRecordEntries(const QString& section) const;

  // ---- writes: replace the key's value, or append the key ----
  void WriteString(const QString& section, const QString& key, const QString& value);
  void WriteInteger(const QString& section, const QString& key, int32_t value);
  // Written in decimal; system colours come out negative and read back.
  void WriteColor(const QString& section, const QString& key, TColor value);
  void WriteBool(const QString& section, const QString& key, bool value);
  void WriteRect(const QString& section, const QString& key, const TRect& value);
  void WritePoint(const QString& section, const QString& key, const TPoint& value);
  void WriteFontStyle(const QString& section, const QString& key, uint8_t value);
  void WriteStretchType(const QString& section, const QString& key, uint8_t value);
  void WriteMorphKind(const QString& section, const QString& key, uint8_t value);
  void WriteAlignment(const QString& section, const QString& key, uint8_t value);
  void WriteInactiveEffect(const QString& section, const QString& key, uint8_t value);
  void WriteCommand(const QString& section, const QString& key, uint8_t value);
  void WriteList(const QString& section, const QString& prefix, const QStringList& values);
  void WriteRecordEntries(const QString& section, const QList<TtwSkinRecordEntry>& entries);

  // ---- value syntax, shared with code that reads single values ----
  static bool ParseInteger(const QString& text, int32_t& out);
  static QString FontStyleText(uint8_t style);
  static uint8_t ParseFontStyle(const QString& text);
  static uint8_t ParseStretchType(const QString& text);
  static uint8_t ParseMorphKind(const QString& text);
  static uint8_t ParseAlignment(const QString& text);
  static uint8_t ParseInactiveEffect(const QString& text);
  static uint8_t ParseCommand(const QString& text);
  static QString StretchTypeToken(uint8_t value);
  static QString MorphKindToken(uint8_t value);
  static QString AlignmentToken(uint8_t value);
  static QString InactiveEffectToken(uint8_t value);
  static QString CommandToken(uint8_t value);

 private:
  struct Line {
    QString Key;  // empty and IsKey false for a line without "="
    QString Value;
    bool IsKey = false;
  };
  struct Section {
    QString Name;
    QList<Line> Lines;
    QHash<QString, qsizetype> KeyIndex;  // folded key -> last line with it
    bool Erased = false;  // left in place so that erasing never renumbers
  };

  const Section* FindSection(const QString& section) const;
  Section& SectionForWrite(const QString& section);
  // nullptr when the key is missing
  const QString* FindValue(const QString& section, const QString& key) const;
  // Fields of a rectangle or point value; throws EConvertError.
  void ReadFields(const QString& section, const QString& key, int32_t* out, int count) const;
  // Values of keys "0" .. count-1 that are present, by ascending index.
  QList<std::pair<int32_t, QString>> IndexedValues(const QString& section, int32_t count) const;

  QList<Section> sections_;
  QHash<QString, qsizetype> sectionIndex_;  // folded name -> position
  mutable QString cachedName_;             // the section found last, as asked for
  mutable qsizetype cachedIndex_ = -1;
};
