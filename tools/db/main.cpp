// tarnwick-db: creates a new notes database for first use and for tests.
#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

#include "tools/db/NotesSchema.h"

namespace {
const char* const kUsage =
    "Usage: tarnwick-db init [--demo] PATH\n"
    "\n"
    "Creates PATH as a new, empty notes database (the program looks for\n"
    "data.mdb in its working folder). An existing file is never replaced.\n"
    "  --demo   also add a few categories and notes\n";

int Usage(const char* problem) {
  if (problem) std::fprintf(stderr, "tarnwick-db: %s\n\n", problem);
  std::fputs(kUsage, problem ? stderr : stdout);
  return 2;
}
}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QStringList args = app.arguments().mid(1);
  if (args.isEmpty()) return Usage("no command given");
  if (args[0] == "-h" || args[0] == "--help") {
    Usage(nullptr);
    return 0;
  }
  if (args[0] != "init") return Usage(qPrintable(QStringLiteral("unknown command \"%1\"").arg(args[0])));
  args.removeFirst();
  bool demo = false;
  QString path;
  for (const QString& a : args) {
    if (a == "--demo") {
      demo = true;
    } else if (a.startsWith('-') && a != "-") {
      return Usage(qPrintable(QStringLiteral("unknown option \"%1\"").arg(a)));
    } else if (path.isEmpty()) {
      path = a;
    } else {
      return Usage("more than one PATH given");
    }
  }
  if (path.isEmpty()) return Usage("no PATH given");
  try {
    CreateNotesDatabase(path, demo);
  } catch (const EError& e) {
    std::fprintf(stderr, "tarnwick-db: %s\n", qPrintable(e.Message()));
    return 1;
  }
  std::printf("Created %s%s\n", qPrintable(path), demo ? " with sample notes" : "");
  return 0;
}
