// The data holder keeps the stored connection settings and reports a missing
// notebook at the first open without creating it.
#include <gtest/gtest.h>

#include "app/Statements.h"
#include "app/Unit2.h"
#include "tests/platform/db/TestDb.h"

namespace {

TEST(DataHolder, KeepsTheStoredSettings) {
  TData data;
  const QList<QPair<QString, QString>> pairs = {
      {"Provider", "Microsoft.Jet.OLEDB.4.0"},
      {"User ID", "Admin"},
      {"Data Source", "data.mdb"},
      {"Mode", "Share Deny None"},
      {"Extended Properties", ""},
      {"Persist Security Info", "False"},
      {"Jet OLEDB:System database", ""},
      {"Jet OLEDB:Registry Path", ""},
      {"Jet OLEDB:Database Password", ""},
      {"Jet OLEDB:Engine Type", "5"},
      {"Jet OLEDB:Database Locking Mode", "1"},
      {"Jet OLEDB:Global Partial Bulk Ops", "2"},
      {"Jet OLEDB:Global Bulk Transactions", "1"},
      {"Jet OLEDB:New Database Password", ""},
      {"Jet OLEDB:Create System Database", "False"},
      {"Jet OLEDB:Encrypt Database", "False"},
      {"Jet OLEDB:Don't Copy Locale on Compact", "False"},
      {"Jet OLEDB:Compact Without Replica Repair", "False"},
      {"Jet OLEDB:SFP", "False"},
  };
  QStringList written;
  for (const auto& [k, v] : pairs) written << k + "=" + (v.isEmpty() ? QStringLiteral("\"\"") : v);
  EXPECT_EQ(data.ADOConnection1->ConnectionString, written.join(';'));
  EXPECT_EQ(TADOConnection::ParseConnectionString(data.ADOConnection1->ConnectionString), pairs);
  EXPECT_FALSE(data.ADOConnection1->LoginPrompt);
  EXPECT_FALSE(data.ADOConnection1->Connected());

  EXPECT_EQ(data.LB->TableName, "类别");
  EXPECT_EQ(data.BZ->TableName, "笔记");
  EXPECT_EQ(data.ADOQuery3->SQLText(), "select * from 笔记");
  for (TDataSet* ds : {(TDataSet*)data.LB, (TDataSet*)data.BZ, (TDataSet*)data.QBZ, (TDataSet*)data.ADOQuery1,
                       (TDataSet*)data.ADOQuery2, (TDataSet*)data.ADOQuery3, (TDataSet*)data.ADOQuery4}) {
    EXPECT_EQ(ds->Connection, data.ADOConnection1) << ds->objectName().toStdString();
    EXPECT_FALSE(ds->Active());
  }
}

TEST(DataHolder, MissingDatabaseIsReportedAtFirstOpenAndNotCreated) {
  QTemporaryDir dir;
  InFolder in(dir.path());
  TData data;
  try {
    data.LB->Open();
    FAIL() << "opened a missing file";
  } catch (const EDatabaseError& e) {
    EXPECT_TRUE(e.Message().contains("data.mdb")) << e.what();
  }
  EXPECT_FALSE(QFile::exists(dir.filePath("data.mdb")));
  EXPECT_TRUE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());

  // Once the file is there, the next open succeeds.
  CreateNotesDatabase(dir.filePath("data.mdb"), true);
  data.LB->Open();
  EXPECT_GT(data.LB->RecordCount(), 0);
}

}  // namespace
