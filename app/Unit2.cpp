// The data holder: the stored connection string, the datasets of the notes
// windows and the one command that changes two tables.
#include "app/Unit2.h"

#include <sqlite3.h>

#include "app/NotesIndex.h"
#include "app/Statements.h"

const QString& TData::StoredConnectionString() {
  static const QString s = QStringLiteral(
      "Provider=Microsoft.Jet.OLEDB.4.0;"
      "User ID=Admin;"
      "Data Source=data.mdb;"
      "Mode=Share Deny None;"
      "Extended Properties=\"\";"
      "Persist Security Info=False;"
      "Jet OLEDB:System database=\"\";"
      "Jet OLEDB:Registry Path=\"\";"
      "Jet OLEDB:Database Password=\"\";"
      "Jet OLEDB:Engine Type=5;"
      "Jet OLEDB:Database Locking Mode=1;"
      "Jet OLEDB:Global Partial Bulk Ops=2;"
      "Jet OLEDB:Global Bulk Transactions=1;"
      "Jet OLEDB:New Database Password=\"\";"
      "Jet OLEDB:Create System Database=False;"
      "Jet OLEDB:Encrypt Database=False;"
      "Jet OLEDB:Don't Copy Locale on Compact=False;"
      "Jet OLEDB:Compact Without Replica Repair=False;"
      "Jet OLEDB:SFP=False");
  return s;
}

namespace {
template <class T>
T* Make(QObject* owner, TADOConnection* connection, const char* name) {
  auto* ds = new T(owner);
  ds->setObjectName(QLatin1String(name));
  ds->Connection = connection;
  return ds;
}
}  // namespace

TData::TData(QObject* owner) : QObject(owner) {
  setObjectName(QStringLiteral("Data"));
  ADOConnection1 = new TADOConnection(this);
  ADOConnection1->setObjectName(QStringLiteral("ADOConnection1"));
  ADOConnection1->ConnectionString = StoredConnectionString();
  ADOConnection1->LoginPrompt = false;
  // Only a file with both tables and every column the windows use is ours.
  ADOConnection1->RequiredTables = {
      {QStringLiteral("类别"), {QStringLiteral("类别")}},
      {QStringLiteral("笔记"),
       {QStringLiteral("类别"), QStringLiteral("日期"), QStringLiteral("标题"), QStringLiteral("内容")}},
  };

  LB = Make<TADOTable>(this, ADOConnection1, "LB");
  LB->TableName = QStringLiteral("类别");
  BZ = Make<TADOTable>(this, ADOConnection1, "BZ");
  BZ->TableName = QStringLiteral("笔记");
  QBZ = Make<TADOQuery>(this, ADOConnection1, "QBZ");
  ADOQuery1 = Make<TADOQuery>(this, ADOConnection1, "ADOQuery1");
  ADOQuery2 = Make<TADOQuery>(this, ADOConnection1, "ADOQuery2");
  ADOQuery3 = Make<TADOQuery>(this, ADOConnection1, "ADOQuery3");
  ADOQuery3->AddSQL(QStringLiteral("select * from 笔记"));
  ADOQuery4 = Make<TADOQuery>(this, ADOConnection1, "ADOQuery4");
  NotesIndex = new TNotesIndex(ADOConnection1, this);
  ADOConnection1->AfterConnect = [this](TADOConnection&) { NotesIndex->Upgrade(); };
}

void TData::RenameCategory(TADOQuery& selected, const QString& newName,
                           const std::function<void()>& betweenSteps) {
  const QString oldName = selected.FieldByName(QStringLiteral("类别")).AsString();
  ADOConnection1->BeginTrans();
  try {
    ExecStatement(*ADOQuery2, RefileNotes(newName, oldName));
    if (betweenSteps) betweenSteps();
    selected.Edit();
    selected.FieldByName(QStringLiteral("类别")).SetAsString(newName);
    selected.Post();
    ADOConnection1->CommitTrans();
  } catch (...) {
    selected.Cancel();
    ADOConnection1->RollbackTrans();
    throw;
  }
}

TRowWrite TData::RenameCategoryWrite(TADOQuery& selected, const QString& newName) {
  const QString oldName = selected.FieldByName(QStringLiteral("类别")).AsString();
  try {
    selected.Edit();
    selected.FieldByName(QStringLiteral("类别")).SetAsString(newName);
    TRowWrite write = selected.TakeEdit();
    write.before = {RefileNotes(newName, oldName)};
    return write;
  } catch (...) {
    selected.Cancel();
    throw;
  }
}

bool TData::CategoryHoldsAWideNote(const QString& category) {
  // Until the index is built only reading the bodies could tell.
  if (!NotesIndex->Ready()) return false;
  bool found = false;
  try {
    ADOConnection1->ReadRows({QStringLiteral("select exists (select 1 from tw_notes_wide w join 笔记 n on "
                                             "n.rowid = w.id where n.类别 = ?)"),
                              {category}},
                             [&](const TRowReader& row) { found = row.Int(0) != 0; });
  } catch (const EDatabaseError&) {
    return false;
  }
  return found;
}

// Datasets go before the connection they use.
TData::~TData() {
  for (TDataSet* ds : {static_cast<TDataSet*>(LB), static_cast<TDataSet*>(BZ),
                       static_cast<TDataSet*>(QBZ), static_cast<TDataSet*>(ADOQuery1),
                       static_cast<TDataSet*>(ADOQuery2), static_cast<TDataSet*>(ADOQuery3),
                       static_cast<TDataSet*>(ADOQuery4)})
    ds->Close();
  ADOConnection1->Close();
}

QString NotSavedMessage(const QString& what, const EDatabaseError& e) {
  QString why;
  if (const auto* engine = dynamic_cast<const ESqliteError*>(&e)) {
    switch (engine->Code()) {
      case SQLITE_READONLY:
      case SQLITE_PERM:
      case SQLITE_CANTOPEN:
        why = QStringLiteral("the notebook file cannot be written (it or its folder is read-only); "
                             "allow writing to both, then try again");
        break;
      case SQLITE_FULL:
        why = QStringLiteral("the disk is full");
        break;
      case SQLITE_BUSY:
      case SQLITE_LOCKED:
        why = QStringLiteral("another program is writing to the notebook; try again in a moment");
        break;
      case SQLITE_IOERR:
        why = QStringLiteral("the disk reported an error while writing");
        break;
      case SQLITE_CORRUPT:
      case SQLITE_NOTADB:
        why = QStringLiteral("the notebook file is damaged");
        break;
      default:
        break;
    }
  }
  why = why.isEmpty() ? e.Message() : why + " (" + e.Message() + ")";
  return what + ": " + why + ". Your text is still in the window.";
}
