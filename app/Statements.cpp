// The statement catalogue: each statement keeps its shape, and every value
// the user typed is a bound parameter.
#include "app/Statements.h"

#include <algorithm>

namespace {
// LIKE pattern matching the text itself anywhere: its own "%" and "_" (and
// the escape character) lose their wildcard meaning.
QString ContainsPattern(const QString& text) {
  QString escaped;
  escaped.reserve(text.size() + 2);
  for (QChar c : text) {
    if (c == '\\' || c == '%' || c == '_') escaped += '\\';
    escaped += c;
  }
  return '%' + escaped + '%';
}
// An index query every note containing the keyword matches: all of the
// keyword's trigrams. The index folds more than ASCII case, so it may offer
// a few notes too many; the statement's own test removes them.
QString TrigramQuery(const QList<uint>& chars) {
  // A few trigrams spread over a long keyword narrow as well as all of them.
  constexpr int kMaxTrigrams = 12;
  const int n = int(chars.size()) - 2;
  const int stride = std::max(1, n / kMaxTrigrams);
  QStringList terms;
  for (int i = 0; i < n; i += stride) {
    QString tri = QString::fromUcs4(reinterpret_cast<const char32_t*>(chars.constData() + i), 3);
    tri.replace('"', QStringLiteral("\"\""));
    terms << '"' + tri + '"';
  }
  terms.removeDuplicates();
  return terms.join(QStringLiteral(" AND "));
}

// Whether the index holds a keyword of one or two characters exactly as LIKE
// compares it: the index folds every cased character, LIKE only ASCII ones,
// so a keyword with a cased character beyond ASCII is left to the scan.
bool FoldsAlike(const QList<uint>& chars) {
  for (uint c : chars) {
    if (c == 0) return false;  // a NUL would end the pattern early
    if (c < 128) continue;
    if (QChar::toLower(c) != c || QChar::toUpper(c) != c || QChar::toTitleCase(c) != c ||
        QChar::toCaseFolded(c) != c)
      return false;
  }
  return true;
}

// Every trigram beginning with `prefix` (as the index folds it) lies between
// the prefix and the prefix followed by the highest characters.
QString LowestTerm(const QString& keyword) {
  QString s = keyword;
  for (QChar& c : s)
    if (c >= 'A' && c <= 'Z') c = QChar(c.unicode() + 32);
  return s;
}
QString HighestTerm(const QString& keyword, int length) {
  QString s = LowestTerm(keyword);
  for (int i = length; i < 3; ++i) s += QString::fromUcs4(U"\U0010FFFF", 1);
  return s;
}

}  // namespace

TStatement NotesOfCategory(const QString& category) {
  return {QStringLiteral("select * from 笔记 where 类别=? order by 类别"), {category}};
}

TStatement NoteByTitle(const QString& title) {
  // One row: a title shared by notes with huge bodies reads one body.
  return {QStringLiteral("select * from 笔记 where 标题=? limit 1"), {title}};
}

TStatement CategoryByName(const QString& category) {
  return {QStringLiteral("select * from 类别 where 类别=?"), {category}};
}

TStatement RefileNotes(const QString& newName, const QString& oldName) {
  return {QStringLiteral("update 笔记 Set 类别=? where 类别=?"), {newName, oldName}};
}

TStatement NotesInCategory(const QString& category) {
  // Only counted: a category holding a huge note reads no body.
  return {QStringLiteral("select rowid from 笔记 where 类别=?"), {category}};
}

namespace {

// The notes the index offers for a keyword (a superset of those that hold
// it), or an empty statement when the keyword is left to the scan. Notes
// with a text too wide for the index are always offered.
TStatement Candidates(const QString& keyword) {
  const QString pattern = ContainsPattern(keyword);
  const QList<uint> chars = keyword.toUcs4();
  const QString wide = QStringLiteral(" union all select id from tw_notes_wide");
  // The index holds only trigrams, and a NUL would end the pattern early.
  if (chars.size() >= 3 && !chars.contains(0u))
    return {QStringLiteral("select rowid from tw_notes_fts where tw_notes_fts match ?") + wide,
            {TrigramQuery(chars)}};
  // A keyword of one or two characters inside a text of three or more begins
  // one of its trigrams, unless it stands in the text's last two characters.
  if ((chars.size() == 1 || chars.size() == 2) && FoldsAlike(chars))
    return {QStringLiteral("select doc from tw_notes_fts_terms where term >= ? and term <= ? union all "
                           "select id from tw_notes_tails where t like ? escape '\\' or b like ? escape '\\'") +
                wide,
            {LowestTerm(keyword), HighestTerm(keyword, int(chars.size())), pattern, pattern}};
  return {};
}

}  // namespace

TStatement KeywordSearch(const QString& keyword, bool indexed) {
  const QString pattern = ContainsPattern(keyword);
  const QString test = QStringLiteral("(标题 like ? escape '\\')or(内容 like ? escape '\\')");
  const TStatement candidates = indexed ? Candidates(keyword) : TStatement();
  if (candidates.sql.isEmpty())
    return {QStringLiteral("select rowid, 标题 from 笔记 where %1 order by rowid").arg(test), {pattern, pattern}};
  return {QStringLiteral("select rowid, 标题 from 笔记 where rowid in (%1) and (%2) order by rowid")
              .arg(candidates.sql, test),
          candidates.params + QVariantList{pattern, pattern}};
}

TStatement KeywordIsCommon(const QString& keyword) {
  TStatement candidates = Candidates(keyword);
  if (candidates.sql.isEmpty()) return candidates;
  // Counting stops at a quarter of the notes: beyond it a scan reads less.
  const QString quarter = QStringLiteral("(select coalesce(n, 0) / 4 from tw_notes_check)");
  candidates.sql = QStringLiteral("select count(*) >= %1 from (%2 limit %1)").arg(quarter, candidates.sql);
  return candidates;
}

TStatement NoteCategories() { return {QStringLiteral("select rowid, 类别 from 笔记"), {}}; }
TStatement NotesByRowid(const QList<qint64>& rowids) {
  QVariantList ids;
  for (qint64 id : rowids) ids << id;
  return {QStringLiteral("select rowid, 类别, 标题 from 笔记 where rowid in (%1)")
              .arg(QStringList(ids.size(), QStringLiteral("?")).join(',')),
          ids};
}

TStatement NoteTitles() { return {QStringLiteral("select rowid, 标题 from 笔记"), {}}; }

void RunStatement(TADOQuery& query, const TStatement& statement) {
  query.Close();
  query.SetSQL(statement);
  query.Open();
}

void ExecStatement(TADOQuery& query, const TStatement& statement) {
  query.Close();
  query.SetSQL(statement);
  query.ExecSQL();
}
