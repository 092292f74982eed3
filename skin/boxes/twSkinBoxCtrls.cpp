#include "skin/boxes/twSkinBoxCtrls.h"
