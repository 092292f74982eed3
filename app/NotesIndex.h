#pragma once
// The keyword search index: an FTS5 trigram index over the notes' titles and
// bodies. It only narrows the search; the search's own test decides, so the
// rows found are exactly those a full scan finds.
#include <QObject>

class QTimer;
class TADOConnection;

class TNotesIndex : public QObject {
  Q_OBJECT
 public:
  TNotesIndex(TADOConnection* connection, QObject* owner);

  // Brings an opened notebook up to date: creates the index (or drops and
  // recreates a damaged one) and starts building it in steps. A failure
  // leaves the notebook usable, with searches that scan; it never throws.
  void Upgrade();
  // Searches may take their candidates from the index: it covers every note.
  bool Ready();
  // Indexes notes for about budgetMs; true once the index is complete.
  bool BuildStep(int budgetMs);
  // Builds to the end at once (tools, tests and benchmarks).
  void BuildAll();
  // Drops the index and builds it again in steps: after a search found it damaged.
  void Reset();
  // Looks over about budgetMs worth of notes, in rowid order from where the
  // last step stopped, for one the index would not find (or whose damaged
  // pages fail to read), and resets a damaged index. True once every note of
  // a complete index was looked at and none was missing; false also when it
  // waited (the connection wrote since the last step). A pass runs at idle
  // after each open and each build.
  bool CheckStep(int budgetMs);
  // Whether the last check found damage and reset the index (for tests).
  bool FoundDamage() const { return foundDamage_; }

 private:
  void ScheduleBuild();
  void ScheduleCheck();
  TADOConnection* connection_;
  QTimer* timer_;
  QTimer* checkTimer_;
  int batch_ = 64;  // rows per step, adapted to the time budget
  int checkBatch_ = 64;
  qint64 checkedUpto_ = -1;  // rowid the check has reached in this pass
  qint64 seenChanges_ = -1;  // the connection's changes when the check last looked
  bool foundDamage_ = false;
};
