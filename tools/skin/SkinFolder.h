#pragma once
// The files a skin package unpacks to, and writing them into a folder
// without ever leaving it or replacing anything already there.
#include <QByteArray>
#include <QList>
#include <QString>

struct TtwSkinPackage;
struct TtwSkinPicturesInfo;

struct TSkinFile {
  QString name;  // relative to the skin folder, parts separated by "/"
  QByteArray bytes;
};

// Every file of the folder `pkg` unpacks to: its pictures under the names
// the description gives them, then skin.ini. Raises EError when a name is
// empty, absolute, holds a control character or a ".." part, or when the
// names and pictures do not match; nothing is written.
QList<TSkinFile> PlanSkinFolder(const TtwSkinPackage& pkg, const TtwSkinPicturesInfo& names);

// Creates `dir` when missing and writes `files` into it. The folder must be
// new or empty; no file or folder inside is reached through a link, and
// every file is created new (never opened through a link or over an
// existing name). On failure what was written is removed again and EError
// says why.
void WriteSkinFolder(const QString& dir, const QList<TSkinFile>& files);
