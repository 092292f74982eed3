#pragma once
// The data holder: the one connection to data.mdb and the datasets every
// notes window works through. It has no behaviour of its own.
#include <QObject>
#include <functional>

#include "platform/db/Dataset.h"

class TNotesIndex;

class TData : public QObject {
  Q_OBJECT
 public:
  explicit TData(QObject* owner = nullptr);
  ~TData() override;

  // The connection string, pair by pair, exactly as the program stores it.
  static const QString& StoredConnectionString();

  TADOConnection* ADOConnection1;
  TADOTable* LB;   // table 类别
  TADOTable* BZ;   // table 笔记
  TADOQuery* QBZ;  // notes of one category, while the tree is built
  TADOQuery* ADOQuery1;
  TADOQuery* ADOQuery2;
  TADOQuery* ADOQuery3;  // search results; stored text "select * from 笔记"
  TADOQuery* ADOQuery4;
  // The keyword search index, brought up to date when the connection opens.
  TNotesIndex* NotesIndex;

  // Renames the category whose row is `selected`'s current row, re-filing its
  // notes first, all in one transaction: a crash or an error part way leaves
  // both as they were. `betweenSteps` runs after the re-filing (for tests).
  void RenameCategory(TADOQuery& selected, const QString& newName,
                      const std::function<void()>& betweenSteps = {});
  // The same rename as one write to run on a worker (WriteRow): re-filing a
  // note of hundreds of megabytes writes it whole again, for seconds.
  TRowWrite RenameCategoryWrite(TADOQuery& selected, const QString& newName);
  // Whether a note filed under `category` has a title or body too wide for
  // the index, as the built index lists them (false until it is built).
  bool CategoryHoldsAWideNote(const QString& category);
};

// "<what>: <the reason in plain words>. Your text is still in the window."
// for a change the database refused.
QString NotSavedMessage(const QString& what, const EDatabaseError& e);

// The program's data holder, created at start-up.
extern TData* Data;
