// The description reader and writer: one linear pass builds the sections
// and key indexes; typed reads keep the defaults and quirks skins rely on.
#include "skin/data/twSkinIni.h"

#include <QSet>
#include <algorithm>

#include "platform/Errors.h"

namespace {

// Damaged counts must not turn one line into millions of list entries.
constexpr int32_t kMaxListEntries = 65536;

// Names match regardless of ASCII letter case (the description's code page
// folds nothing else). Folding to lower case leaves the usual lower-case
// names untouched, so they need no copy.
QString Fold(const QString& s) {
  const QChar* p = s.constData();
  qsizetype i = 0;
  const qsizetype n = s.size();
  while (i < n && !(p[i] >= u'A' && p[i] <= u'Z')) ++i;
  if (i == n) return s;  // shared, no copy
  QString r = s;
  char16_t* d = reinterpret_cast<char16_t*>(r.data());
  for (; i < n; ++i)
    if (d[i] >= u'A' && d[i] <= u'Z') d[i] = char16_t(d[i] + 32);
  return r;
}

QStringView Trim(QStringView s) {
  qsizetype b = 0, e = s.size();
  while (b < e && s[b].unicode() <= 0x20) ++b;
  while (e > b && s[e - 1].unicode() <= 0x20) --e;
  return s.mid(b, e - b);
}

// A key may not carry a line break or "="; values may not carry line breaks.
QString OneLine(const QString& s) {
  if (!s.contains(u'\r') && !s.contains(u'\n')) return s;
  QString r = s;
  r.replace(u'\r', u' ').replace(u'\n', u' ');
  return r;
}

bool IsAsciiDigit(QChar c) { return c >= u'0' && c <= u'9'; }

int HexDigit(QChar c) {
  const char16_t u = c.unicode();
  if (u >= u'0' && u <= u'9') return u - u'0';
  if (u >= u'a' && u <= u'f') return u - u'a' + 10;
  if (u >= u'A' && u <= u'F') return u - u'A' + 10;
  return -1;
}

// "0".."2147483647" written without sign or leading zeros, as list keys are.
bool ListIndex(const QString& key, int32_t& out) {
  if (key.isEmpty() || key.size() > 10) return false;
  if (key.size() > 1 && key[0] == u'0') return false;
  int64_t v = 0;
  for (QChar c : key) {
    if (!IsAsciiDigit(c)) return false;
    v = v * 10 + (c.unicode() - u'0');
  }
  if (v > INT32_MAX) return false;
  out = int32_t(v);
  return true;
}

struct TokenTable {
  const char* token;
  uint8_t value;
};

uint8_t Lookup(const TokenTable* table, size_t n, const QString& text, uint8_t fallback) {
  for (size_t i = 0; i < n; ++i)
    if (text == QLatin1String(table[i].token)) return table[i].value;
  return fallback;
}

QString TokenOf(const TokenTable* table, size_t n, uint8_t value, const char* fallback) {
  for (size_t i = 0; i < n; ++i)
    if (table[i].value == value) return QString::fromLatin1(table[i].token);
  return QString::fromLatin1(fallback);
}

const TokenTable kStretch[] = {{"stfull", twtok::stfull}, {"sthorz", twtok::sthorz}, {"stvert", twtok::stvert}};
const TokenTable kMorph[] = {{"mkdefault", twtok::mkdefault},       {"mkgradient", twtok::mkgradient},
                             {"mkleftgradient", twtok::mkleftgradient}, {"mkrightgradient", twtok::mkrightgradient},
                             {"mkleftslide", twtok::mkleftslide},   {"mkrightslide", twtok::mkrightslide},
                             {"mkpush", twtok::mkpush}};
const TokenTable kAlign[] = {{"taleftjustify", twtok::taleftjustify}, {"tarightjustify", twtok::tarightjustify},
                             {"tacenter", twtok::tacenter}};
const TokenTable kEffect[] = {{"iebrightness", twtok::iebrightness}, {"iedarkness", twtok::iedarkness},
                              {"iegrayscale", twtok::iegrayscale},   {"ienoise", twtok::ienoise},
                              {"iesplitblur", twtok::iesplitblur},   {"ieinvert", twtok::ieinvert}};
const TokenTable kCommand[] = {{"cmclose", twtok::cmclose},     {"cmmaximize", twtok::cmmaximize},
                               {"cmminimize", twtok::cmminimize}, {"cmsysmenu", twtok::cmsysmenu},
                               {"cmdefault", twtok::cmdefault},   {"cmrollup", twtok::cmrollup},
                               {"cmminimizetotray", twtok::cmminimizetotray}};
const TokenTable kFontStyle[] = {{"fsbold", twtok::fsbold},
                                 {"fsitalic", twtok::fsitalic},
                                 {"fsunderline", twtok::fsunderline},
                                 {"fsstrikeout", twtok::fsstrikeout}};

template <size_t N>
constexpr size_t Count(const TokenTable (&)[N]) {
  return N;
}

}  // namespace

// ---------------------------------------------------------------- parsing

TtwSkinIni TtwSkinIni::FromText(const QString& text) {
  TtwSkinIni ini;
  Section* current = nullptr;
  // Lines are looked at in place; only names, keys and values are copied out.
  const QChar* p = text.constData();
  const qsizetype n = text.size();
  qsizetype start = 0;
  qsizetype kept = 0;
  while (start <= n) {
    qsizetype end = start;
    while (end < n && p[end] != u'\r' && p[end] != u'\n') ++end;
    const QStringView line = Trim(QStringView(p + start, end - start));
    start = end + 1;
    if (line.isEmpty() || line[0] == u';') continue;
    if (line.size() >= 2 && line.front() == u'[' && line.back() == u']') {
      const QString name = Trim(line.mid(1, line.size() - 2)).toString();
      const QString folded = Fold(name);
      auto it = ini.sectionIndex_.constFind(folded);
      if (it != ini.sectionIndex_.constEnd()) {
        // The later occurrence wins: it replaces what the earlier one held.
        current = &ini.sections_[*it];
        current->Name = name;
        current->Lines.clear();
        current->KeyIndex.clear();
      } else {
        if (ini.sections_.size() >= kMaxDescriptionSections)
          throw ESkinDescriptionError(QStringLiteral("The skin description has more than %1 sections; no skin needs that many.")
                                          .arg(kMaxDescriptionSections));
        ini.sectionIndex_.insert(folded, ini.sections_.size());
        ini.sections_.append(Section{name, {}, {}});
        current = &ini.sections_.back();
      }
      continue;
    }
    if (!current) continue;
    if (++kept > kMaxDescriptionLines)
      throw ESkinDescriptionError(QStringLiteral("The skin description has more than %1 lines of keys; no skin needs that many.")
                                      .arg(kMaxDescriptionLines));
    Line& l = current->Lines.emplace_back();
    const qsizetype eq = line.indexOf(u'=');
    if (eq >= 0) {
      l.Key = Trim(line.left(eq)).toString();
      l.Value = Trim(line.mid(eq + 1)).toString();
      l.IsKey = true;
      current->KeyIndex.insert(Fold(l.Key), current->Lines.size() - 1);
    } else {
      l.Value = line.toString();
    }
  }
  return ini;
}

QString TtwSkinIni::ToText() const {
  QString out;
  bool first = true;
  for (const Section& s : sections_) {
    if (s.Erased) continue;
    if (!first) out += QStringLiteral("\r\n");
    first = false;
    out += u'[' + s.Name + QStringLiteral("]\r\n");
    for (const Line& l : s.Lines) {
      if (l.IsKey)
        out += l.Key + u'=' + l.Value;
      else
        out += l.Value;
      out += QStringLiteral("\r\n");
    }
  }
  return out;
}

// ---------------------------------------------------------------- lookup

const TtwSkinIni::Section* TtwSkinIni::FindSection(const QString& section) const {
  // A record reads or writes dozens of keys of one section in a row.
  if (cachedIndex_ >= 0 && section == cachedName_) return &sections_[cachedIndex_];
  auto it = sectionIndex_.constFind(Fold(section));
  if (it == sectionIndex_.constEnd()) return nullptr;
  cachedName_ = section;
  cachedIndex_ = *it;
  return &sections_[*it];
}

TtwSkinIni::Section& TtwSkinIni::SectionForWrite(const QString& section) {
  if (const Section* found = FindSection(section)) return sections_[found - sections_.constData()];
  sectionIndex_.insert(Fold(section), sections_.size());
  sections_.append(Section{OneLine(section), {}, {}});
  return sections_.back();
}

const QString* TtwSkinIni::FindValue(const QString& section, const QString& key) const {
  const Section* s = FindSection(section);
  if (!s) return nullptr;
  auto it = s->KeyIndex.constFind(Fold(key));
  return it == s->KeyIndex.constEnd() ? nullptr : &s->Lines[*it].Value;
}

bool TtwSkinIni::SectionExists(const QString& section) const {
  const Section* s = FindSection(section);
  return s && !s->Lines.isEmpty();
}

bool TtwSkinIni::ValueExists(const QString& section, const QString& key) const {
  return FindValue(section, key) != nullptr;
}

QStringList TtwSkinIni::Sections() const {
  QStringList names;
  for (const Section& s : sections_)
    if (!s.Erased) names << s.Name;
  return names;
}

QStringList TtwSkinIni::Keys(const QString& section) const {
  QStringList keys;
  const Section* s = FindSection(section);
  if (!s) return keys;
  QSet<QString> seen;  // listed once, where it first appears
  for (const Line& l : s->Lines)
    if (l.IsKey && !seen.contains(Fold(l.Key))) {
      seen.insert(Fold(l.Key));
      keys << l.Key;
    }
  return keys;
}

void TtwSkinIni::EraseSection(const QString& section) {
  auto it = sectionIndex_.constFind(Fold(section));
  if (it == sectionIndex_.constEnd()) return;
  // Saving a record erases and rewrites its section; renumbering every later
  // section each time made saving a long description quadratic.
  Section& s = sections_[*it];
  s.Erased = true;
  s.Lines.clear();
  s.KeyIndex.clear();
  sectionIndex_.erase(it);
  cachedIndex_ = -1;
}

// ---------------------------------------------------------------- values

bool TtwSkinIni::ParseInteger(const QString& text, int32_t& out) {
  QString s = text;
  if (s.size() > 2 && s[0] == u'0' && (s[1] == u'x' || s[1] == u'X')) s = u'$' + s.mid(2);
  const qsizetype n = s.size();
  qsizetype i = 0;
  bool negative = false;
  if (i < n && (s[i] == u'+' || s[i] == u'-')) negative = s[i++] == u'-';
  if (i < n && s[i] == u'$') {
    ++i;
    if (i == n) return false;
    uint64_t v = 0;
    for (; i < n; ++i) {
      const int d = HexDigit(s[i]);
      if (d < 0) return false;
      v = v * 16 + uint64_t(d);
      if (v > 0xFFFFFFFFull) return false;
    }
    // Hexadecimal gives the 32-bit pattern, so colours like 0xFF00000F fit.
    const uint32_t bits = negative ? uint32_t(0u - uint32_t(v)) : uint32_t(v);
    out = int32_t(bits);
    return true;
  }
  if (i == n) return false;
  int64_t v = 0;
  for (; i < n; ++i) {
    if (!IsAsciiDigit(s[i])) return false;
    v = v * 10 + (s[i].unicode() - u'0');
    if (v > int64_t(INT32_MAX) + 1) return false;
  }
  if (negative) v = -v;
  if (v > INT32_MAX || v < INT32_MIN) return false;
  out = int32_t(v);
  return true;
}

QString TtwSkinIni::ReadString(const QString& section, const QString& key, const QString& def) const {
  const QString* v = FindValue(section, key);
  return v ? *v : def;
}

int32_t TtwSkinIni::ReadInteger(const QString& section, const QString& key, int32_t def) const {
  const QString* v = FindValue(section, key);
  int32_t out = 0;
  return v && ParseInteger(*v, out) ? out : def;
}

TColor TtwSkinIni::ReadColor(const QString& section, const QString& key, TColor def) const {
  return TColor(ReadInteger(section, key, int32_t(def)));
}

bool TtwSkinIni::ReadBool(const QString& section, const QString& key) const {
  return ReadInteger(section, key, 0) == 1;
}

void TtwSkinIni::ReadFields(const QString& section, const QString& key, int32_t* out, int count) const {
  const QString* value = FindValue(section, key);
  for (int i = 0; i < count; ++i) out[i] = 0;
  if (!value) return;
  // One pass over the text: fields past `count` are never looked at, so a
  // value of a million commas costs nothing.
  int digits[4] = {0, 0, 0, 0};
  bool tooLarge[4] = {false, false, false, false};
  int field = 0;
  for (QChar c : *value) {
    if (c == u',') {
      if (++field == count) break;
      continue;
    }
    // Blanks and signs are dropped with every other non-digit.
    if (!IsAsciiDigit(c) || tooLarge[field]) continue;
    ++digits[field];
    const int64_t v = int64_t(out[field]) * 10 + (c.unicode() - u'0');
    if (v > INT32_MAX) tooLarge[field] = true, out[field] = INT32_MAX;
    else out[field] = int32_t(v);
  }
  const QString shown = value->size() > 80 ? value->left(80) + QStringLiteral("...") : *value;
  for (int i = 0; i < count; ++i)
    if (digits[i] == 0 || tooLarge[i])
      throw EConvertError(QStringLiteral("\"%1\" is not a valid %2 value (key \"%3\" in section [%4])")
                              .arg(shown, count == 4 ? QStringLiteral("rectangle") : QStringLiteral("point"),
                                   key, section));
}

TRect TtwSkinIni::ReadRect(const QString& section, const QString& key) const {
  int32_t f[4];
  ReadFields(section, key, f, 4);
  return TRect{f[0], f[1], f[2], f[3]};
}

TPoint TtwSkinIni::ReadPoint(const QString& section, const QString& key) const {
  int32_t f[2];
  ReadFields(section, key, f, 2);
  return TPoint{f[0], f[1]};
}

uint8_t TtwSkinIni::ParseFontStyle(const QString& text) {
  uint8_t style = 0;
  for (const TokenTable& t : kFontStyle)
    if (text.contains(QLatin1String(t.token))) style |= t.value;
  return style;
}

QString TtwSkinIni::FontStyleText(uint8_t style) {
  QStringList names;
  for (const TokenTable& t : kFontStyle)
    if (style & t.value) names << QString::fromLatin1(t.token);
  return names.join(u',');
}

uint8_t TtwSkinIni::ParseStretchType(const QString& text) {
  return Lookup(kStretch, Count(kStretch), text, twtok::sthorz);
}
uint8_t TtwSkinIni::ParseMorphKind(const QString& text) {
  return Lookup(kMorph, Count(kMorph), text, twtok::mkdefault);
}
uint8_t TtwSkinIni::ParseAlignment(const QString& text) {
  return Lookup(kAlign, Count(kAlign), text, twtok::tarightjustify);
}
uint8_t TtwSkinIni::ParseInactiveEffect(const QString& text) {
  return Lookup(kEffect, Count(kEffect), text, twtok::iegrayscale);
}
uint8_t TtwSkinIni::ParseCommand(const QString& text) {
  return Lookup(kCommand, Count(kCommand), text, twtok::cmminimizetotray);
}

QString TtwSkinIni::StretchTypeToken(uint8_t value) { return TokenOf(kStretch, Count(kStretch), value, "sthorz"); }
QString TtwSkinIni::MorphKindToken(uint8_t value) { return TokenOf(kMorph, Count(kMorph), value, "mkdefault"); }
QString TtwSkinIni::AlignmentToken(uint8_t value) { return TokenOf(kAlign, Count(kAlign), value, "tarightjustify"); }
QString TtwSkinIni::InactiveEffectToken(uint8_t value) {
  return TokenOf(kEffect, Count(kEffect), value, "iegrayscale");
}
QString TtwSkinIni::CommandToken(uint8_t value) {
  return TokenOf(kCommand, Count(kCommand), value, "cmminimizetotray");
}

uint8_t TtwSkinIni::ReadFontStyle(const QString& section, const QString& key) const {
  return ParseFontStyle(ReadString(section, key));
}
uint8_t TtwSkinIni::ReadStretchType(const QString& section, const QString& key) const {
  return ParseStretchType(ReadString(section, key, QStringLiteral("stfull")));
}
uint8_t TtwSkinIni::ReadMorphKind(const QString& section, const QString& key) const {
  return ParseMorphKind(ReadString(section, key, QStringLiteral("mkdefault")));
}
uint8_t TtwSkinIni::ReadAlignment(const QString& section, const QString& key) const {
  return ParseAlignment(ReadString(section, key, QStringLiteral("tacenter")));
}
uint8_t TtwSkinIni::ReadInactiveEffect(const QString& section, const QString& key) const {
  return ParseInactiveEffect(ReadString(section, key, QStringLiteral("iebrightness")));
}
uint8_t TtwSkinIni::ReadCommand(const QString& section, const QString& key) const {
  return ParseCommand(ReadString(section, key, QStringLiteral("cmdefault")));
}

QList<std::pair<int32_t, QString>> TtwSkinIni::IndexedValues(const QString& section, int32_t count) const {
  QList<std::pair<int32_t, QString>> out;
  const Section* s = FindSection(section);
  if (!s || count <= 0) return out;
  // Walk the keys that exist rather than count keys that may not.
  for (auto it = s->KeyIndex.constBegin(); it != s->KeyIndex.constEnd(); ++it) {
    int32_t index = 0;
    if (ListIndex(it.key(), index) && index < count) out.append({index, s->Lines[it.value()].Value});
  }
  std::sort(out.begin(), out.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  return out;
}

QStringList TtwSkinIni::ReadList(const QString& section, const QString& prefix) const {
  const int32_t count = std::min(ReadInteger(section, prefix + QStringLiteral("count"), 0), kMaxListEntries);
  const auto present = IndexedValues(section, count);
  QStringList list;
  if (present.isEmpty()) return list;
  list.resize(present.back().first + 1);
  for (const auto& [index, value] : present) list[index] = value;
  return list;
}

QList<TtwSkinRecordEntry> TtwSkinIni::ReadRecordEntries(const QString& section) const {
  QList<TtwSkinRecordEntry> entries;
  for (const auto& [index, value] : IndexedValues(section, ReadInteger(section, QStringLiteral("count"), 0))) {
    Q_UNUSED(index);
    const qsizetype colon = value.indexOf(u':');
    if (colon < 0) continue;
    entries.append({value.left(colon), value.mid(colon + 1)});
  }
  return entries;
}

// ---------------------------------------------------------------- writing

void TtwSkinIni::WriteString(const QString& section, const QString& key, const QString& value) {
  Section& s = SectionForWrite(section);
  QString k = OneLine(key);
  if (k.contains(u'=')) k.replace(u'=', u' ');
  const QString folded = Fold(k);
  auto it = s.KeyIndex.constFind(folded);
  if (it != s.KeyIndex.constEnd()) {
    s.Lines[*it].Value = OneLine(value);
    return;
  }
  s.KeyIndex.insert(folded, s.Lines.size());
  s.Lines.append(Line{k, OneLine(value), true});
}

void TtwSkinIni::WriteInteger(const QString& section, const QString& key, int32_t value) {
  WriteString(section, key, QString::number(value));
}
void TtwSkinIni::WriteColor(const QString& section, const QString& key, TColor value) {
  WriteInteger(section, key, int32_t(value));
}
void TtwSkinIni::WriteBool(const QString& section, const QString& key, bool value) {
  WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}
void TtwSkinIni::WriteRect(const QString& section, const QString& key, const TRect& r) {
  WriteString(section, key, QStringLiteral("%1,%2,%3,%4").arg(r.Left).arg(r.Top).arg(r.Right).arg(r.Bottom));
}
void TtwSkinIni::WritePoint(const QString& section, const QString& key, const TPoint& p) {
  WriteString(section, key, QStringLiteral("%1,%2").arg(p.X).arg(p.Y));
}
void TtwSkinIni::WriteFontStyle(const QString& section, const QString& key, uint8_t value) {
  WriteString(section, key, FontStyleText(value));
}
void TtwSkinIni::WriteStretchType(const QString& section, const QString& key, uint8_t value) {
  WriteString(section, key, StretchTypeToken(value));
}
void TtwSkinIni::WriteMorphKind(const QString& section, const QString& key, uint8_t value) {
  WriteString(section, key, MorphKindToken(value));
}
void TtwSkinIni::WriteAlignment(const QString& section, const QString& key, uint8_t value) {
  WriteString(section, key, AlignmentToken(value));
}
void TtwSkinIni::WriteInactiveEffect(const QString& section, const QString& key, uint8_t value) {
  WriteString(section, key, InactiveEffectToken(value));
}
void TtwSkinIni::WriteCommand(const QString& section, const QString& key, uint8_t value) {
  WriteString(section, key, CommandToken(value));
}

void TtwSkinIni::WriteList(const QString& section, const QString& prefix, const QStringList& values) {
  WriteInteger(section, prefix + QStringLiteral("count"), int32_t(values.size()));
  for (qsizetype i = 0; i < values.size(); ++i) WriteString(section, QString::number(i), values[i]);
}

void TtwSkinIni::WriteRecordEntries(const QString& section, const QList<TtwSkinRecordEntry>& entries) {
  WriteInteger(section, QStringLiteral("count"), int32_t(entries.size()));
  for (qsizetype i = 0; i < entries.size(); ++i)
    WriteString(section, QString::number(i), entries[i].Name + u':' + entries[i].Type);
}
