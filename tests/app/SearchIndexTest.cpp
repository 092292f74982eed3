// The search index gives exactly the rows of the plain scan, stays in step
// with every change, upgrades old notebooks and rebuilds a damaged index.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include "app/NotesIndex.h"
#include "app/NotesSearch.h"
#include "app/Statements.h"
#include "app/Unit2.h"
#include "tests/platform/db/TestDb.h"

namespace {

// Titles and bodies chosen so that trigrams, quotes, wildcards and case
// folding beyond ASCII all meet the keywords below.
const QList<QPair<QString, QString>> kNotes = {
    {"Hello World", "the quick brown fox"},
    {"hello world", "HELLO THERE"},
    {"笔记本", "今天的会议记录：笔记本电脑"},
    {"Ärger", "ärger und ÄRGER"},
    {"100% sure", "a_b and a%b and a\\b"},
    {"quote \"x\" here", "it's 'quoted'"},
    {"emoji 😀😀😀", "face 😀 once"},
    {"two\nlines", "line one\nline two"},
    {"AND OR NEAR", "* ^ : ( ) -"},
    {"", "body only with keyword"},
    {"title only keyword", ""},
    {"keyword", "keyword in both"},
    // Texts too short for a trigram, and keywords in a text's last characters.
    {"ab", "x"},
    {"Zq", "本"},
    {"\\", "%_"},
    {"é", "É"},
    {"ends in Zq", "ends in 本"},
};

const QStringList kKeywords = {
    "",      "e",        "E",       "he",      "HEL",    "hello",    "Hello World", "o w",   "笔",
    "笔记",  "笔记本",   "记本电",  "ärg",     "ÄRG",    "Ärger",    "%",           "_",     "a_b",
    "a%b",   "\\",       "a\\b",    "'",       "\"",     "\"x\"",    "it's",        "😀",    "😀😀😀",
    "o\nl",  "wo\nli",   "AND",     "NEAR",    "* ^",    "( ) -",    "keyword",     "nothing here",
    "only with keyword", "ne two",
    // One and two characters: at a trigram's start, in the last two, alone.
    "a",     "A",        "x",       "X",       "q",      "zQ",       "Zq",          "本",    "脑",
    "电脑",  "记",       "LD",      "d",       "é",      "É",        "\\b",       "%_",    "0%",
    "\n",   " ",        "😀 ",     "'s",      "\"x",    "r\n",     "-",
};

// What LIKE finds: the keyword anywhere, ASCII letters folded, nothing else.
QString AsciiFold(QString s) {
  for (QChar& c : s)
    if (c >= 'A' && c <= 'Z') c = QChar(c.unicode() + 32);
  return s;
}

class SearchIndex : public ::testing::Test {
 protected:
  void SetUp() override {
    RawDb raw(db.path);
    for (const auto& [title, body] : kNotes) raw.AddNote("类", title, body);
  }
  // Row ids and titles a statement finds, as "rowid:title" lines.
  QStringList Found(const TStatement& st) {
    RunStatement(*data.ADOQuery3, st);
    QStringList out;
    TADOQuery& q = *data.ADOQuery3;
    for (int i = 0; i < q.RecordCount(); ++i, q.Next())
      out << q.FieldByName("rowid").Value().toString() + ":" + q.FieldByName("标题").AsString();
    return out;
  }
  QStringList Expected(const QString& keyword) {
    QStringList out;
    RawDb raw(db.path);
    const QString k = AsciiFold(keyword);
    for (const QStringList& r : raw.Rows("select rowid, 标题, 内容 from 笔记 order by rowid")) {
      const bool title = r[1] != "<null>" && AsciiFold(r[1]).contains(k);
      const bool body = r[2] != "<null>" && AsciiFold(r[2]).contains(k);
      if (title || body) out << r[0] + ":" + r[1];
    }
    return out;
  }
  void ExpectExactRows(const char* when) {
    SCOPED_TRACE(when);
    ASSERT_TRUE(data.NotesIndex->Ready());
    for (const QString& k : kKeywords) {
      SCOPED_TRACE(k.toStdString());
      const QStringList want = Expected(k);
      EXPECT_EQ(Found(KeywordSearch(k, true)), want);
      EXPECT_EQ(Found(KeywordSearch(k, false)), want);
    }
    EXPECT_EQ(CompareIndexTotals(data.ADOConnection1->Handle()), TIndexTotals::Agree);
    RawDb raw(db.path);
    // FTS5's own check of the index against the notes table.
    raw.Exec("insert into tw_notes_fts(tw_notes_fts, rank) values ('integrity-check', 1)");
  }
  // What a search streams, page by page, as "rowid:title" lines.
  struct TStreamed {
    QStringList rows;
    bool indexFailed = false;
  };
  TStreamed Streamed(TNotesSearch& search, const TStatement& st, const TStatement& fallback = {},
                     const TStatement& common = {}) {
    static int argc = 1;
    static char arg0[] = "tests";
    static char* argv[] = {arg0, nullptr};
    static QCoreApplication* app = QCoreApplication::instance() ? nullptr : new QCoreApplication(argc, argv);
    Q_UNUSED(app);
    TStreamed out;
    bool done = false;
    QObject scope;
    QObject::connect(&search, &TNotesSearch::Page, &scope, [&](const TResultPage& page) {
      EXPECT_FALSE(done);
      for (size_t i = 0; i < page.rowids.size(); ++i) {
        const quint32 begin = i == 0 ? 0 : page.ends[i - 1];
        out.rows << QString::number(page.rowids[i]) + ":" +
                        QString::fromUtf8(page.text.mid(begin, page.ends[i] - begin));
      }
    });
    QObject::connect(&search, &TNotesSearch::Restarted, &scope, [&] { out.rows.clear(); });
    QObject::connect(&search, &TNotesSearch::Finished, &scope, [&](int count, const QString& error, bool failed) {
      EXPECT_TRUE(error.isEmpty()) << error.toStdString();
      EXPECT_EQ(count, out.rows.size());
      out.indexFailed = failed;
      done = true;
    });
    search.Start(db.path, st, fallback, common);
    while (!done) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_FALSE(search.Running());
    return out;
  }
  void Open() {
    data.ADOConnection1->Open();
    data.NotesIndex->BuildAll();
  }

  TempDb db;
  InFolder in{db.dir.path()};
  TData data;
};

TEST_F(SearchIndex, FindsExactlyTheRowsOfTheScanThroughEveryChange) {
  // Short keywords take the index's way unless a character beyond ASCII has a case.
  for (const QString k : {"a", "Zq", "本", "😀 "})
    EXPECT_NE(KeywordSearch(k, true).sql, KeywordSearch(k, false).sql) << k.toStdString();
  for (const QString k : {"é", "Äx"}) EXPECT_EQ(KeywordSearch(k, true).sql, KeywordSearch(k, false).sql);
  Open();
  ExpectExactRows("built");

  TADOTable& bz = *data.BZ;
  bz.OpenForAppend();
  bz.Insert();
  bz.FieldByName("标题").SetAsString("new hello 笔记本");
  bz.FieldByName("内容").SetAsString("ÄRGER keyword");
  bz.Post();
  ExpectExactRows("after an insert");

  RunStatement(*data.ADOQuery1, NoteByTitle("Hello World"));
  data.ADOQuery1->Edit();
  data.ADOQuery1->FieldByName("标题").SetAsString("renamed");
  data.ADOQuery1->FieldByName("内容").SetAsString("no more fox");
  data.ADOQuery1->Post();
  ExpectExactRows("after an edit");

  RunStatement(*data.ADOQuery4, NoteByTitle("keyword"));
  data.ADOQuery4->Delete();
  ExecStatement(*data.ADOQuery2, RefileNotes("新", "类"));
  ExpectExactRows("after a delete and a re-filing");
}

TEST_F(SearchIndex, OldNotebookIsUpgradedAndSearchesScanUntilItIsBuilt) {
  {
    RawDb raw(db.path);
    raw.Exec("begin");
    for (int i = 0; i < 300; ++i) raw.AddNote("类", QStringLiteral("filler %1").arg(i), "hello filler");
    raw.Exec("commit");
  }
  data.ADOConnection1->Open();
  EXPECT_FALSE(data.NotesIndex->Ready());
  // Changes while the build is half way: below, above and across its mark.
  ASSERT_FALSE(data.NotesIndex->BuildStep(1));
  RawDb raw(db.path);
  raw.Exec("delete from 笔记 where rowid in (1, 200, 310)");
  raw.Exec("update 笔记 set 内容 = 'hello again' where rowid in (2, 250)");
  raw.AddNote("类", "late hello", "added while building");
  EXPECT_EQ(Found(KeywordSearch("hello", data.NotesIndex->Ready())), Expected("hello"));
  while (!data.NotesIndex->BuildStep(1)) {
  }
  ExpectExactRows("built in steps");
}

// Update triggers that fired on a change to any column, as notebooks had
// them: only the triggers are replaced, the index is kept as it is.
TEST_F(SearchIndex, UpdateTriggersOfAnyColumnAreNarrowedWithoutARebuild) {
  Open();
  data.ADOConnection1->Close();
  const QString any = "AFTER UPDATE ON \"笔记\"", narrow = "AFTER UPDATE OF \"标题\", \"内容\" ON \"笔记\"";
  QStringList stored;
  {
    RawDb raw(db.path);
    for (const char* name : {"tw_notes_fts_au", "tw_notes_check_au"}) {
      const QString sql = raw.Column(QStringLiteral("select sql from sqlite_master where name = '%1'").arg(name))[0];
      ASSERT_TRUE(sql.contains(narrow)) << sql.toStdString();
      stored << sql;
      raw.Exec(QStringLiteral("drop trigger %1").arg(name));
      raw.Exec(QString(sql).replace(narrow, any));
    }
  }
  data.ADOConnection1->Open();
  EXPECT_TRUE(data.NotesIndex->Ready()) << "not rebuilt";
  EXPECT_EQ(RawDb(db.path).Column("select sql from sqlite_master where name in ('tw_notes_fts_au', "
                                  "'tw_notes_check_au') order by name desc"),
            stored);
  ExecStatement(*data.ADOQuery2, RefileNotes("新", "类"));
  RawDb(db.path).Exec("update 笔记 set 标题 = 'hello renamed' where rowid = 2");
  ExpectExactRows("after a re-filing and a new title");
}

TEST_F(SearchIndex, DamagedIndexIsRebuiltWhenTheNotebookOpens) {
  Open();
  data.ADOConnection1->Close();
  const char* damages[] = {
      // notes written with the triggers gone
      "drop trigger tw_notes_fts_ai; insert into 笔记 (标题, 内容) values ('unindexed hello', 'x')",
      // an index row lost
      "delete from tw_notes_fts_docsize where id = 3",
  };
  for (const char* damage : damages) {
    SCOPED_TRACE(damage);
    RawDb(db.path).Exec(damage);
    TData again;
    again.ADOConnection1->Open();
    again.NotesIndex->BuildAll();
    again.ADOConnection1->Close();
    Open();
    ExpectExactRows("rebuilt");
    data.ADOConnection1->Close();
  }
}

// A text wider than the index takes is left out of it, so a save never
// tokenizes it; every search still finds the note by its own test.
TEST_F(SearchIndex, WideTextsAreLeftOutOfTheIndexAndStillFound) {
  Open();
  // Both ends and the middle hold keywords of the table; "ü" keeps the
  // bytes (not the characters) at the limit.
  const auto text = [](qint64 bytes) {
    const QString ends = QStringLiteral("Hello 笔记 only with keyword");
    const qint64 fill = bytes - 2 * ends.toUtf8().size() - 5;
    return ends + QString(fill / 2, QChar(0xfc)) + (fill % 2 ? "x" : "") + "ZqrZq" + ends;
  };
  const QString atLimit = text(kIndexedTextBytes), wide = text(kIndexedTextBytes + 1);
  ASSERT_EQ(atLimit.toUtf8().size(), kIndexedTextBytes);
  RawDb raw(db.path);
  // Notes whose indexed text holds the filling: only the one at the limit.
  // Notes whose indexed text holds the filling: only the one at the limit.
  const auto indexedBodies = [&] {
    return raw.Rows("select count(*) from tw_notes_fts where tw_notes_fts match '\"üüü\"'")[0][0];
  };
  const auto wideNotes = [&] { return raw.Rows("select group_concat(id) from tw_notes_wide")[0][0]; };

  raw.AddNote("类", "at the limit", atLimit);
  raw.AddNote("类", "wide body", wide);
  ExpectExactRows("saved");
  EXPECT_EQ(indexedBodies(), "1");
  EXPECT_EQ(wideNotes(), "19");

  raw.Exec("update 笔记 set 内容 = 'narrow hello' where rowid = 19");
  raw.Rows("update 笔记 set 标题 = ? where rowid = 18", {wide});
  ExpectExactRows("the wide body narrowed, a title widened");
  EXPECT_EQ(indexedBodies(), "1");
  EXPECT_EQ(wideNotes(), "18");
  EXPECT_EQ(CheckIndexAgainstNotes(raw.get()), "");

  raw.Exec("delete from tw_notes_wide");  // damage: the wide note no longer offered
  EXPECT_EQ(CompareIndexTotals(raw.get()), TIndexTotals::Differ);
  EXPECT_NE(CheckIndexAgainstNotes(raw.get()), "");
  raw.Exec("insert into tw_notes_wide values (18)");
  raw.Exec("delete from 笔记 where rowid = 18");
  ExpectExactRows("the wide note deleted");
  EXPECT_EQ(wideNotes(), "<null>");
}

// Damage that leaves the notes table alone. The totals the triggers keep find
// what changes a total; overwritten index pages only the full check (and a
// search that reads them) finds.
TEST_F(SearchIndex, TotalsOrTheFullCheckFindSilentDamage) {
  Open();
  EXPECT_EQ(CompareIndexTotals(data.ADOConnection1->Handle()), TIndexTotals::Agree);
  EXPECT_EQ(CheckIndexAgainstNotes(data.ADOConnection1->Handle()), "");
  data.ADOConnection1->Close();
  const struct {
    QStringList damage;
    TIndexTotals totals;
    bool checkFinds;
  } cases[] = {
      // a note's terms gone from the index
      {{"insert into tw_notes_fts(tw_notes_fts, rowid, 标题, 内容) select 'delete', rowid, 标题, 内容 "
        "from 笔记 where rowid = 3",
        "insert into tw_notes_fts_docsize(id, sz) values (3, x'0000')"},
       TIndexTotals::Differ, true},
      // an index row lost
      {{"delete from tw_notes_fts_docsize where id = 3"}, TIndexTotals::Differ, false},
      // a tail that is not the note's
      {{"update tw_notes_tails set b = 'zz' where id = 13"}, TIndexTotals::Differ, true},
      // index pages overwritten
      {{"update tw_notes_fts_data set block = zeroblob(length(block)) where id > 10"}, TIndexTotals::Agree, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.damage.join("; ").toStdString());
    {
      RawDb raw(db.path);
      for (const QString& statement : c.damage) raw.Exec(statement);
    }
    RawDb raw(db.path);
    EXPECT_EQ(CompareIndexTotals(raw.get()), c.totals);
    EXPECT_EQ(CheckIndexAgainstNotes(raw.get()) != "", c.checkFinds);
    // Opened without a worker, totals that differ rebuild the index at once.
    TData again;
    again.ADOConnection1->Open();
    sqlite3* h = again.ADOConnection1->Handle();
    EXPECT_EQ(again.NotesIndex->Ready(), c.totals == TIndexTotals::Agree);
    again.NotesIndex->Reset();
    again.NotesIndex->BuildAll();
    EXPECT_EQ(CompareIndexTotals(h), TIndexTotals::Agree);
    EXPECT_EQ(CheckIndexAgainstNotes(h), "");
    again.ADOConnection1->Close();
    Open();
    ExpectExactRows("rebuilt");
    data.ADOConnection1->Close();
  }
}

// Pages of one and then two rows: the streamed list is the one-shot list.
TEST_F(SearchIndex, StreamedRowsAreTheStatementsRowsInItsOrder) {
  Open();
  TNotesSearch search;
  search.SetPageRows(1, 2);
  for (const QString& k : kKeywords) {
    SCOPED_TRACE(k.toStdString());
    for (bool indexed : {true, false}) {
      // With the index, a keyword common enough is scanned instead.
      const TStreamed got = indexed ? Streamed(search, KeywordSearch(k, true), KeywordSearch(k), KeywordIsCommon(k))
                                    : Streamed(search, KeywordSearch(k, false));
      EXPECT_EQ(got.rows, Found(KeywordSearch(k, indexed)));
      EXPECT_FALSE(got.indexFailed);
    }
  }
  // A search still running is cancelled: only the new one's rows arrive.
  search.Start(db.path, KeywordSearch("", false));
  EXPECT_EQ(Streamed(search, KeywordSearch("keyword", true)).rows, Expected("keyword"));

  // The index's pages lost: the rows sent are dropped and the scan's follow.
  RawDb(db.path).Exec("delete from tw_notes_fts_data where id > 10");
  const TStreamed got = Streamed(search, KeywordSearch("hello", true), KeywordSearch("hello", false));
  EXPECT_TRUE(got.indexFailed);
  EXPECT_EQ(got.rows, Expected("hello"));
}

TEST_F(SearchIndex, NotebookStillOpensWhenTheUpgradeFails) {
  // Something of the index's name that cannot be replaced.
  RawDb(db.path).Exec("create view tw_notes_fts_state as select 1 as upto");
  EXPECT_NO_THROW(data.ADOConnection1->Open());
  EXPECT_FALSE(data.NotesIndex->Ready());
  EXPECT_EQ(Found(KeywordSearch("hello", false)), Expected("hello"));
}

}  // namespace
