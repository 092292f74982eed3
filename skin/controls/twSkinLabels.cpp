#include "skin/controls/twSkinLabels.h"
