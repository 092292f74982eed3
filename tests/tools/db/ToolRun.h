#pragma once
// Runs tarnwick-db as a user does and keeps what it said.
#include <QProcess>
#include <QString>
#include <QStringList>

struct ToolRun {
  int code;
  QString out, err;
};

inline ToolRun Tool(const QStringList& args) {
  QProcess p;
  p.start(QStringLiteral(TW_DB_TOOL), args);
  p.waitForFinished(60000);
  return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
          QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}
