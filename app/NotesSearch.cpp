// Runs a search statement on a worker thread with its own read-only
// connection; pages reach the owner's thread in order, and a cancelled
// search's pages never do.
#include "app/NotesSearch.h"

#include <sqlite3.h>

#include <QElapsedTimer>
#include <QUrl>

namespace {

constexpr int kBusyTimeoutMs = 5000;
// Later pages wait at most this long, so a slow scan still shows progress.
constexpr qint64 kPageIntervalMs = 50;
// How often (in engine steps) a running statement looks for cancellation.
constexpr int kCancelCheckSteps = 1000;

struct TRunResult {
  int count = 0;
  QString error;
};

}  // namespace

TNotesSearch::TNotesSearch(QObject* owner) : QObject(owner) { qRegisterMetaType<TResultPage>(); }

TNotesSearch::~TNotesSearch() {
  Cancel();
  for (TRetired& r : retired_) r.thread.join();
}

void TNotesSearch::Cancel() {
  ++generation_;  // queued pages of the old search are dropped
  if (cancel_) cancel_->store(true);
  // The statement stops at its next check, but one step over a huge note
  // (reading it, or matching it) takes as long as the note is big: the
  // thread finishes on its own and is joined once it has.
  if (thread_.joinable()) retired_.push_back({std::move(thread_), done_});
  std::erase_if(retired_, [](TRetired& r) {
    if (!r.done->load()) return false;
    r.thread.join();
    return true;
  });
  running_ = false;
}

void TNotesSearch::Start(const QString& path, const TStatement& statement, const TStatement& fallback,
                         const TStatement& common) {
  Cancel();
  cancel_ = std::make_shared<std::atomic<bool>>(false);
  done_ = std::make_shared<std::atomic<bool>>(false);
  running_ = true;
  thread_ = std::thread(&TNotesSearch::Run, this, path, statement, fallback, common, generation_);
}

namespace {

// One statement, its rows handed to `page` in pages; the count or the error.
TRunResult RunStatementPaged(sqlite3* db, const TStatement& st, int firstRows, int laterRows,
                             const std::function<void(TResultPage&&)>& page) {
  TRunResult result;
  sqlite3_stmt* s = nullptr;
  const QByteArray sql = st.sql.toUtf8();
  if (sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &s, nullptr) != SQLITE_OK) {
    result.error = QString::fromUtf8(sqlite3_errmsg(db));
    return result;
  }
  std::vector<QByteArray> keep;
  for (int i = 0; i < st.params.size(); ++i) {
    keep.push_back(st.params[i].toString().toUtf8());
    sqlite3_bind_text64(s, i + 1, keep.back().isNull() ? "" : keep.back().constData(),
                        sqlite3_uint64(keep.back().size()), SQLITE_STATIC, SQLITE_UTF8);
  }
  TResultPage current;
  QElapsedTimer sinceLast;
  sinceLast.start();
  bool first = true;
  int rc;
  while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
    current.rowids.push_back(sqlite3_column_int64(s, 0));
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(s, 1));
    current.text.append(p ? p : "", sqlite3_column_bytes(s, 1));
    current.ends.push_back(quint32(current.text.size()));
    ++result.count;
    const int rows = int(current.rowids.size());
    if (first ? rows >= firstRows : rows >= laterRows || sinceLast.elapsed() >= kPageIntervalMs) {
      page(std::move(current));
      current = TResultPage();
      first = false;
      sinceLast.restart();
    }
  }
  if (rc != SQLITE_DONE) result.error = QString::fromUtf8(sqlite3_errmsg(db));
  sqlite3_finalize(s);
  if (result.error.isEmpty() && !current.rowids.empty()) page(std::move(current));
  return result;
}

}  // namespace

void TNotesSearch::Run(QString path, TStatement statement, TStatement fallback, TStatement common,
                       int generation) {
  const std::shared_ptr<std::atomic<bool>> cancel = cancel_;
  struct TDone {
    std::shared_ptr<std::atomic<bool>> flag;
    ~TDone() { flag->store(true); }
  } done{done_};
  // Each report runs on the owner's thread only while this search is current.
  auto post = [this, generation](auto f) {
    QMetaObject::invokeMethod(
        this, [this, generation, f = std::move(f)] {
          if (generation == generation_) f();
        },
        Qt::QueuedConnection);
  };
  sqlite3* db = nullptr;
  const QByteArray uri = QUrl::fromLocalFile(path).toEncoded() + "?mode=ro";
  TRunResult result;
  bool indexFailed = false;
  if (sqlite3_open_v2(uri.constData(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX,
                      nullptr) != SQLITE_OK) {
    result.error = QString::fromUtf8(sqlite3_errmsg(db));
  } else {
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    sqlite3_progress_handler(
        db, kCancelCheckSteps, [](void* flag) { return static_cast<std::atomic<bool>*>(flag)->load() ? 1 : 0; },
        cancel.get());
    auto page = [&](TResultPage&& p) {
      post([this, p = std::move(p)] { emit Page(p); });
    };
    // A probe's failure is no answer: the statement runs, and fails or not.
    bool isCommon = false;
    if (!common.sql.isEmpty() && !fallback.sql.isEmpty())
      RunStatementPaged(db, common, 1, 1, [&](TResultPage&& p) { isCommon = p.rowids.at(0) == 1; });
    result = RunStatementPaged(db, isCommon ? fallback : statement, firstPageRows_, laterPageRows_, page);
    if (!result.error.isEmpty() && !fallback.sql.isEmpty() && !cancel->load()) {
      indexFailed = true;
      post([this] { emit Restarted(); });
      result = RunStatementPaged(db, fallback, firstPageRows_, laterPageRows_, page);
    }
  }
  sqlite3_close_v2(db);
  if (cancel->load()) return;
  post([this, result, indexFailed] {
    running_ = false;
    emit Finished(result.count, result.error, indexFailed);
  });
}
