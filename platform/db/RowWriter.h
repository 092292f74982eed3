#pragma once
// Writes one row change on a worker thread with a connection of its own, so a
// note of hundreds of megabytes is saved while the window goes on drawing.
#include <QObject>
#include <QString>
#include <thread>

#include "platform/db/Dataset.h"

class TRowWriter : public QObject {
  Q_OBJECT
 public:
  explicit TRowWriter(QObject* owner = nullptr);
  // Waits for a write under way: a change the user saved is never dropped.
  ~TRowWriter() override;

  // Starts writing (see WriteRow); Finished follows on this object's thread.
  // Raises EDatabaseError while another write is under way.
  void Start(TRowWrite write);
  // From Start until just before Finished is emitted.
  bool Running() const { return running_; }
  // Blocks until the write under way has ended (for closing and tests);
  // Finished still comes from the event loop.
  void Wait();

 signals:
  // `error` is empty when the row was written; else the reason, with the
  // engine's primary result code (0 when the reason is not the engine's).
  // `counter`: the file's change counter as the write found it, or -1.
  void Finished(const QString& error, int code, qint64 counter);

 private:
  std::thread thread_;
  bool running_ = false;
};
