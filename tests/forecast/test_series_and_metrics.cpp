// The forecasting library's reading, scaling, accuracy figures and tables,
// without an engine.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "forecast/accuracy.h"
#include "forecast/forecast_table.h"
#include "forecast/series_reader.h"
#include "forecast/series_scaling.h"

namespace forecast {
namespace {

struct ReadCase {
  const char* name;
  const char* text;
  const char* column;
  const char* label;
  std::vector<double> values;   // when it is read
  std::vector<std::string> labels;
  const char* error;            // when it is refused: a part of the reason
};

TEST(SeriesReading, Table) {
  const ReadCase cases[] = {
      {"plain", "1\n2.5\n-3e2\n", "", "", {1, 2.5, -300}, {}, nullptr},
      {"plain with CRLF and trailing blank lines", "1\r\n2\r\n\r\n\n", "", "", {1, 2}, {}, nullptr},
      {"plain header skipped, never read as 0", "flow\n5\n6\n", "", "", {5, 6}, {}, nullptr},
      {"plain header named", "flow\n5\n6\n", "flow", "", {5, 6}, {}, nullptr},
      {"CSV by name", "year,flow\n1871,1120\n1872,1160\n", "flow", "", {1120, 1160}, {}, nullptr},
      {"CSV by number", "year,flow\n1871,1120\n1872,1160\n", "2", "", {1120, 1160}, {}, nullptr},
      {"CSV without header by number", "1871,1120\n1872,1160\n", "2", "", {1120, 1160}, {}, nullptr},
      {"CSV a date beside the value is no header", "1871-01-01,7\n1872-01-01,8\n", "2", "",
       {7, 8}, {}, nullptr},
      {"CSV with labels", "year,flow\n1871,1120\n1872,1160\n", "flow", "year", {1120, 1160},
       {"1871", "1872"}, nullptr},
      {"semicolons and quotes", "\"a;b\";x\n\"1;2\";3\n\"4\";5\n", "x", "", {3, 5}, {}, nullptr},
      {"tabs", "t\tv\n1\t2\n", "v", "", {2}, {}, nullptr},
      {"no such column name", "year,flow\n1871,1120\n", "rain", "", {}, {},
       "no column named \"rain\" in the header"},
      {"no such column number", "1,2\n3,4\n", "3", "", {}, {}, "there is no column 3"},
      {"a name without a header", "1\n2\n", "flow", "", {}, {}, "the file has no header"},
      {"a word in the data", "flow\n1\n2\nn/a\n4\n", "flow", "", {}, {},
       "line 4: \"n/a\" in column flow is not a number"},
      {"an empty field", "a,b\n1,2\n3,\n", "b", "", {}, {}, "line 3: \"\" in column b"},
      {"a short line", "a,b\n1,2\n3\n", "b", "", {}, {}, "line 3: has 1 field, column b is missing"},
      {"a number with trailing text", "1\n2x\n", "", "", {}, {}, "line 2: \"2x\""},
      {"nan is not a number", "1\nnan\n", "", "", {}, {}, "line 2"},
      {"a blank line inside", "1\n\n2\n", "", "", {}, {}, "line 2"},
      {"empty", "", "", "", {}, {}, "holds no values"},
      {"header alone", "flow\n", "", "", {}, {}, "holds a header but no values"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Series series;
    std::string error;
    const bool ok = parseSeries(c.text, "s.csv", {c.column, c.label}, &series, &error);
    if (c.error == nullptr) {
      ASSERT_TRUE(ok) << error;
      EXPECT_EQ(series.values, c.values);
      EXPECT_EQ(series.labels, c.labels);
    } else {
      ASSERT_FALSE(ok);
      EXPECT_NE(error.find(c.error), std::string::npos) << error;
      EXPECT_EQ(error.find('\n'), std::string::npos) << "one line: " << error;
    }
  }
}

TEST(SeriesScaling, AutomaticFactorTable) {
  const struct {
    std::vector<double> values;
    double factor;
  } cases[] = {
      {{456, 1120, 1370, 900}, 1000},  // the Nile: median about 1000, values 0.46 to 1.37
      {{0.2, 0.5, 0.9}, 1},
      {{0.002, 0.004, 0.003}, 0.001},
      {{-250, -300, -280}, 100},       // by magnitude
      {{0, 0, 40, 50, 60}, 100},       // zeros do not count
      {{0, 0}, 1},
  };
  for (const auto& c : cases) {
    EXPECT_DOUBLE_EQ(automaticScaleFactor(c.values), c.factor) << c.values.size();
    // The middle magnitude lands between 10^-0.5 and 10^0.5.
    std::vector<double> m;
    for (double v : scaledDown(c.values, c.factor)) {
      if (v != 0) m.push_back(std::fabs(v));
    }
    if (m.empty()) continue;
    std::sort(m.begin(), m.end());
    EXPECT_TRUE(m[m.size() / 2] >= 0.316 && m[m.size() / 2] <= 3.17) << m[m.size() / 2];
  }
  EXPECT_EQ(scaledUp(scaledDown({456, 1370}, 1000), 1000), (std::vector<double>{456, 1370}));
}

TEST(SeriesScaling, ScaleFileTable) {
  ScaleRecord r{0.001, 2, 3, "nnvec2"};
  ScaleRecord back;
  std::string error;
  const std::string line = formatScaleRecord(r);
  EXPECT_EQ(line, "0.001 neurons=2 window=3 engine=nnvec2\n");
  ASSERT_TRUE(parseScaleRecord(line, &back, &error)) << error;
  EXPECT_EQ(back.factor, 0.001);
  EXPECT_EQ(back.neurons, 2u);
  EXPECT_EQ(back.window, 3u);
  EXPECT_EQ(back.engine, "nnvec2");
  EXPECT_EQ(scaleFilePath("dir/state.nn"), "dir/state.nn.scale");
  for (const char* bad : {"", "abc neurons=2", "0 neurons=2", "1000 neurons=x", "1000 neurons=0",
                          "1000 colour=red", "1000 window=2.5"}) {
    EXPECT_FALSE(parseScaleRecord(bad, &back, &error)) << bad;
  }
}

// Hand-computed: actual 100, 200, 400; forecast 110, 180, 400.
// Differences 10, -20, 0: MAE 30/3 = 10; RMSE sqrt(500/3) = 12.9099...;
// relative 0.1, 0.1, 0: MAPE 0.2/3, largest 0.1.
TEST(Accuracy, HandComputedTable) {
  const struct {
    std::vector<double> actual, forecast;
    double mae, rmse, mape, largest;
  } cases[] = {
      {{100, 200, 400}, {110, 180, 400}, 10, std::sqrt(500.0 / 3), 0.2 / 3, 0.1},
      {{2, 4}, {2, 4}, 0, 0, 0, 0},
      {{-10}, {-15}, 5, 5, 0.5, 0.5},
      {{0, 1}, {1, 1}, 0.5, std::sqrt(0.5), HUGE_VAL, HUGE_VAL},
  };
  for (const auto& c : cases) {
    const Accuracy a = measureAccuracy(c.actual, c.forecast);
    EXPECT_DOUBLE_EQ(a.meanAbsoluteError, c.mae);
    EXPECT_DOUBLE_EQ(a.rootMeanSquareError, c.rmse);
    EXPECT_DOUBLE_EQ(a.meanAbsolutePercentError, c.mape);
    EXPECT_DOUBLE_EQ(a.largestRelativeError, c.largest);
  }
}

TEST(Accuracy, NaiveForecasts) {
  // The drift line through (1, 10) and (4, 16) rises by 2 a step.
  EXPECT_EQ(driftForecast({10, 30, 0, 16}, 3), (std::vector<double>{18, 20, 22}));
  EXPECT_EQ(lastValueForecast({10, 30, 0, 16}, 2), (std::vector<double>{16, 16}));
  EXPECT_EQ(driftForecast({7}, 2), (std::vector<double>{7, 7}));
}

TEST(ForecastTable, LabelsContinueTable) {
  const struct {
    std::vector<std::string> labels;
    std::vector<std::string> next;
  } cases[] = {
      {{"1969", "1970"}, {"1971", "1972"}},
      {{"1960", "1965"}, {"1970", "1975"}},
      {{"2024-02-27", "2024-02-28"}, {"2024-02-29", "2024-03-01"}},
      {{"2023-12-25", "2024-01-01"}, {"2024-01-08", "2024-01-15"}},
      {{"2023-11", "2023-12"}, {"2024-01", "2024-02"}},
      {{"Mon", "Tue"}, {}},
      {{"1970", "1970"}, {}},
      {{"1970.5", "1971.5"}, {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(continueLabels(c.labels, 2), c.next) << c.labels.back();
  }
  EXPECT_EQ(forecastCsv("", {}, 101, "flow", {786.759, 1e-7}),
            "index,flow\n101,786.759\n102,1e-007\n");
  EXPECT_EQ(forecastCsv("year", {"1971"}, 101, "", {5}), "year,value\n1971,5\n");
}

}  // namespace
}  // namespace forecast
