#pragma once
// A keyword search run on a connection of its own, off the user-interface
// thread: its rows arrive in pages on the event loop, in exactly the
// statement's order, so the window lists the first notes at once and never
// waits for the rest. Starting another search cancels the one running.
#include <QByteArray>
#include <QObject>
#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "platform/db/Dataset.h"

// Rows as the statement returned them: row ids and titles as one block of
// UTF-8 text, ends[i] the end of title i.
struct TResultPage {
  std::vector<qint64> rowids;
  std::vector<quint32> ends;
  QByteArray text;
};

class TNotesSearch : public QObject {
  Q_OBJECT
 public:
  explicit TNotesSearch(QObject* owner = nullptr);
  ~TNotesSearch() override;

  // Runs `statement` over the database file `path`. When `fallback` is given
  // and the statement fails (a damaged index), its rows are dropped
  // (Restarted) and the fallback runs instead. When `common` is given and
  // answers 1, the fallback (the same rows by another way) runs alone.
  void Start(const QString& path, const TStatement& statement, const TStatement& fallback = {},
             const TStatement& common = {});
  // Stops the search running, if any; nothing more of it arrives.
  void Cancel();
  bool Running() const { return running_; }
  // Rows in the first page, and at least in each later one (for tests).
  void SetPageRows(int first, int later) { firstPageRows_ = first, laterPageRows_ = later; }

 signals:
  void Page(const TResultPage& page);
  // The rows sent so far are void: the index failed and the search scans.
  void Restarted();
  // The search ended: `count` rows in all, or an error text.
  void Finished(int count, const QString& error, bool indexFailed);

 private:
  void Run(QString path, TStatement statement, TStatement fallback, TStatement common, int generation);
  // A cancelled search's thread, joined once it says it is done.
  struct TRetired {
    std::thread thread;
    std::shared_ptr<std::atomic<bool>> done;
  };
  std::thread thread_;
  std::vector<TRetired> retired_;
  std::shared_ptr<std::atomic<bool>> cancel_, done_;
  int generation_ = 0;
  bool running_ = false;
  int firstPageRows_ = 200;
  int laterPageRows_ = 4096;
};
