#include "platform/tick_counter.h"

#include <windows.h>

uint32_t tickCount() { return GetTickCount(); }
