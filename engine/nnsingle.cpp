// nnsingle.dll: the reference build.
#include "build_single.h"
#include "pet_export.h"

VANTIRO_DEFINE_PET(engine::SingleBuild)
