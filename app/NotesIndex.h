#pragma once
// The keyword search index: an FTS5 trigram index over the notes' titles and
// bodies. It only narrows the search; the search's own test decides, so the
// rows found are exactly those a full scan finds.
#include <QObject>
#include <QString>
#include <atomic>
#include <thread>

struct sqlite3;

// A title or body wider than this (in UTF-8 bytes) is left out of the index:
// tokenizing it would hold a save for seconds (about 6 s for 36 MB), and a
// worker could not do it without holding the file's write lock as long.
// Every search offers such notes, and its own test reads their text.
constexpr qint64 kIndexedTextBytes = 256 * 1024;
class TADOConnection;

// What comparing the totals the triggers keep with the index's own says.
enum class TIndexTotals { Agree, Differ, Unknown /* not kept yet: an older notebook */ };

// Compares, without reading a note, the row the triggers keep (notes indexed,
// trigrams of titles and of bodies, a sum over the last two characters) with
// the index's totals and its table of last characters. Raises on a read error.
TIndexTotals CompareIndexTotals(sqlite3* db);
// Looks every note up in the complete index, in short read transactions;
// empty when each is found as it is, else what is wrong. Reads every note:
// for `tarnwick-db check`, and after the totals differed.
QString CheckIndexAgainstNotes(sqlite3* db);

class TNotesIndex : public QObject {
  Q_OBJECT
 public:
  TNotesIndex(TADOConnection* connection, QObject* owner);
  ~TNotesIndex() override;

  // Brings an opened notebook's index objects up to date (a damaged schema is
  // dropped and recreated) and, with an event loop, starts the worker that
  // builds what is missing and compares the totals. A failure leaves the
  // notebook usable, with searches that scan; it never throws.
  void Upgrade();
  // Searches may take their candidates from the index: it covers every note.
  bool Ready();
  // Indexes notes on the window's connection for about budgetMs; true once
  // the index is complete (tools, tests and benchmarks).
  bool BuildStep(int budgetMs);
  // Builds to the end at once (tools, tests and benchmarks).
  void BuildAll();
  // Drops the index and builds it again: after a search found it damaged.
  void Reset();
  // The worker is building or checking; searches scan meanwhile.
  bool Busy() const { return busy_; }
  // Whether the worker found damage and rebuilt the index (for tests).
  bool FoundDamage() const { return foundDamage_; }
  // Stops the worker and waits for it (also on destruction).
  void Stop();

 signals:
  void BusyChanged(bool busy);

 private:
  void StartWorker();
  void Work(QString path, int generation);
  TADOConnection* connection_;
  std::thread worker_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> foundDamage_{false};
  bool busy_ = false;
  int generation_ = 0;  // a stopped worker's last report is dropped
  int batch_ = 64;  // rows per step, adapted to the time budget
};
