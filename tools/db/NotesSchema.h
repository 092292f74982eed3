#pragma once
// Creating a new, empty notes database (optionally with a few sample notes).
#include <QString>
#include <QStringList>

#include "platform/Errors.h"

// Creates PATH as a new database with the tables 类别 and 笔记. Never
// replaces an existing file. With `demo`, adds a handful of categories and
// notes; `categories` are added as they are. Raises EError with a clear text;
// nothing is left behind on failure.
void CreateNotesDatabase(const QString& path, bool demo, const QStringList& categories = {});
