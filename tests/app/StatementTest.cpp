// Each statement of the catalogue selects and changes exactly the rows its
// name says, whatever quotes or wildcards the values hold.
#include <gtest/gtest.h>

#include <QSet>

#include "app/Statements.h"
#include "app/Unit2.h"
#include "tests/platform/db/TestDb.h"

namespace {

// Values that would change a pasted statement's meaning.
const QStringList kCategories = {
    "工作", "a\"b", "it's", "100%", "1000", "a_b", "axb", "\\", "\" or \"\"=\"",
    "x'); delete from 笔记; --", "') or ('1'='1", "",
};

struct Note {
  QVariant category, title, body;
};

class StatementTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RawDb raw(db.path);
    for (const QString& c : kCategories) {
      if (!c.isEmpty()) raw.Exec("insert into 类别 values (?)", {c});
      notes << Note{c, "T:" + c, "B:" + c};
    }
    notes << Note{"工作", QVariant(), "untitled body"} << Note{"工作", QVariant(), QVariant()}
          << Note{"工作", "only a title", QVariant()};
    for (const Note& n : notes) raw.AddNote(n.category, n.title, n.body);
  }

  // Titles of a query's rows, in order; a null title reads as "<null>".
  static QStringList Titles(TADOQuery& q) {
    QStringList out;
    q.First();
    for (int i = 0; i < q.RecordCount(); ++i, q.Next()) {
      const TField f = q.FieldByName("标题");
      out << (f.IsNull() ? QStringLiteral("<null>") : f.AsString());
    }
    return out;
  }
  QStringList Expected(const std::function<bool(const Note&)>& pick) const {
    QStringList out;
    for (const Note& n : notes)
      if (pick(n)) out << (n.title.isNull() ? QStringLiteral("<null>") : n.title.toString());
    return out;
  }

  TempDb db;
  QList<Note> notes;
  InFolder in{db.dir.path()};
  TData data;
};

TEST_F(StatementTest, LookupsSelectExactlyTheNamedRows) {
  for (const QString& c : kCategories) {
    SCOPED_TRACE(c.toStdString());
    const QStringList of = Expected([&](const Note& n) { return n.category.toString() == c; });
    RunStatement(*data.QBZ, NotesOfCategory(c));
    EXPECT_EQ(Titles(*data.QBZ), of);
    RunStatement(*data.ADOQuery2, NotesInCategory(c));
    EXPECT_EQ(data.ADOQuery2->RecordCount(), of.size());
    RunStatement(*data.ADOQuery4, NoteByTitle("T:" + c));
    EXPECT_EQ(Titles(*data.ADOQuery4), QStringList{"T:" + c});
    EXPECT_EQ(data.ADOQuery4->FieldByName("内容").AsString(), "B:" + c);
    RunStatement(*data.ADOQuery1, CategoryByName(c));
    EXPECT_EQ(data.ADOQuery1->RecordCount(), c.isEmpty() ? 0 : 1);
  }
}

TEST_F(StatementTest, KeywordSearchMatchesTheKeywordLiterally) {
  const QStringList keywords = {"",   "%",  "_",     "a_b",   "A_B",          "100%", "'", "\"", "\\",
                                "工作", "B:", "body", "nothing", "') or ('1'='1", "\" or \"\"=\""};
  for (const QString& k : keywords) {
    SCOPED_TRACE(k.toStdString());
    RunStatement(*data.ADOQuery3, KeywordSearch(k));
    auto has = [&](const QVariant& v) { return !v.isNull() && v.toString().contains(k, Qt::CaseInsensitive); };
    EXPECT_EQ(Titles(*data.ADOQuery3), Expected([&](const Note& n) { return has(n.title) || has(n.body); }));
  }
  // The empty keyword finds every note that has a title or a body.
  RunStatement(*data.ADOQuery3, KeywordSearch(""));
  EXPECT_EQ(data.ADOQuery3->RecordCount(), notes.size() - 1);
}

TEST_F(StatementTest, RefilingMovesOnlyTheOldCategorysNotes) {
  const std::pair<QString, QString> renames[] = {
      {"a\"b", "\" or \"\"=\""}, {"it''s", "it's"}, {"%", "100%"}, {"新", "x'); delete from 笔记; --"}, {"", "a_b"}};
  for (const auto& [to, from] : renames) {
    SCOPED_TRACE(from.toStdString());
    for (Note& n : notes)
      if (n.category.toString() == from) n.category = to;
    ExecStatement(*data.ADOQuery2, RefileNotes(to, from));
    RawDb raw(db.path);
    QStringList want, have = raw.Column("select 类别 from 笔记 order by rowid");
    for (const Note& n : notes) want << n.category.toString();
    EXPECT_EQ(have, want);
  }
}

// Of two notes with one title, every lookup gets the older one, and a change
// through the lookup touches only that one.
TEST_F(StatementTest, DuplicateTitlesResolveToTheFirstRow) {
  RawDb raw(db.path);
  raw.AddNote("工作", "同名", "first");
  raw.AddNote("生活", "同名", "second");
  raw.Exec("update 笔记 set 内容='first, edited' where 内容='first'");  // order must not follow changes
  for (TADOQuery* q : {data.ADOQuery1, data.ADOQuery4}) {
    RunStatement(*q, NoteByTitle("同名"));
    EXPECT_EQ(q->RecordCount(), 1);  // the other's body is never read
    EXPECT_EQ(q->FieldByName("内容").AsString(), "first, edited");
  }
  data.ADOQuery1->Edit();
  data.ADOQuery1->FieldByName("内容").SetAsString("changed");
  data.ADOQuery1->Post();
  RunStatement(*data.ADOQuery4, NoteByTitle("同名"));
  data.ADOQuery4->Delete();
  EXPECT_EQ(raw.Column("select 内容 from 笔记 where 标题='同名'"), QStringList{"second"});
}

}  // namespace
