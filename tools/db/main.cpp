// tarnwick-db: creates a new notes database for first use and for tests.
#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

#include "tools/db/NotesSchema.h"

namespace {
const char* const kUsage =
    "Usage: tarnwick-db init [--demo] PATH\n"
    "       tarnwick-db --help | --version\n"
    "\n"
    "Creates PATH as a new, empty notes database (the program looks for\n"
    "data.mdb in its working folder). An existing file is never replaced.\n"
    "  --demo      also add a few categories and notes\n"
    "  --help      show this text and exit\n"
    "  --version   show the version and exit\n";

// A wrong call: the problem and the usage on standard error, exit code 2.
int Usage(const char* problem) {
  std::fprintf(stderr, "tarnwick-db: %s\n\n", problem);
  std::fputs(kUsage, stderr);
  return 2;
}
}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QStringList args = app.arguments().mid(1);
  // Asked for anywhere, help and version win over everything else.
  if (args.contains("-h") || args.contains("--help")) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (args.contains("--version")) {
    std::printf("tarnwick-db %s\n", TW_VERSION);
    return 0;
  }
  if (args.isEmpty()) return Usage("no command given");
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
