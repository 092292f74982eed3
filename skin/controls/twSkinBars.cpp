#include "skin/controls/twSkinBars.h"
