#pragma once
// A look at a compiled help file's own structure before the CHM library is
// given it. The library trusts the lengths, offsets and chunk numbers it
// finds: a compressed block longer than its buffer overflows the heap, a
// window size of one divides by zero, a window the decompressor refuses
// leaves it without state, a name longer than its buffer overruns it, and a
// chunk that points back at itself is followed for ever. Files that break
// any of the rules the library relies on are refused here; the reader
// process stays the guard for whatever this does not see.
#include <string>

// True when the file at `path` keeps the rules below; false (and why, in
// `why`) otherwise or when it cannot be read.
bool chmLayoutIsSound(const char* path, std::string* why);
