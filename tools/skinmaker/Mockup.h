#pragma once
// A mock-up of a main window drawn from the skin's pieces, to look at the
// skin as a whole before any skinned window exists.
#include <QImage>
#include <QList>

namespace skinmaker {

struct SkinPictures {
  QImage frame, mask;
  QList<QImage> active;
};

QImage MockWindow(int width, int height, const SkinPictures& pictures, bool active);

}  // namespace skinmaker
