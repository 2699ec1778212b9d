#pragma once
#include "common/engine_choice.h"

class OutputSink;

// The chosen engine library, loaded, and its Pet, as both front ends take
// them. Loads the library at `path` (a bare name is looked for as
// platform/library_loader.h says) and finds its Pet. On failure nothing stays
// loaded, the failure goes to `sink` at the error level (which message, with
// `libraryName` and the error code) and null comes back. On success the
// library is in `*library` for the caller to free after the run.
PetFunction loadEngine(const char* path, const char* libraryName, OutputSink& sink,
                       void* languageModule, void** library);
