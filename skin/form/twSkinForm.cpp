#include "skin/form/twSkinForm.h"
