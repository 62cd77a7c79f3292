#include "platform/RichEdit.h"
