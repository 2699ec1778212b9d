#pragma once
#include <cstdint>

// Milliseconds of a steady clock as a 32-bit count that wraps after about 49.7
// days; differences taken modulo 2^32 stay right across the wrap.
uint32_t tickCount();
