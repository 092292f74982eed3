#include "skin/controls/twSkinPanels.h"
