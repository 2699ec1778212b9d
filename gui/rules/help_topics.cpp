#include "help_topics.h"

#include <algorithm>
#include <initializer_list>
#include <vector>

#include "control_table.h"
#include "mode_rules.h"

namespace {

// Controls whose page depends on the mode: one topic per mode, in the Mode
// list's order; an empty topic means "the Train page".
struct ModeTopicRow {
  std::initializer_list<int> ids;
  std::string_view benchmark, train, generate, unselected;
};

const ModeTopicRow kModeTopics[] = {
    {{ctl::ModeList, ctl::ModeLabel},
     "::/Benchmark Mode Overview.html",
     "::/Train Mode Overview.html",
     "::/Generate Mode Overview.html",
     "::/Vantiro Overview.html"},
    {{ctl::NeuronsLabel, ctl::Neurons},
     "::/Benchmark Parameters - Number of Neurons.html",
     "::/Train Parameters - Number of Neurons.html",
     "::/Generate Parameters - Number of Neurons.html",
     {}},
    {{ctl::WindowLabel, ctl::WindowSize},
     "::/Benchmark Parameters - Input Window Size.html",
     "::/Train Parameters - Input Window Size.html",
     "::/Generate Parameters - Input Window Size.html",
     {}},
    {{ctl::OpenInput, ctl::InputFile, ctl::InputFileLabel},
     {},
     "::/Train Parameters - Input File.html",
     "::/Generate Parameters - Input File.html",
     {}},
    {{ctl::OpenState, ctl::LoadStateFile, ctl::LoadStateLabel},
     {},
     "::/Train Parameters - Load State File.html",
     "::/Generate Parameters - Load State File.html",
     {}},
};

struct FixedTopicRow {
  std::initializer_list<int> ids;
  std::string_view topic;
};

const FixedTopicRow kFixedTopics[] = {
    {{ctl::RateLabel, ctl::LearningRate}, "::/Train Parameters - Learning Rate.html"},
    {{ctl::ToleranceLabel, ctl::ToleranceUnit}, "::/Train Parameters - Tolerance Unit.html"},
    {{ctl::TargetLabel, ctl::TrainToTolerance}, "::/Train Parameters - Train to Tolerance.html"},
    {{ctl::Single, ctl::Double, ctl::PrecisionLabel}, "::/Vantiro Options - Precision.html"},
    {{ctl::LoadConversion}, "::/Vantiro Options - Load Conversion State.html"},
    {{ctl::SaveConversion}, "::/Vantiro Options - Save Conversion State.html"},
    {{ctl::X87, ctl::InstructionSetLabel, ctl::Nnvec2, ctl::Sse},
     "::/Vantiro Options - Instruction Set.html"},
    {{ctl::PriorityLabel, ctl::Idle, ctl::Normal, ctl::High}, "::/Vantiro Options - Priority.html"},
    {{ctl::SaveOutput, ctl::OutputFile, ctl::OutputFileLabel},
     "::/Generate Parameters - Output File.html"},
    {{ctl::SaveState, ctl::SaveStateFile, ctl::SaveStateLabel},
     "::/Train Parameters - Save State File.html"},
    {{ctl::Begin}, "::/The Begin Button.html"},
    {{ctl::Stop}, "::/The Stop Button.html"},
    {{ctl::Clear}, "::/The Clear Button.html"},
    {{ctl::DataPointsLabel, ctl::DataPoints},
     "::/Benchmark Parameters - Benchmarking Data Points.html"},
    {{ctl::Iterations, ctl::IterationsLabel},
     "::/Benchmark Parameters - Benchmarking Iterations.html"},
    {{ctl::MemoryLabel, ctl::Memory}, "::/The Memory Required Display.html"},
    {{ctl::PointsToGenerate, ctl::PointsLabel}, "::/Generate Parameters - Points to Generate.html"},
};

bool holds(std::initializer_list<int> ids, int id) {
  return std::find(ids.begin(), ids.end(), id) != ids.end();
}

std::string_view topicFor(const ModeTopicRow& row, int modeIndex) {
  std::string_view topic;
  switch (modeIndex) {
    case kModeBenchmark:
      topic = row.benchmark;
      break;
    case kModeTrain:
      topic = row.train;
      break;
    case kModeGenerate:
      topic = row.generate;
      break;
    default:
      topic = row.unselected;
      break;
  }
  return topic.empty() ? row.train : topic;
}

}  // namespace

std::optional<std::string_view> helpTopic(int controlId, int modeIndex) {
  for (const ModeTopicRow& row : kModeTopics) {
    if (holds(row.ids, controlId)) return topicFor(row, modeIndex);
  }
  for (const FixedTopicRow& row : kFixedTopics) {
    if (holds(row.ids, controlId)) return row.topic;
  }
  return std::nullopt;
}

std::span<const std::string_view> allHelpTopics() {
  static const auto topics = [] {
    std::vector<std::string_view> list;
    auto add = [&list](std::string_view topic) {
      if (!topic.empty() && std::find(list.begin(), list.end(), topic) == list.end())
        list.push_back(topic);
    };
    for (const ModeTopicRow& row : kModeTopics) {
      add(row.benchmark);
      add(row.train);
      add(row.generate);
      add(row.unselected);
    }
    for (const FixedTopicRow& row : kFixedTopics) add(row.topic);
    return list;
  }();
  return topics;
}
