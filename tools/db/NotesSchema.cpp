// Creates new notebooks: the two tables and their indexes, and optionally a
// few sample notes; an existing file is never touched.
#include "tools/db/NotesSchema.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstring>

namespace {

const char* const kSchema =
    "PRAGMA journal_mode=DELETE;"
    "BEGIN;"
    "CREATE TABLE \"类别\" (\"类别\" TEXT);"
    "CREATE TABLE \"笔记\" (\"类别\" TEXT, \"日期\" DATETIME, \"标题\" TEXT, \"内容\" TEXT);"
    // The tree is built one category at a time and notes are found by title.
    "CREATE INDEX \"笔记_类别\" ON \"笔记\" (\"类别\");"
    "CREATE INDEX \"笔记_标题\" ON \"笔记\" (\"标题\");"
    "COMMIT;";

struct DemoNote {
  const char* category;
  int daysAgo;
  const char* title;
  const char* body;
};

const char* const kDemoCategories[] = {"工作", "生活", "读书笔记", "Travel", "Recipes"};

const DemoNote kDemoNotes[] = {
    {"工作", 12, "周会纪要", "1. 本周完成接口联调。\n2. 下周开始性能测试。\n3. 周五前提交文档。"},
    {"工作", 3, "待办事项", "整理需求清单\n回复客户邮件\n预订会议室"},
    {"生活", 20, "购物清单", "牛奶、鸡蛋、面包、苹果"},
    {"生活", 1, "Dentist", "Tuesday 9:30, bring the insurance card."},
    {"读书笔记", 40, "《论语》摘抄",
     "学而时习之，不亦说乎？有朋自远方来，不亦乐乎？\n\n"
     "温故而知新，可以为师矣。\n\n"
     "三人行，必有我师焉。择其善者而从之，其不善者而改之。"},
    {"Travel", 60, "Packing list",
     "Clothes: two shirts, a warm jacket, walking shoes.\n\n"
     "Documents: passport, tickets, hotel booking.\n\n"
     "Other: charger, adapter, a book for the train."},
    {"Recipes", 8, "番茄炒蛋", "鸡蛋打散，番茄切块。\n先炒蛋盛出，再炒番茄，最后合炒，加盐少许。"},
    {"Recipes", 5, "Pancakes", "1 cup flour, 1 egg, 1 cup milk, a pinch of salt.\nRest the batter 10 minutes."},
};

void Exec(sqlite3* db, const char* sql) {
  char* err = nullptr;
  if (sqlite3_exec(db, sql, nullptr, nullptr, &err) != SQLITE_OK) {
    const QString msg = QString::fromUtf8(err ? err : sqlite3_errmsg(db));
    sqlite3_free(err);
    throw EError(msg);
  }
}

void Insert(sqlite3* db, const char* sql, const QStringList& values) {
  sqlite3_stmt* st = nullptr;
  if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) != SQLITE_OK)
    throw EError(QString::fromUtf8(sqlite3_errmsg(db)));
  std::vector<QByteArray> keep;
  for (int i = 0; i < values.size(); ++i) {
    keep.push_back(values[i].toUtf8());
    sqlite3_bind_text(st, i + 1, keep.back().constData(), int(keep.back().size()), SQLITE_STATIC);
  }
  const int rc = sqlite3_step(st);
  sqlite3_finalize(st);
  if (rc != SQLITE_DONE) throw EError(QString::fromUtf8(sqlite3_errmsg(db)));
}

void AddDemo(sqlite3* db) {
  Exec(db, "BEGIN");
  for (const char* c : kDemoCategories)
    Insert(db, "insert into \"类别\" (\"类别\") values (?)", {QString::fromUtf8(c)});
  const QDateTime now = QDateTime::currentDateTime();
  for (const DemoNote& n : kDemoNotes) {
    const QString date = now.addDays(-n.daysAgo).toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
    Insert(db, "insert into \"笔记\" (\"类别\",\"日期\",\"标题\",\"内容\") values (?,?,?,?)",
           {QString::fromUtf8(n.category), date, QString::fromUtf8(n.title),
            QString::fromUtf8(n.body)});
  }
  Exec(db, "COMMIT");
}

}  // namespace

void CreateNotesDatabase(const QString& path, bool demo, const QStringList& categories) {
  const QString shown = QDir::toNativeSeparators(path);
  const QByteArray native = QFile::encodeName(path);
  // Claim the name first: O_EXCL makes "already there" a failure, even if the
  // file appears between a check and the creation.
  const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) {
    const int err = errno;
    if (err == EEXIST)
      throw EError(QStringLiteral("\"%1\" already exists; it was not changed. Choose a new file name.")
                       .arg(shown));
    throw EError(QStringLiteral("Cannot create \"%1\": %2").arg(shown, QString::fromLocal8Bit(std::strerror(err))));
  }
  ::close(fd);

  sqlite3* db = nullptr;
  try {
    if (sqlite3_open_v2(native.constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
      throw EError(QString::fromUtf8(sqlite3_errmsg(db)));
    Exec(db, kSchema);
    if (demo) AddDemo(db);
    for (const QString& c : categories) Insert(db, "insert into \"类别\" (\"类别\") values (?)", {c});
    if (sqlite3_close(db) != SQLITE_OK) throw EError(QString::fromUtf8(sqlite3_errmsg(db)));
    db = nullptr;
  } catch (const EError& e) {
    sqlite3_close_v2(db);
    QFile::remove(path);
    throw EError(QStringLiteral("Cannot create \"%1\": %2").arg(shown, e.Message()));
  }
}
