#include "app/Unit2.h"

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
