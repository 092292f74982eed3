// Export to and import from a folder of Markdown notes. File names are made
// safe for every common file system and never replace a file; the front
// matter keeps the exact category, date and title, so a round trip is exact.
#include "tools/db/MarkdownNotes.h"

#include <sqlite3.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSet>
#include <algorithm>
#include <optional>
#include <vector>

#include "tools/db/NotesSchema.h"

namespace {

// Leaves room for " (NNN).md" within the 255 bytes most file systems allow.
constexpr int kMaxNameBytes = 200;
// Holds a category folder's exact category name, which its folder name may
// have had to change.
const char* const kCategoryMark = ".tarnwick-category";
const char* const kNoCategoryFolder = "(no category)";
const char* const kUntitled = "untitled";
const char* const kDateFormat = "yyyy-MM-ddTHH:mm:ss";

QString Shown(const QString& path) { return QDir::toNativeSeparators(path); }

struct Note {
  std::optional<QString> category, date, title;
  QString body;
  QSet<QString> keys;  // those its file's front matter named
};

// ---- front matter: "key: value" lines, values as JSON strings or null.

QString Quoted(const std::optional<QString>& v) {
  if (!v) return QStringLiteral("null");
  const QByteArray array = QJsonDocument(QJsonArray{*v}).toJson(QJsonDocument::Compact);
  return QString::fromUtf8(array.mid(1, array.size() - 2));
}

std::optional<QString> Unquoted(const QString& v) {
  const QString t = v.trimmed();
  if (t == QLatin1String("null") || t == QLatin1String("~") || t.isEmpty()) return std::nullopt;
  const QJsonDocument d = QJsonDocument::fromJson(("[" + t + "]").toUtf8());
  if (d.isArray() && d.array().size() == 1 && d.array()[0].isString()) return d.array()[0].toString();
  return t;  // written by hand, unquoted
}

QByteArray Render(const Note& n) {
  QString text = QStringLiteral("---\n");
  text += QStringLiteral("title: %1\n").arg(Quoted(n.title));
  text += QStringLiteral("category: %1\n").arg(Quoted(n.category));
  text += QStringLiteral("date: %1\n").arg(Quoted(n.date));
  text += QStringLiteral("---\n");
  return (text + n.body).toUtf8();
}

// A file with front matter gives its fields; one without is all body.
Note Parse(const QString& text) {
  Note n;
  const QString open = QStringLiteral("---\n");
  if (!text.startsWith(open)) {
    n.body = text;
    return n;
  }
  qsizetype at = open.size();
  for (;;) {
    const qsizetype end = text.indexOf('\n', at);
    if (end < 0) {  // never closed: not front matter after all
      n = Note{};
      n.body = text;
      return n;
    }
    const QString line = text.mid(at, end - at);
    at = end + 1;
    if (line == QLatin1String("---")) break;
    const qsizetype colon = line.indexOf(':');
    if (colon < 0) continue;
    const QString key = line.left(colon).trimmed();
    const std::optional<QString> value = Unquoted(line.mid(colon + 1));
    n.keys << key;
    if (key == QLatin1String("title")) n.title = value;
    if (key == QLatin1String("category")) n.category = value;
    if (key == QLatin1String("date")) n.date = value;
  }
  n.body = text.mid(at);
  return n;
}

// ---- the notebook, through the engine directly.

class Db {
 public:
  explicit Db(const QString& path) : path_(path) {
    if (!QFileInfo(path).isFile()) throw EError(QStringLiteral("\"%1\" does not exist or is not a file.").arg(Shown(path)));
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) Fail();
    sqlite3_busy_timeout(db_, 5000);
  }
  ~Db() {
    if (db_ && !sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close_v2(db_);
  }
  Db(const Db&) = delete;
  Db& operator=(const Db&) = delete;

  void Exec(const char* sql) {
    if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) != SQLITE_OK) Fail();
  }
  // Runs sql with the values bound; returns the rows, a null as nullopt.
  std::vector<std::vector<std::optional<QString>>> Rows(const char* sql,
                                                        const std::vector<std::optional<QString>>& values = {}) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db_, sql, -1, &st, nullptr) != SQLITE_OK) Fail();
    for (size_t i = 0; i < values.size(); ++i) {
      if (!values[i]) continue;  // unbound reads as null
      const QByteArray v = values[i]->toUtf8();
      sqlite3_bind_text(st, int(i) + 1, v.constData(), int(v.size()), SQLITE_TRANSIENT);
    }
    std::vector<std::vector<std::optional<QString>>> rows;
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
      auto& row = rows.emplace_back();
      for (int c = 0; c < sqlite3_column_count(st); ++c) {
        if (sqlite3_column_type(st, c) == SQLITE_NULL)
          row.emplace_back();
        else
          row.emplace_back(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, c)),
                                             sqlite3_column_bytes(st, c)));
      }
    }
    sqlite3_finalize(st);
    if (rc != SQLITE_DONE) Fail();
    return rows;
  }

 private:
  [[noreturn]] void Fail() {
    const int code = sqlite3_errcode(db_) & 0xff;
    const QString why = code == SQLITE_NOTADB ? QStringLiteral("it is not an SQLite database")
                                              : QString::fromUtf8(sqlite3_errmsg(db_));
    throw EError(QStringLiteral("Cannot use the notebook \"%1\": %2.").arg(Shown(path_), why));
  }
  QString path_;
  sqlite3* db_ = nullptr;
};

// ---- names and files.

bool Reserved(const QString& name) {
  static const QSet<QString> devices = {"CON", "PRN", "AUX", "NUL"};
  const QString stem = name.section('.', 0, 0).trimmed().toUpper();
  if (devices.contains(stem)) return true;
  return stem.size() == 4 && (stem.startsWith("COM") || stem.startsWith("LPT")) && stem[3] >= '0' && stem[3] <= '9';
}

QString TrimEnd(QString s) {
  while (!s.isEmpty() && (s.back() == '.' || s.back() == ' ')) s.chop(1);
  return s;
}

// "name.md", "name (2).md", ... : the first that can be created new.
QString CreateNew(const QDir& dir, const QString& stem, const QString& suffix, const QByteArray& content) {
  for (int n = 1;; ++n) {
    const QString name = n == 1 ? stem + suffix : QStringLiteral("%1 (%2)%3").arg(stem).arg(n).arg(suffix);
    QFile f(dir.filePath(name));
    if (f.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
      if (f.write(content) != content.size() || !f.flush())
        throw EError(QStringLiteral("Cannot write \"%1\": %2").arg(Shown(f.fileName()), f.errorString()));
      return f.fileName();
    }
    if (!f.exists())
      throw EError(QStringLiteral("Cannot create \"%1\": %2").arg(Shown(f.fileName()), f.errorString()));
  }
}

QString NewFolder(const QDir& parent, const QString& stem) {
  for (int n = 1;; ++n) {
    const QString name = n == 1 ? stem : QStringLiteral("%1 (%2)").arg(stem).arg(n);
    if (parent.exists(name)) continue;
    if (!parent.mkdir(name))
      throw EError(QStringLiteral("Cannot create the folder \"%1\".").arg(Shown(parent.filePath(name))));
    return parent.filePath(name);
  }
}

QString ReadText(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) throw EError(QStringLiteral("Cannot read \"%1\": %2").arg(Shown(path), f.errorString()));
  return QString::fromUtf8(f.readAll());
}

}  // namespace

QString SafeFileName(const QString& name, int maxBytes) {
  static const QString forbidden = QStringLiteral("<>:\"/\\|?*");
  QString s;
  for (const QChar c : name) s += (c.unicode() < 0x20 || c.unicode() == 0x7f || forbidden.contains(c)) ? QChar('_') : c;
  // Trailing dots and spaces vanish on some systems, and a leading dot hides a file.
  s = TrimEnd(s);
  if (s.startsWith('.')) s[0] = '_';
  if (Reserved(s)) s.prepend('_');
  while (s.toUtf8().size() > maxBytes) {
    s.chop(s.size() >= 2 && s.back().isLowSurrogate() ? 2 : 1);
    s = TrimEnd(s);
  }
  return s;
}

TTransferCount ExportNotes(const QString& path, const QString& dirPath) {
  Db db(path);
  const QDir dir(dirPath);
  if (!QDir().mkpath(dirPath)) throw EError(QStringLiteral("Cannot create the folder \"%1\".").arg(Shown(dirPath)));
  // One read transaction: the notes written are one state of the notebook.
  db.Exec("BEGIN");
  TTransferCount count;
  QMap<std::optional<QString>, QString> folders;  // category -> its folder
  auto folderOf = [&](const std::optional<QString>& category) {
    auto it = folders.find(category);
    if (it != folders.end()) return *it;
    QString stem = category ? SafeFileName(*category, kMaxNameBytes) : QString::fromLatin1(kNoCategoryFolder);
    if (stem.isEmpty()) stem = QStringLiteral("_");
    const QString folder = NewFolder(dir, stem);
    if (category) CreateNew(QDir(folder), QString::fromLatin1(kCategoryMark), QString(), category->toUtf8());
    ++count.categories;
    return *folders.insert(category, folder);
  };
  for (const auto& row : db.Rows("select \"类别\" from \"类别\" order by rowid")) folderOf(row[0]);
  for (const auto& row : db.Rows("select \"类别\", \"日期\", \"标题\", \"内容\" from \"笔记\" order by rowid")) {
    const Note n{row[0], row[1], row[2], row[3].value_or(QString()), {}};
    QString stem = n.title ? SafeFileName(*n.title, kMaxNameBytes) : QString();
    if (stem.isEmpty()) stem = QString::fromLatin1(kUntitled);
    CreateNew(QDir(folderOf(n.category)), stem, QStringLiteral(".md"), Render(n));
    ++count.notes;
  }
  db.Exec("COMMIT");
  return count;
}

TTransferCount ImportNotes(const QString& dirPath, const QString& path) {
  const QDir dir(dirPath);
  if (!QFileInfo(dirPath).isDir()) throw EError(QStringLiteral("\"%1\" is not a folder.").arg(Shown(dirPath)));
  // Read everything first: a file that cannot be read stops the import before it writes.
  QStringList categories;
  std::vector<Note> notes;
  auto readFolder = [&](const QDir& folder, const std::optional<QString>& category) {
    for (const QFileInfo& f : folder.entryInfoList({QStringLiteral("*.md")}, QDir::Files, QDir::Name)) {
      Note n = Parse(ReadText(f.filePath()));
      // A file written by hand: its folder, name and time stand for what it does not say.
      if (!n.keys.contains(QStringLiteral("category"))) n.category = category;
      if (!n.keys.contains(QStringLiteral("title"))) n.title = f.completeBaseName();
      if (!n.keys.contains(QStringLiteral("date"))) n.date = f.lastModified().toString(QString::fromLatin1(kDateFormat));
      notes.push_back(std::move(n));
    }
  };
  readFolder(dir, std::nullopt);
  for (const QFileInfo& sub : dir.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
    const QString mark = sub.dir().filePath(sub.fileName() + "/" + kCategoryMark);
    std::optional<QString> category;
    if (QFileInfo::exists(mark)) {
      category = ReadText(mark);
    } else if (sub.fileName() != QLatin1String(kNoCategoryFolder)) {
      category = sub.fileName();
    }
    if (category) categories << *category;
    readFolder(QDir(sub.filePath()), category);
  }
  for (const Note& n : notes)
    if (n.category) categories << *n.category;

  const bool created = !QFileInfo::exists(path);
  if (created) CreateNotesDatabase(path, false);
  TTransferCount count;
  try {
    Db db(path);
    db.Exec("BEGIN IMMEDIATE");
    QSet<QString> have;
    for (const auto& row : db.Rows("select \"类别\" from \"类别\""))
      if (row[0]) have << *row[0];
    for (const QString& c : categories) {
      if (have.contains(c)) continue;
      db.Rows("insert into \"类别\" (\"类别\") values (?)", {c});
      have << c;
      ++count.categories;
    }
    for (const Note& n : notes)
      db.Rows("insert into \"笔记\" (\"类别\", \"日期\", \"标题\", \"内容\") values (?, ?, ?, ?)",
              {n.category, n.date, n.title, n.body});
    db.Exec("COMMIT");
  } catch (...) {
    if (created) QFile::remove(path);
    throw;
  }
  count.notes = int(notes.size());
  return count;
}
