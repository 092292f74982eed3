// Window messages as Qt events: send is synchronous, post is queued.
#include "Message.h"

#include <QCoreApplication>

QEvent::Type TMessageEvent::Type() {
  static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
  return type;
}

intptr_t SendMessage(QObject* target, uint32_t msg, intptr_t wparam, intptr_t lparam) {
  if (!target) return 0;
  TMessageEvent e(TMessage{msg, wparam, lparam, 0});
  QCoreApplication::sendEvent(target, &e);
  return e.message.Result;
}

bool PostMessage(QObject* target, uint32_t msg, intptr_t wparam, intptr_t lparam) {
  if (!target) return false;
  QCoreApplication::postEvent(target, new TMessageEvent(TMessage{msg, wparam, lparam, 0}));
  return true;
}

TMessage* MessageOf(QEvent* e) {
  if (e && e->type() == TMessageEvent::Type()) return &static_cast<TMessageEvent*>(e)->message;
  return nullptr;
}
