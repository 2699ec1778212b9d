// The run side without a window: Begin's checks and choices, the sinks'
// line cutting and thresholds, the worker with stand-in engines, and the
// waiting close, with a window thread of its own as the dialog has.
#include <gtest/gtest.h>

#include <cmath>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "common/engine_choice.h"
#include "gui/rules/mode_rules.h"
#include "gui/runs/begin_checks.h"
#include "gui/runs/list_box_sink.h"
#include "gui/runs/run_window.h"
#include "gui/runs/run_worker.h"
#include "platform/library_loader.h"

namespace {

using Lines = std::vector<std::string>;

// A window whose calls run on its own thread, one after another, each
// completing before the caller goes on: the dialog's arrangement.
class ThreadedWindow final : public RunWindow {
 public:
  explicit ThreadedWindow(const std::atomic<std::int32_t>* runActive = nullptr)
      : runActive_(runActive), thread_([this] { serve(); }) {}
  ~ThreadedWindow() {
    {
      std::lock_guard lock(mutex_);
      quit_ = true;
    }
    wake_.notify_all();
    thread_.join();
  }
  void appendLines(const Lines& lines) override {
    call([&] { events_.insert(events_.end(), lines.begin(), lines.end()); });
  }
  void restoreChoices() override {
    call([&] { events_.push_back(activeNow("<choices>")); });
  }
  void restoreControls() override {
    call([&] { events_.push_back(activeNow("<controls>")); });
  }
  // Everything shown so far, read on the window's thread.
  Lines events() {
    Lines copy;
    call([&] { copy = events_; });
    return copy;
  }

 private:
  std::string activeNow(const char* what) const {
    if (runActive_ == nullptr) return what;
    return std::string(what) + (runActive_->load() != 0 ? " active" : " inactive");
  }
  void call(const std::function<void()>& work) {
    std::unique_lock lock(mutex_);
    const unsigned ticket = ++posted_;
    queue_.push_back(work);
    wake_.notify_all();
    wake_.wait(lock, [&] { return done_ >= ticket; });
  }
  void serve() {
    std::unique_lock lock(mutex_);
    for (;;) {
      wake_.wait(lock, [&] { return quit_ || !queue_.empty(); });
      if (queue_.empty()) return;
      std::function<void()> work = std::move(queue_.front());
      queue_.pop_front();
      work();
      ++done_;
      wake_.notify_all();
    }
  }

  const std::atomic<std::int32_t>* runActive_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::function<void()>> queue_;
  unsigned posted_ = 0, done_ = 0;
  bool quit_ = false;
  Lines events_;
  std::thread thread_;
};

class LanguageModule {
 public:
  LanguageModule() {
    int error = 0;
    module_ = loadLibrary(VANTIRO_LANGUAGE_LIBRARY_PATH, &error);
  }
  ~LanguageModule() { freeLibrary(module_); }
  void* get() const { return module_; }

 private:
  void* module_ = nullptr;
};

// ---- Begin's checks and choices --------------------------------------------

ParameterValues trainReady() {
  ParameterValues v;
  v.numberOfNeurons = 2;
  v.inputWindowSize = 4;
  v.learningRate = 0.001;
  v.toleranceUnit = 1e-5;
  v.trainToTolerance = 0.01;
  v.pointsToGenerate = 10;
  v.benchmarkingIterations = 10;
  v.benchmarkingDataPoints = 50;
  v.inputFile = "series.txt";
  v.outputFile = "out.txt";
  v.loadStateFile = "in.vns";
  v.saveStateFile = "out.vns";
  return v;
}

struct CheckCase {
  const char* name;
  int mode;
  std::function<void(ParameterValues&)> change;
  std::vector<unsigned> messages;
};

class BeginChecks : public testing::TestWithParam<CheckCase> {};

TEST_P(BeginChecks, FailInOrder) {
  ParameterValues v = trainReady();
  GetParam().change(v);
  EXPECT_EQ(failedBeginChecks(GetParam().mode, v), GetParam().messages);
}

const double kNaN = std::nan("");

INSTANTIATE_TEST_SUITE_P(
    Table, BeginChecks,
    testing::Values(
        CheckCase{"NoModeEvenWhenReady", -1, [](auto&) {}, {16}},
        CheckCase{"ProductAtLimit",
                  kModeBenchmark,
                  [](auto& v) {
                    v.numberOfNeurons = 65535;
                    v.inputWindowSize = 65537;
                  },
                  {}},
        CheckCase{"BenchmarkZeros",
                  kModeBenchmark,
                  [](auto& v) { v.benchmarkingIterations = v.benchmarkingDataPoints = 0; },
                  {24, 25}},
        CheckCase{"BenchmarkIgnoresFilesAndRates",
                  kModeBenchmark,
                  [](auto& v) {
                    v.inputFile.clear();
                    v.learningRate = 0;
                  },
                  {}},
        CheckCase{"TrainNaNRate", kModeTrain, [](auto& v) { v.learningRate = kNaN; }, {20}},
        CheckCase{"TrainNegativeTarget",
                  kModeTrain,
                  [](auto& v) {
                    v.trainToTolerance = -1;
                    v.loadStateFile.clear();
                  },
                  {22}}),
    [](const auto& info) { return std::string(info.param.name); });

struct ChoiceCase {
  int mode;
  bool loadConversion, saveConversion;
  std::uint32_t flags;
  bool doubleSelected, nnvec2Selected, sseSelected;
  const char* library;
};

class BeginChoices : public testing::TestWithParam<ChoiceCase> {};

TEST_P(BeginChoices, FlagsAndLibrary) {
  const ChoiceCase& c = GetParam();
  EXPECT_EQ(runFlagsFor(c.mode, c.loadConversion, c.saveConversion), c.flags);
  EXPECT_STREQ(
      selectEngineLibrary(engineChoiceFor(c.doubleSelected, c.nnvec2Selected, c.sseSelected)),
      c.library);
}

INSTANTIATE_TEST_SUITE_P(
    Table, BeginChoices,
    testing::Values(ChoiceCase{kModeTrain, false, true, 9, false, false, false, "nnsingle.dll"},
                    ChoiceCase{kModeGenerate, true, false, 6, false, true, false, "nnvec2.dll"},
                    ChoiceCase{kModeBenchmark, true, true, 12, false, false, true, "nnvec4.dll"},
                    ChoiceCase{kModeTrain, false, false, 1, true, false, true, "nndouble.dll"},
                    ChoiceCase{kModeBenchmark, false, false, 0, true, true, false,
                               "nndouble.dll"}));

TEST(BeginChoices, PriorityHighThenNormalElseIdle) {
  EXPECT_EQ(priorityFor(true, true), ThreadPriority::High);
  EXPECT_EQ(priorityFor(false, true), ThreadPriority::Normal);
  EXPECT_EQ(priorityFor(false, false), ThreadPriority::Idle);
}

// ---- Sinks -------------------------------------------------------------------

struct CutCase {
  const char* text;
  Lines lines;
};

class LineCutting : public testing::TestWithParam<CutCase> {};

TEST_P(LineCutting, PiecesAndRest) { EXPECT_EQ(cutIntoLines(GetParam().text), GetParam().lines); }

INSTANTIATE_TEST_SUITE_P(Table, LineCutting,
                         testing::Values(CutCase{"one", {"one"}}, CutCase{"", {""}},
                                         CutCase{"one\ntwo", {"one", "two"}},
                                         CutCase{"ends\n", {"ends", ""}},
                                         CutCase{"\n\n", {"", "", ""}},
                                         CutCase{"crlf\r\nnext", {"crlf", "next"}},
                                         CutCase{"lone\rreturn", {"lone\rreturn"}}));

struct ThresholdCase {
  std::uint32_t runFlags;
  std::uint32_t level;
  bool inList;
  bool inLog;
};

class SinkThresholds : public testing::TestWithParam<ThresholdCase> {};

TEST_P(SinkThresholds, ListAndLog) {
  const ThresholdCase& c = GetParam();
  std::FILE* log = std::tmpfile();
  ASSERT_NE(log, nullptr);
  Lines listed;
  {
    ThreadedWindow window;
    ListBoxLogSink sink(window, listThresholdFor(c.runFlags), log);
    sink.write(c.level, "a\nb\n");
    listed = window.events();
  }
  EXPECT_EQ(listed, c.inList ? (Lines{"a", "b", ""}) : Lines());
  std::rewind(log);
  char text[64] = {};
  const std::size_t n = std::fread(text, 1, sizeof text - 1, log);
  std::fclose(log);
  // The log gets the whole text, uncut, with one line end added.
  EXPECT_EQ(std::string(text, n), c.inLog ? "a\nb\n\n" : "");
}

INSTANTIATE_TEST_SUITE_P(
    Table, SinkThresholds,
    testing::Values(ThresholdCase{1, 0, true, false}, ThresholdCase{1, 1, true, false},
                    ThresholdCase{2, 2, true, true}, ThresholdCase{0, 0, false, false},
                    ThresholdCase{0, 1, true, false}, ThresholdCase{12, 2, true, true},
                    ThresholdCase{4, 0, false, false}));

// ---- The worker ------------------------------------------------------------

struct RunFixture {
  std::atomic<std::int32_t> keepRunning{1};
  std::atomic<std::int32_t> runActive{1};
  LanguageModule language;
  ThreadedWindow window{&runActive};

  std::unique_ptr<RunRequest> request(std::uint32_t engineChoice, std::uint32_t runFlags) {
    auto r = std::make_unique<RunRequest>();
    r->engineChoice = engineChoice;
    r->window = &window;
    r->engineDirectory = VANTIRO_STANDIN_DIR;
    r->runFlags = runFlags;
    r->numberOfNeurons = 3;
    r->inputWindowSize = 5;
    r->benchmarkingIterations = 20;  // the stand-in's milliseconds
    r->inputFile = "series.txt";
    r->saveStateFile = "saved.vns";
    r->sink.emplace<ListBoxSink>(window, listThresholdFor(runFlags));
    r->keepRunning = &keepRunning;
    r->runActive = &runActive;
    r->languageModule = language.get();
    return r;
  }
};

TEST(Worker, ReportsThenGivesTheWindowBack) {
  RunFixture run;
  EXPECT_EQ(runWorker(run.request(kEngineNnvec2, 2 | 8)), 0);
  // Stop off and the choices back while the run still counts as active; the
  // rest of the window only after it has become inactive.
  EXPECT_EQ(run.window.events(),
            (Lines{"flags 10 H 3 W 5 in 'series.txt' load (none) save 'saved.vns'", "progress",
                   "error first", "error second", "stand-in finished", "<choices> active",
                   "<controls> inactive"}));
  EXPECT_EQ(run.runActive.load(), 0);
}

TEST(Worker, TrainEndsWhenStoppedFromAnotherThread) {
  RunFixture run;
  auto request = run.request(kEngineNnvec2, 1);
  request->loadStateFile = "start.vns";
  std::thread worker;
  int error = -1;
  ASSERT_TRUE(startWorkerThread(request, ThreadPriority::Normal, &worker, &error));
  EXPECT_EQ(request, nullptr);
  EXPECT_EQ(error, 0);
  while (run.window.events().size() < 4) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  run.keepRunning.store(0);
  worker.join();
  EXPECT_EQ(run.window.events(),
            (Lines{"flags 1 H 3 W 5 in 'series.txt' load start.vns save 'saved.vns'", "progress",
                   "error first", "error second", "stand-in stopped", "<choices> active",
                   "<controls> inactive"}));
}

TEST(WaitAndClose, ClosesOnceAfterTheRunEnds) {
  std::atomic<std::int32_t> runActive{1};
  std::atomic<int> closes{0};
  std::thread waiter([&] { waitAndClose(&runActive, 5, [&] { closes.fetch_add(1); }); });
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  EXPECT_EQ(closes.load(), 0);
  runActive.store(0);
  waiter.join();
  EXPECT_EQ(closes.load(), 1);
}

}  // namespace
