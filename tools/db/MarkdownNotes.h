#pragma once
// A notebook as a folder of Markdown files: one folder per category, one file
// per note, with the note's category, date and title in front matter, so that
// an import gives back exactly the notes an export wrote.
#include <QString>

#include "platform/Errors.h"

// A name every common file system takes: no separators, control or reserved
// characters, no "." or "..", no reserved device name, no trailing dot or
// space, and at most `maxBytes` bytes of UTF-8 (cut at a character).
QString SafeFileName(const QString& name, int maxBytes);

struct TTransferCount {
  int notes = 0;
  int categories = 0;
};

// Writes every note of the notebook `path` under `dir` (created if missing).
// Never overwrites a file: a name taken gets " (2)", " (3)" ... Raises EError.
TTransferCount ExportNotes(const QString& path, const QString& dir);

// Reads the layout ExportNotes writes (and plain .md files, whose folder is
// their category and whose name is their title) into the notebook `path`,
// creating it if missing, adding the categories it lacks; all in one
// transaction, so a failure adds nothing. Raises EError.
TTransferCount ImportNotes(const QString& dir, const QString& path);
