#include "platform/base/NoMemory.h"

const char* const kNoMemoryText = "Not enough memory to go on.";
