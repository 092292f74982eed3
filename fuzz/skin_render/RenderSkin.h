#pragma once
// One fuzz input for the skin renderer: a description text drawn with the
// built-in skin's pictures over the gallery and the program's windows.
#include <QByteArray>

// Makes the application, a demo notebook and the windows once; later calls
// reuse them. Returns how many windows were drawn (0: the skin was refused).
int TwRenderSkinDescription(const QByteArray& description);
