// nndouble.dll: the reference arithmetic in double precision.
#include "builds/build_double.h"
#include "run/pet_export.h"

VANTIRO_DEFINE_PET(engine::DoubleBuild)
