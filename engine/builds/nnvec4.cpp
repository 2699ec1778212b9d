// nnvec4.dll: single precision on four-lane vectors.
#include "builds/build_vec4.h"
#include "run/pet_export.h"

VANTIRO_DEFINE_PET(engine::Vec4Build)
