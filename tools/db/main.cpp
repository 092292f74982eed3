// tarnwick-db: creates notebooks and looks after them from the command line:
// backup, restore, check, and export to or import from Markdown files.
#include <QCoreApplication>
#include <QStringList>
#include <cstdio>
#include <functional>
#include <map>

#include "platform/db/Backup.h"
#include "tools/db/MarkdownNotes.h"
#include "tools/db/NotebookCare.h"
#include "tools/db/NotesSchema.h"

namespace {

const char* const kUsage =
    "Usage: tarnwick-db init [--demo] [--category NAME]... PATH\n"
    "       tarnwick-db backup PATH DEST\n"
    "       tarnwick-db restore BACKUP PATH\n"
    "       tarnwick-db check PATH\n"
    "       tarnwick-db export PATH DIR\n"
    "       tarnwick-db import DIR PATH\n"
    "       tarnwick-db [COMMAND] --help | --version\n";

const char* const kAbout =
    "\n"
    "Creates and looks after Tarnwick notebooks (the program keeps its notebook\n"
    "as data.mdb in its working folder, ~/.local/share/tarnwick):\n"
    "  init      create a new, empty notebook\n"
    "  backup    copy a notebook, even while Tarnwick has it open\n"
    "  restore   put a backup back in place of a notebook\n"
    "  check     look a notebook and its search index over for damage\n"
    "  export    write every note as a Markdown file\n"
    "  import    read Markdown files back into a notebook\n"
    "Run \"tarnwick-db COMMAND --help\" for one command's details.\n"
    "\n"
    "Exit status: 0 on success, 1 when the work failed (or check found\n"
    "damage), 2 for a wrong call.\n";

struct Command {
  const char* synopsis;
  const char* help;
  int operands;
  QString operandNames;
  std::function<int(const QStringList& operands, const QStringList& categories, bool demo)> run;
};

void Print(const QString& line) { std::printf("%s\n", line.toUtf8().constData()); }

const std::map<QString, Command>& Commands() {
  static const std::map<QString, Command> commands = {
      {"init",
       {"init [--demo] [--category NAME]... PATH",
        "Creates PATH as a new, empty notebook. An existing file is never replaced.\n"
        "  --demo            also add a few categories and notes\n"
        "  --category NAME   start with the category NAME (may be given again)\n",
        1, "PATH",
        [](const QStringList& a, const QStringList& categories, bool demo) {
          CreateNotesDatabase(a[0], demo, categories);
          Print(QStringLiteral("Created %1%2").arg(a[0], demo ? QStringLiteral(" with sample notes") : QString()));
          return 0;
        }}},
      {"backup",
       {"backup PATH DEST",
        "Copies the notebook PATH to the new file DEST through SQLite's online\n"
        "backup, so it is safe while Tarnwick has the notebook open. The copy is\n"
        "checked before it takes its name; an existing DEST is never replaced.\n",
        2, "PATH DEST",
        [](const QStringList& a, const QStringList&, bool) {
          BackupNotebook(a[0], a[1]);
          Print(QStringLiteral("Backed up %1 to %2").arg(a[0], a[1]));
          return 0;
        }}},
      {"restore",
       {"restore BACKUP PATH",
        "Puts the notebook copy BACKUP in place of PATH. Refused while Tarnwick\n"
        "(or any program) has PATH open. The replaced notebook is kept as\n"
        "PATH.before-restore; BACKUP itself is not changed.\n",
        2, "BACKUP PATH",
        [](const QStringList& a, const QStringList&, bool) {
          Print(RestoreNotebook(a[0], a[1]));
          return 0;
        }}},
      {"check",
       {"check PATH",
        "Runs SQLite's integrity check on the notebook PATH and Tarnwick's check\n"
        "of its search index. Exits with 1 and says what is wrong when either\n"
        "finds damage (a damaged search index is cleared, to be rebuilt).\n",
        1, "PATH",
        [](const QStringList& a, const QStringList&, bool) {
          const TCheckReport r = CheckNotebook(a[0]);
          for (const QString& line : r.lines) Print(line);
          if (!r.damaged) return 0;
          std::fprintf(stderr,
                       "tarnwick-db: %s is damaged. Restore a backup (tarnwick-db restore), or export\n"
                       "what can still be read (tarnwick-db export) into a new notebook.\n",
                       qPrintable(a[0]));
          return 1;
        }}},
      {"export",
       {"export PATH DIR",
        "Writes every note of the notebook PATH as a Markdown file under DIR:\n"
        "one folder per category, one NAME.md per note with its title, category\n"
        "and date in front matter. Names are made safe for every file system;\n"
        "no file is ever replaced (a taken name gets \" (2)\").\n",
        2, "PATH DIR",
        [](const QStringList& a, const QStringList&, bool) {
          const TTransferCount n = ExportNotes(a[0], a[1]);
          Print(QStringLiteral("Exported %1 notes in %2 folders to %3").arg(n.notes).arg(n.categories).arg(a[1]));
          return 0;
        }}},
      {"import",
       {"import DIR PATH",
        "Reads the Markdown files under DIR (as export writes them; a file\n"
        "without front matter takes its folder as category and its name as\n"
        "title) into the notebook PATH, creating it if missing and adding the\n"
        "categories it lacks. All in one transaction: a failure adds nothing.\n",
        2, "DIR PATH",
        [](const QStringList& a, const QStringList&, bool) {
          const TTransferCount n = ImportNotes(a[0], a[1]);
          Print(QStringLiteral("Imported %1 notes into %2 (%3 new categories)").arg(n.notes).arg(a[1]).arg(n.categories));
          return 0;
        }}},
  };
  return commands;
}

// A wrong call: the problem and the usage on standard error, exit code 2.
int Usage(const QString& problem) {
  std::fprintf(stderr, "tarnwick-db: %s\n\n", qPrintable(problem));
  std::fputs(kUsage, stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QStringList args = app.arguments().mid(1);
  const auto& commands = Commands();
  const auto command = args.isEmpty() ? commands.end() : commands.find(args[0]);
  // Asked for anywhere, help and version win over everything else.
  if (args.contains("-h") || args.contains("--help")) {
    if (command == commands.end()) {
      std::fputs(kUsage, stdout);
      std::fputs(kAbout, stdout);
    } else {
      std::printf("Usage: tarnwick-db %s\n\n%s", command->second.synopsis, command->second.help);
    }
    return 0;
  }
  if (args.contains("--version")) {
    std::printf("tarnwick-db %s\n", TW_VERSION);
    return 0;
  }
  if (args.isEmpty()) return Usage(QStringLiteral("no command given"));
  if (command == commands.end()) return Usage(QStringLiteral("unknown command \"%1\"").arg(args[0]));
  args.removeFirst();
  bool demo = false;
  QStringList categories, operands;
  const bool init = command->first == QLatin1String("init");
  for (qsizetype i = 0; i < args.size(); ++i) {
    const QString& a = args[i];
    if (init && a == "--demo") {
      demo = true;
    } else if (init && a == "--category") {
      if (i + 1 >= args.size() || args[i + 1].isEmpty()) return Usage(QStringLiteral("--category needs a NAME"));
      categories << args[++i];
    } else if (a.startsWith('-') && a != "-") {
      return Usage(QStringLiteral("unknown option \"%1\"").arg(a));
    } else {
      operands << a;
    }
  }
  if (operands.size() != command->second.operands)
    return Usage(QStringLiteral("\"%1\" needs %2").arg(command->first, command->second.operandNames));
  try {
    return command->second.run(operands, categories, demo);
  } catch (const EError& e) {
    std::fprintf(stderr, "tarnwick-db: %s\n", qPrintable(e.Message()));
    return 1;
  }
}
