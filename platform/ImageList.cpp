#include "platform/ImageList.h"
