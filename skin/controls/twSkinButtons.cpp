#include "skin/controls/twSkinButtons.h"
