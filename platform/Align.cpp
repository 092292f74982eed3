#include "platform/Align.h"
