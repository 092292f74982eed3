#pragma once
// Test helpers for code that answers through the event loop.
#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <functional>

namespace twtest {

// One QApplication for the whole test program, made on first use.
inline QApplication& App() {
  static int argc = 1;
  static char arg0[] = "tarnwick_test";
  static char* argv[] = {arg0, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

// Runs the event loop until done() holds; false when ms pass first.
inline bool WaitFor(const std::function<bool()>& done, int ms = 3000) {
  QElapsedTimer t;
  t.start();
  while (!done()) {
    if (t.elapsed() > ms) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(5);
  }
  return true;
}

}  // namespace twtest
