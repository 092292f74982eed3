#pragma once
// Copies of a live notebook through SQLite's online backup, and the automatic
// copies kept in backups/ beside it: made at start when the newest is older
// than a day and after each day of running, rotated to 7 daily and 4 weekly.
#include <QDate>
#include <QDateTime>
#include <QObject>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>

#include "platform/Errors.h"

class TwTimer;

struct TBackupOptions {
  // Pages copied by the first step. The notebook's writers wait for one step
  // at most, so later steps take as many pages as fit in stepBudgetMs
  // (0: always pagesPerStep).
  int pagesPerStep = 128;
  int stepBudgetMs = 4;
  // Rest between steps, so a save that waited gets the file.
  int pauseMs = 1;
  // The SQLite file system the copy is written through (tests pass a failing one).
  QString vfs;
  // Called on the copying thread after each step with the pages left.
  std::function<void(int remaining)> progress;
  // Set from another thread to give up between steps.
  const std::atomic<bool>* cancel = nullptr;
};

// Copies the notebook `source` to `dest` through the online backup API, so a
// live notebook is copied as one committed state. The copy is written under
// dest + ".partial" beside it, owner-only, checked with quick_check, synced
// and only then renamed to `dest`; an existing `dest` is never replaced.
// Raises EError with a plain reason; on failure no file is left behind.
void BackupNotebook(const QString& source, const QString& dest, const TBackupOptions& options = {});

// The dated copies to delete so that the 7 newest remain (the daily ones)
// and, from the weeks before the oldest of those, the newest copy of each of
// the 4 latest weeks that have one (the weekly ones).
QList<QDate> BackupsToRemove(QList<QDate> dates);

// Keeps the automatic backups of one notebook. Everything happens on a thread
// with its own connection, so the window never waits for a copy; nothing of
// it ever fails the program's start.
class TBackupKeeper : public QObject {
  Q_OBJECT
 public:
  static constexpr int kKeepDaily = 7;
  static constexpr int kKeepWeekly = 4;
  static constexpr qint64 kMaxAgeMs = 24LL * 60 * 60 * 1000;
  // The look a day after a copy comes a little before the copy, made after
  // its own look began, is a day old: that much younger still counts.
  static constexpr qint64 kAgeSlackMs = 10LL * 60 * 1000;
  // The first look waits until the window is up and the notebook opened, and
  // comes within the start's first two seconds: later it would wake a program
  // already at rest.
  static constexpr int kFirstLookDelayMs = 1000;
  static constexpr int kLookIntervalMs = int(kMaxAgeMs);

  explicit TBackupKeeper(const QString& notebook, QObject* parent = nullptr);
  ~TBackupKeeper() override;  // stops a copy under way; it leaves no file

  // backups/ beside the notebook, and the name of the copy made on `day`.
  QString Folder() const;
  QString CopyPath(QDate day) const;
  // The note a failed copy leaves for the next start to show.
  QString FailureNotePath() const;

  // Cleans up after a copy that was killed, then looks after kFirstLookDelayMs
  // and every kLookIntervalMs of running (on the injected clock).
  void Start();
  // Makes a copy now if the newest is older than a day; false when none was due.
  bool BackUpIfDue();
  bool Busy() const { return worker_ != nullptr; }

  // Why the last copy failed, as the previous run or this one left it; empty
  // when it succeeded.
  QString LastFailure() const;

  // The wall time copies are dated and aged by; tests move it.
  std::function<QDateTime()> WallClock = [] { return QDateTime::currentDateTime(); };
  TBackupOptions Options;
  // After each copy, on the keeper's thread: empty when it succeeded.
  std::function<void(const QString& failure)> OnFinished;

 private:
  void Finish(const QString& failure);
  void Rotate();
  QDateTime NewestCopyTime() const;

  QString notebook_;
  TwTimer* timer_;
  std::unique_ptr<std::thread> worker_;
  std::atomic<bool> cancel_{false};
};
