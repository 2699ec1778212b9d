// The forecasting library over the built engine libraries, called through Pet
// as the programs call it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>

#include "common/engine_choice.h"
#include "forecast/engine_session.h"
#include "forecast/forecast_runs.h"
#include "forecast/safe_output.h"
#include "forecast/series_reader.h"
#include "forecast/series_scaling.h"

namespace forecast {
namespace {

std::vector<double> nileFlow() {
  Series series;
  std::string error;
  EXPECT_TRUE(readSeries(VANTIRO_SOURCE_DIR "/examples/nile-flow-1871-1970.txt", {}, &series,
                         &error))
      << error;
  return series.values;
}

class EveryBuild : public ::testing::TestWithParam<std::uint32_t> {};

// A pass at learning rate 0 must leave every weight as it was in every build,
// so that its error is the error of the state itself.
TEST_P(EveryBuild, PassAtRateZeroChangesNoWeight) {
  EngineSession engine;
  std::string error;
  ASSERT_TRUE(engine.open(GetParam(), VANTIRO_BIN_DIR, &error)) << error;
  const std::vector<double> series = scaledDown(nileFlow(), 1000);
  const std::string state = engine.scratchPath("state.bin");
  TrainingReport report;
  ASSERT_TRUE(engine.train(series, 3, 4, 0.01, StopRule{0.2, 0}, "", state, nullptr, &report,
                           &error))
      << error;
  std::string before;
  ASSERT_TRUE(readWholeFile(state, &before));
  EXPECT_EQ(before.size(), stateFileBytes(GetParam(), 3, 4));

  // One pass at rate 0 through Pet: the state it saves is the state it loaded.
  double first = 0, second = 0;
  ASSERT_TRUE(engine.stateError(state, series, 3, 4, &first, &error)) << error;
  ASSERT_TRUE(engine.stateError(state, series, 3, 4, &second, &error)) << error;
  std::string after;
  ASSERT_TRUE(readWholeFile(state, &after));
  EXPECT_EQ(after, before);
  EXPECT_TRUE(std::isfinite(first));
  EXPECT_GT(first, 0.0);
  EXPECT_EQ(first, second);

  // The comparison can fail: one pass at a non-zero rate does change the weights.
  const std::string moved = engine.scratchPath("moved.bin");
  ASSERT_TRUE(engine.train(series, 3, 4, 0.5, StopRule{0.2, 0}, state, moved, nullptr, &report,
                           &error))
      << error;
  std::string movedBytes;
  ASSERT_TRUE(readWholeFile(moved, &movedBytes));
  EXPECT_NE(movedBytes, before);
}

INSTANTIATE_TEST_SUITE_P(Builds, EveryBuild,
                         ::testing::Values(0u, kEngineDouble, kEngineSse, kEngineNnvec2),
                         [](const auto& info) { return std::string(engineName(info.param)); });

TEST(StateError, ZeroTargetIsInfiniteWithoutARun) {
  EngineSession engine;
  std::string error;
  ASSERT_TRUE(engine.open(0, VANTIRO_BIN_DIR, &error)) << error;
  double passError = 0;
  // The state file is never opened: the zero target decides it.
  ASSERT_TRUE(engine.stateError("/nonexistent", {1, 1, 0, 1}, 1, 2, &passError, &error));
  EXPECT_TRUE(std::isinf(passError));
}

TEST(HoldoutCheck, NileWithTheReferenceEngine) {
  EngineSession engine;
  std::string error;
  ASSERT_TRUE(engine.open(0, VANTIRO_BIN_DIR, &error)) << error;
  const std::vector<double> nile = nileFlow();
  ASSERT_EQ(nile.size(), 100u);
  NetworkSettings settings;
  settings.stop = StopRule{1.0, 0};
  HoldoutResult r;
  ASSERT_TRUE(runHoldoutCheck(engine, nile, 10, settings, nullptr, &r, &error)) << error;

  EXPECT_EQ(r.scaleFactor, 1000);
  ASSERT_EQ(r.training.size(), 90u);
  EXPECT_EQ(r.heldBack, std::vector<double>(nile.begin() + 90, nile.end()));
  EXPECT_LE(r.training_run.seconds, 1.0 + 1.0);
  ASSERT_FALSE(r.training_run.lows.empty());
  for (std::size_t i = 1; i < r.training_run.lows.size(); ++i) {
    EXPECT_LT(r.training_run.lows[i].second, r.training_run.lows[i - 1].second);
  }
  ASSERT_EQ(r.forecasts.size(), 3u);
  EXPECT_EQ(r.forecasts[1].values, std::vector<double>(10, nile[89]));
  EXPECT_DOUBLE_EQ(r.forecasts[2].values[0], nile[89] + (nile[89] - nile[0]) / 89.0);
  // The network's forecast is back in the series' units (the flows lie in 456 to 1370).
  for (double v : r.forecasts[0].values) EXPECT_TRUE(v > 200 && v < 2000) << v;
  for (const auto& f : r.forecasts) {
    const Accuracy a = measureAccuracy(r.heldBack, f.values);
    EXPECT_EQ(f.accuracy.meanAbsoluteError, a.meanAbsoluteError) << f.name;
    EXPECT_LE(r.forecasts[r.best].accuracy.meanAbsoluteError, a.meanAbsoluteError) << f.name;
  }
  EXPECT_TRUE(std::isfinite(r.savedStateError));
  EXPECT_GT(r.savedStateError, 0.0);
}

TEST(HoldoutCheck, RefusesSizesThatDoNotFit) {
  EngineSession engine;
  std::string error;
  ASSERT_TRUE(engine.open(0, VANTIRO_BIN_DIR, &error)) << error;
  NetworkSettings settings;  // window 3
  HoldoutResult r;
  EXPECT_FALSE(runHoldoutCheck(engine, std::vector<double>(13, 1.0), 10, settings, nullptr, &r,
                               &error));
  EXPECT_NE(error.find("need at least 14"), std::string::npos) << error;
  EXPECT_FALSE(runHoldoutCheck(engine, std::vector<double>(20, 1.0), 0, settings, nullptr, &r,
                               &error));
  EXPECT_NE(error.find("at least 1"), std::string::npos) << error;
}

}  // namespace
}  // namespace forecast

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
