// nnvec2.dll: single precision on pairs.
#include "builds/build_vec2.h"
#include "run/pet_export.h"

VANTIRO_DEFINE_PET(engine::Vec2Build)
