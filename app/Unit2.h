#pragma once
// The data holder: the one connection to data.mdb and the datasets every
// notes window works through. It has no behaviour of its own.
#include <QObject>

#include "platform/db/Dataset.h"

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
};

// The program's data holder, created at start-up.
extern TData* Data;
