#include "backgrounds/uGlobal.h"
