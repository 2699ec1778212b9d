// An engine library that lacks Pet.
extern "C" __attribute__((visibility("default"))) int NotPet() { return 0; }
