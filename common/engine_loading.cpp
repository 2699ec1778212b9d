#include "engine_loading.h"

#include "common/catalog_message.h"
#include "common/message_ids.h"
#include "common/output_sink.h"
#include "platform/library_loader.h"

namespace {

void reportFailure(OutputSink& sink, void* languageModule, unsigned message,
                   const char* libraryName, int errorCode) {
  char text[kMessageBufferSize];
  formatCatalogMessage(languageModule, text, message, libraryName, errorCode);
  sink.write(kErrorLevel, text);
}

}  // namespace

PetFunction loadEngine(const char* path, const char* libraryName, OutputSink& sink,
                       void* languageModule, void** library) {
  *library = nullptr;
  int errorCode = 0;
  void* module = loadLibrary(path, &errorCode);
  if (module == nullptr) {
    reportFailure(sink, languageModule, msg::kEngineNotLoaded, libraryName, errorCode);
    return nullptr;
  }
  auto pet = reinterpret_cast<PetFunction>(librarySymbol(module, "Pet", &errorCode));
  if (pet == nullptr) {
    reportFailure(sink, languageModule, msg::kPetMissing, libraryName, errorCode);
    freeLibrary(module);
    return nullptr;
  }
  *library = module;
  return pet;
}
