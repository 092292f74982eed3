#pragma once
#include <QEvent>
#include <cstdint>

class QObject;

// A window message: number, two parameters and the handler's result.
struct TMessage {
  uint32_t Msg = 0;
  intptr_t WParam = 0;
  intptr_t LParam = 0;
  intptr_t Result = 0;
};

// Carries a TMessage through Qt's event system; receivers override event()
// and look for TMessageEvent::Type().
class TMessageEvent : public QEvent {
 public:
  explicit TMessageEvent(const TMessage& m) : QEvent(Type()), message(m) {}
  static QEvent::Type Type();
  TMessage message;
};

// Synchronous delivery; returns the receiver's Result (0 if nobody answered).
intptr_t SendMessage(QObject* target, uint32_t msg, intptr_t wparam = 0, intptr_t lparam = 0);
// Queued delivery; returns false when there is no target.
bool PostMessage(QObject* target, uint32_t msg, intptr_t wparam = 0, intptr_t lparam = 0);
// Returns the message carried by an event, or nullptr when it carries none.
TMessage* MessageOf(QEvent* e);

// A press on a sizing part that is not the frame's own (a status bar's grip):
// sent to the top-level window, WParam the hit code (17 = bottom-right corner),
// LParam the global press point packed as (y << 16) | (x & 0xFFFF). The frame
// answers 1 when it has started sizing.
constexpr uint32_t WM_NCLBUTTONDOWN = 0x00A1;
