#pragma once
// The statements the notes windows run. Each keeps its query shape; user
// values travel as bound parameters, never as part of the text.
#include <QString>

#include "platform/db/Dataset.h"

// select * from 笔记 where 类别=? order by 类别
TStatement NotesOfCategory(const QString& category);
// select * from 笔记 where 标题=? limit 1: the first of the notes of that title
TStatement NoteByTitle(const QString& title);
// select * from 类别 where 类别=?
TStatement CategoryByName(const QString& category);
// update 笔记 Set 类别=? where 类别=?
TStatement RefileNotes(const QString& newName, const QString& oldName);
// The notes filed under a category, to count them: their row ids only.
TStatement NotesInCategory(const QString& category);
// Notes whose title or body contains the keyword; "%" and "_" in it match
// themselves. The empty keyword matches every note with a title or a body.
// Only the row id and the title are read, in the order of the notes table.
// With `indexed` (the search index is complete) the candidates come from the
// index: the trigrams of a longer keyword, or for one or two characters the
// trigrams they begin and the texts' last two characters. The rows are the same.
TStatement KeywordSearch(const QString& keyword, bool indexed = false);
// One row, one column: 1 when the index offers a quarter of the notes or
// more for the keyword, where the scan is quicker than the index's way.
// Empty when the keyword always takes the scan.
TStatement KeywordIsCommon(const QString& keyword);
// Row id and category, and row id and title, of every note: what the tree
// shows. Apart, each is read from its own index alone, never from the rows.
TStatement NoteCategories();
// Row id, category and title of the notes with these row ids.
TStatement NotesByRowid(const QList<qint64>& rowids);
TStatement NoteTitles();

// Close, set the statement as the query's only line, open.
void RunStatement(TADOQuery& query, const TStatement& statement);
// Close, set the statement as the query's only line, execute.
void ExecStatement(TADOQuery& query, const TStatement& statement);
