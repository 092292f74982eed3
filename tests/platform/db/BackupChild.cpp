// Starts a slow automatic backup of the notebook given as argument and says
// "copying" once the first step is done, so its parent can kill it midway.
#include <QCoreApplication>
#include <cstdio>

#include "platform/db/Backup.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s NOTEBOOK\n", argv[0]);
    return 2;
  }
  TBackupKeeper keeper(QString::fromLocal8Bit(argv[1]));
  keeper.Options.pagesPerStep = 1;
  keeper.Options.stepBudgetMs = 0;
  keeper.Options.pauseMs = 20;
  bool told = false;
  keeper.Options.progress = [&told](int) {
    if (told) return;
    told = true;
    std::printf("copying\n");
    std::fflush(stdout);
  };
  keeper.OnFinished = [](const QString&) { QCoreApplication::exit(1); };  // too fast to be killed
  keeper.BackUpIfDue();
  return app.exec();
}
