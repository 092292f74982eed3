#pragma once
// Reading the files of a skin folder or a compressed skin file safely: only
// regular files, never more than a skin may take, never blocking on a FIFO.
#include <QByteArray>
#include <QString>
#include <cstdint>

// Reads the whole file at `path` (links are followed to their target). Raises
// EError with a clear text when it cannot be opened, is not a regular file
// (a folder, FIFO, device or socket), or holds more than `maxBytes` bytes.
QByteArray TwReadRegularFile(const QString& path, int64_t maxBytes);
