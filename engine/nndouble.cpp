// nndouble.dll: the reference arithmetic in double precision.
#include "build_double.h"
#include "pet_export.h"

VANTIRO_DEFINE_PET(engine::DoubleBuild)
