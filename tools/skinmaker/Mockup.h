#pragma once
// A mock-up of a main window drawn from the skin's pieces, to look at the
// skin as a whole before any skinned window exists.
#include <QImage>
#include <QList>

class TtwSkinIni;

namespace skinmaker {

struct SkinPictures {
  QImage frame, mask;
  QList<QImage> active;
};

// Pieces are fitted by the drawing toolkit with the geometry read back from
// the written description `ini`.
QImage MockWindow(int width, int height, const SkinPictures& pictures, const TtwSkinIni& ini, bool active);

}  // namespace skinmaker
