#pragma once
#include <gtest/gtest.h>

#include "kernels/build_double.h"
#include "kernels/build_single.h"
#include "kernels/build_vec2.h"
#include "kernels/build_vec4.h"

// Every engine build; each numeric test runs once per build.
using EngineBuilds = ::testing::Types<engine::SingleBuild, engine::DoubleBuild, engine::Vec4Build,
                                      engine::Vec2Build>;
