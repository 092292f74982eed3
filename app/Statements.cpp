#include "app/Statements.h"

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
}  // namespace

TStatement NotesOfCategory(const QString& category) {
  return {QStringLiteral("select * from 笔记 where 类别=? order by 类别"), {category}};
}

TStatement NoteByTitle(const QString& title) {
  return {QStringLiteral("select * from 笔记 where 标题=?"), {title}};
}

TStatement CategoryByName(const QString& category) {
  return {QStringLiteral("select * from 类别 where 类别=?"), {category}};
}

TStatement RefileNotes(const QString& newName, const QString& oldName) {
  return {QStringLiteral("update 笔记 Set 类别=? where 类别=?"), {newName, oldName}};
}

TStatement NotesInCategory(const QString& category) {
  return {QStringLiteral("select * from 笔记 where 类别=?"), {category}};
}

TStatement KeywordSearch(const QString& keyword) {
  const QString pattern = ContainsPattern(keyword);
  return {QStringLiteral("select * from 笔记 where (标题 like ? escape '\\')or(内容 like ? escape '\\')"),
          {pattern, pattern}};
}

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
