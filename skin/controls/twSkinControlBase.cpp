#include "skin/controls/twSkinControlBase.h"
