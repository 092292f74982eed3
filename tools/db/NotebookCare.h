#pragma once
// Looking after a notebook from the command line: checking it, and putting a
// backup back in its place.
#include <QString>
#include <QStringList>

#include "platform/Errors.h"

// Another process that has the file open, as "name (process N)", or empty.
QString HolderOf(const QString& path);

// Puts the notebook copy `backup` in place of `path`. Refuses while another
// process has `path` open; keeps the replaced file as
// path + ".before-restore" (and refuses if that name is taken, so no earlier
// state is lost). The copy is checked before anything is moved. Raises EError.
// Returns a line saying what was done.
QString RestoreNotebook(const QString& backup, const QString& path);

struct TCheckReport {
  QStringList lines;  // what was looked at, one finding per line
  bool damaged = false;
};

// The file's integrity check and the search index's own check. Raises EError
// when the file cannot be read as a notebook at all.
TCheckReport CheckNotebook(const QString& path);
