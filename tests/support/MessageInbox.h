#pragma once
// A stand-in for an application window in tests: keeps every message sent
// to it, in order.
#include <QEvent>
#include <QList>
#include <QObject>

#include "platform/Message.h"

namespace twtest {

class Inbox : public QObject {
 public:
  QList<TMessage> got;
  bool event(QEvent* e) override {
    if (TMessage* m = MessageOf(e)) {
      got.append(*m);
      return true;
    }
    return QObject::event(e);
  }
};

}  // namespace twtest
