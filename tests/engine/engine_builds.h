#pragma once
#include <gtest/gtest.h>

#include "build_single.h"

// Every engine build; each numeric test runs once per build.
using EngineBuilds = ::testing::Types<engine::SingleBuild>;
