// Saves notes into the database given as argument until it is killed,
// telling its parent each note that Post has returned for:
//   "S <n>"  note <n> saved, "E <n>"  note <n> changed afterwards.
#include <cstdio>

#include "platform/db/Dataset.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s DATABASE ROUND\n", argv[0]);
    return 2;
  }
  const QString round = QString::fromUtf8(argv[2]);
  TADOConnection conn;
  conn.ConnectionString = QStringLiteral("Data Source=%1").arg(QString::fromUtf8(argv[1]));
  conn.RequiredTables = {{QStringLiteral("笔记"), {"类别", "日期", "标题", "内容"}}};
  TADOTable notes;
  notes.Connection = &conn;
  notes.TableName = QStringLiteral("笔记");
  TADOQuery one;
  one.Connection = &conn;
  // Big bodies make each commit long enough to be caught half way.
  const QString body = QString(40000, QChar(u'记'));
  try {
    notes.Open();
    std::printf("R\n");
    std::fflush(stdout);
    for (int n = 0;; ++n) {
      notes.Insert();
      notes.FieldByName("类别").SetAsString(QStringLiteral("崩溃"));
      notes.FieldByName("日期").SetAsDateTime(QDateTime::currentDateTime());
      notes.FieldByName("标题").SetAsString(QStringLiteral("r%1-n%2").arg(round).arg(n));
      notes.FieldByName("内容").SetAsString(body + QString::number(n));
      notes.Post();
      std::printf("S %d\n", n);
      std::fflush(stdout);
      if (n % 3 == 2) {
        one.Close();
        one.SetSQL({QStringLiteral("select * from 笔记 where 标题=?"),
                    {QStringLiteral("r%1-n%2").arg(round).arg(n - 1)}});
        one.Open();
        one.Edit();
        one.FieldByName("内容").SetAsString(QStringLiteral("edited"));
        one.Post();
        std::printf("E %d\n", n - 1);
        std::fflush(stdout);
      }
    }
  } catch (const EError& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
}
