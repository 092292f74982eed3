#pragma once
// Event handlers of the engine (paint, resize, timers) run their skin work
// through TwGuarded: nothing thrown ever leaves a handler, since Qt forbids it.
// A failure is written to standard error once per kind, and the caller falls
// back to its default look.
#include <QString>
#include <new>

#include "platform/Errors.h"

// Writes "tarnwick: WHERE: MESSAGE" to standard error the first time this
// pair is seen in the process; returns whether it wrote.
bool TwReportOnce(const char* where, const QString& message);

// Runs work; true when it finished, false when it threw (and was reported).
template <class F>
bool TwGuarded(const char* where, F&& work) noexcept {
  try {
    work();
    return true;
  } catch (const EError& e) {
    TwReportOnce(where, e.Message());
  } catch (const std::bad_alloc&) {
    TwReportOnce(where, QStringLiteral("out of memory"));
  } catch (const std::exception& e) {
    TwReportOnce(where, QString::fromLocal8Bit(e.what()));
  } catch (...) {
    TwReportOnce(where, QStringLiteral("unknown error"));
  }
  return false;
}

// The largest off-screen surface the engine makes: past it a control paints
// its default look instead (2^26 pixels, as the picture readers allow).
inline constexpr qint64 kMaxSurfacePixels = qint64(1) << 26;

// A surface of the given size, or a null image when the size is empty, past
// the budget or cannot be had: every caller checks isNull() before drawing.
class QImage;
class QSize;
QImage TwNewSurface(int width, int height, int format);
// The same for a surface of `logical` size drawn at a device pixel ratio: its
// pixels are the size times the ratio, rounded up, and it carries the ratio.
QImage TwNewSurface(const QSize& logical, double dpr, int format);
