// nnsingle.dll: the reference build.
#include "builds/build_single.h"
#include "run/pet_export.h"

VANTIRO_DEFINE_PET(engine::SingleBuild)
