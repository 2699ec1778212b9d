#pragma once
#include <gtest/gtest.h>

#include "builds/build_double.h"
#include "builds/build_single.h"
#include "builds/build_vec2.h"
#include "builds/build_vec4.h"

// Every engine build; each numeric test runs once per build.
using EngineBuilds = ::testing::Types<engine::SingleBuild, engine::DoubleBuild, engine::Vec4Build,
                                      engine::Vec2Build>;
