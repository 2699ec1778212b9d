// nnvec2.dll: single precision on pairs.
#include "build_vec2.h"
#include "pet_export.h"

VANTIRO_DEFINE_PET(engine::Vec2Build)
