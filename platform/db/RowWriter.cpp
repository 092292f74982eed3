// A row written on a worker thread; the outcome is delivered on the owner's
// thread through the event loop.
#include "platform/db/RowWriter.h"

#include <QMetaObject>

TRowWriter::TRowWriter(QObject* owner) : QObject(owner) {}

TRowWriter::~TRowWriter() { Wait(); }

void TRowWriter::Start(TRowWrite write) {
  if (running_) throw EDatabaseError(QStringLiteral("A note is still being saved; wait until it is."));
  Wait();  // the last write's thread, already done
  running_ = true;
  thread_ = std::thread([this, write = std::move(write)] {
    QString error;
    int code = 0;
    qint64 counter = -1;
    try {
      counter = WriteRow(write);
    } catch (const ESqliteError& e) {
      error = e.Message();
      code = e.Code();
    } catch (const EError& e) {
      error = e.Message();
    } catch (const std::exception& e) {
      error = QString::fromLocal8Bit(e.what());
    }
    // Dropped unread when this object is destroyed first, which waited.
    QMetaObject::invokeMethod(
        this,
        [this, error, code, counter] {
          Wait();
          running_ = false;
          emit Finished(error, code, counter);
        },
        Qt::QueuedConnection);
  });
}

void TRowWriter::Wait() {
  if (thread_.joinable()) thread_.join();
}
