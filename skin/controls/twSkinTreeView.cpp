#include "skin/controls/twSkinTreeView.h"
