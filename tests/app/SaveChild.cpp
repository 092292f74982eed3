// Child of the app crash tests: saves notes through the data holder until it
// is killed ("save FOLDER ROUND"), or dies between the two steps of a
// category rename ("rename FOLDER OLD NEW"). Reports "R" when ready and
// "S <n>" once note n is saved.
#include <signal.h>

#include <QCoreApplication>
#include <QDir>
#include <cstdio>

#include "app/Statements.h"
#include "app/Unit2.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = app.arguments().mid(1);
  if (args.size() < 3) return 2;
  QDir::setCurrent(args[1]);
  TData data;
  try {
    if (args[0] == "rename" && args.size() == 4) {
      RunStatement(*data.ADOQuery1, CategoryByName(args[2]));
      std::printf("R\n");
      std::fflush(stdout);
      data.RenameCategory(*data.ADOQuery1, args[3], [] { raise(SIGKILL); });
      return 0;
    }
    const QString body = QString(4000, QChar(u'记')) + QStringLiteral(" 共同词 ");
    data.BZ->OpenForAppend();
    std::printf("R\n");
    std::fflush(stdout);
    for (int n = 0;; ++n) {
      data.BZ->Insert();
      data.BZ->FieldByName("类别").SetAsString(QStringLiteral("崩溃"));
      data.BZ->FieldByName("标题").SetAsString(QStringLiteral("crash%1-%2").arg(args[2]).arg(n));
      data.BZ->FieldByName("内容").SetAsString(body + QString::number(n));
      data.BZ->Post();
      std::printf("S %d\n", n);
      std::fflush(stdout);
    }
  } catch (const EError& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
}
