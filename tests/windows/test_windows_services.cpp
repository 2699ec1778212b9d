// The Windows services behind the platform layer, as the programs use them:
// the safe search of the engine libraries, the settings in the real registry,
// the promises of a save on NTFS, and Ctrl+C during a Train of VantiroCmdLine.exe.
#include <windows.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <thread>
#include <utility>

#include "builds/build_single.h"
#include "common/message_ids.h"
#include "engine_test_support.h"
#include "gui/rules/settings_store.h"
#include "platform/catalog_lookup.h"
#include "platform/library_loader.h"
#include "platform/thread_priority.h"

namespace {

using namespace enginetest;
namespace fs = std::filesystem;

// The working directory changed for one scope.
class InDirectory {
 public:
  explicit InDirectory(const fs::path& path) : saved_(fs::current_path()) { fs::current_path(path); }
  ~InDirectory() { fs::current_path(saved_); }

 private:
  fs::path saved_;
};

// A library planted in the working directory is never loaded by its bare
// name (this program's directory holds no such library), and the failure
// carries the system's error code; by its full path the same file loads.
TEST(SafeLibrarySearch, APlantedLibraryInTheWorkingDirectoryIsNotLoaded) {
  TempDir dir;
  fs::copy_file(VANTIRO_BIN_DIR "/nnsingle.dll", dir.file("planted.dll"));
  const InDirectory inside(dir.path());
  int error = 0;
  EXPECT_EQ(loadLibrary("planted.dll", &error), nullptr);
  EXPECT_EQ(error, ERROR_MOD_NOT_FOUND);
  void* byPath = loadLibrary(dir.file("planted.dll").c_str(), &error);
  ASSERT_NE(byPath, nullptr) << "error " << error;
  EXPECT_EQ(error, 0);
  EXPECT_NE(librarySymbol(byPath, "Pet", &error), nullptr);
  EXPECT_EQ(librarySymbol(byPath, "NoSuchExport", &error), nullptr);
  EXPECT_EQ(error, ERROR_PROC_NOT_FOUND);
  freeLibrary(byPath);
}

// The texts of catalog_texts.cpp, compiled into this test; Language.dll holds
// them as a string table made from the same source.
extern "C" int LoadCatalogString(unsigned id, char* buffer, int bufferSize);

// Language.dll read with LoadStringA gives, for every number, exactly the text
// the Linux Language.dll gives: quotes, backslashes, per cent signs, line ends
// and all; and nothing for a number without a text.
TEST(StringTable, LoadStringGivesEveryTextOfTheOneSource) {
  void* language = loadLibrary(VANTIRO_BIN_DIR "/Language.dll", nullptr);
  ASSERT_NE(language, nullptr);
  static char expected[8192], actual[8192];
  int texts = 0;
  for (unsigned id = 0; id < 4096; ++id) {
    const int length = LoadCatalogString(id, expected, sizeof expected);
    EXPECT_EQ(loadCatalogString(language, id, actual, sizeof actual), length) << "message " << id;
    EXPECT_STREQ(actual, expected) << "message " << id;
    texts += length > 0;
  }
  EXPECT_GT(texts, 80);  // the whole table, not an empty one on both sides
  // A short buffer takes the start of the text and its NUL, as on Linux.
  char shortBuffer[6];
  EXPECT_EQ(loadCatalogString(language, 1, shortBuffer, sizeof shortBuffer), 5);
  EXPECT_STREQ(shortBuffer, "Usage");
  freeLibrary(language);
}

// Every one of the eighteen values, written by the dialog's store and read
// back; then each as the registry holds it: its type, and the reals as their
// inverted IEEE 754 bytes.
TEST(Registry, AllEighteenValuesRoundTripWithTheirTypes) {
  RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
  StoredSettings written;
  written.mode = 2;
  written.precision = 1;
  written.instructionSet = 2;
  written.priority = 2;
  written.loadConversionState = 1;
  written.saveConversionState = 1;
  written.numberOfNeurons = 7;
  written.inputWindowSize = 123456;
  written.pointsToGenerate = 99;
  written.benchmarkingIterations = 4000000000u;
  written.benchmarkingDataPoints = 31;
  written.learningRate = 0.1;
  written.toleranceUnit = 1e-300;
  written.trainToTolerance = -2.5;
  written.inputFile = "C:\\Users\\Zoë\\series.txt";
  written.outputFile = "";
  written.loadStateFile = "state.vns";
  written.saveStateFile = std::string(300, 'x');
  writeStoredSettings(nullptr, [&] { return written; });

  const StoredSettings read = readStoredSettings(nullptr);
  EXPECT_EQ(read.mode, written.mode);
  EXPECT_EQ(read.precision, written.precision);
  EXPECT_EQ(read.instructionSet, written.instructionSet);
  EXPECT_EQ(read.priority, written.priority);
  EXPECT_EQ(read.loadConversionState, written.loadConversionState);
  EXPECT_EQ(read.saveConversionState, written.saveConversionState);
  EXPECT_EQ(read.numberOfNeurons, written.numberOfNeurons);
  EXPECT_EQ(read.inputWindowSize, written.inputWindowSize);
  EXPECT_EQ(read.pointsToGenerate, written.pointsToGenerate);
  EXPECT_EQ(read.benchmarkingIterations, written.benchmarkingIterations);
  EXPECT_EQ(read.benchmarkingDataPoints, written.benchmarkingDataPoints);
  EXPECT_EQ(read.learningRate, written.learningRate);
  EXPECT_EQ(read.toleranceUnit, written.toleranceUnit);
  EXPECT_EQ(read.trainToTolerance, written.trainToTolerance);
  EXPECT_EQ(read.inputFile, written.inputFile);
  EXPECT_EQ(read.outputFile, written.outputFile);
  EXPECT_EQ(read.loadStateFile, written.loadStateFile);
  EXPECT_EQ(read.saveStateFile, written.saveStateFile);

  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_QUERY_VALUE, &key), ERROR_SUCCESS);
  struct Expected {
    const char* name;
    DWORD type;
    DWORD size;
  };
  const Expected values[] = {
      {"Mode", REG_DWORD, 4}, {"Precision", REG_DWORD, 4}, {"InstructionSet", REG_DWORD, 4},
      {"Priority", REG_DWORD, 4}, {"LoadConversionState", REG_DWORD, 4},
      {"SaveConversionState", REG_DWORD, 4}, {"NumHiddenUnits", REG_DWORD, 4},
      {"InputsPerHiddenUnit", REG_DWORD, 4}, {"PointsToGenerate", REG_DWORD, 4},
      {"BenchmarkingIterations", REG_DWORD, 4}, {"BenchmarkingDataPoints", REG_DWORD, 4},
      {"LearningRate", REG_BINARY, 8}, {"ToleranceUnit", REG_BINARY, 8},
      {"TrainToTolerance", REG_BINARY, 8}, {"InputFile", REG_SZ, 0}, {"OutputFile", REG_SZ, 0},
      {"LoadStateFile", REG_SZ, 0}, {"SaveStateFile", REG_SZ, 0}};
  for (const Expected& value : values) {
    DWORD type = 0, size = 0;
    EXPECT_EQ(RegQueryValueExA(key, value.name, nullptr, &type, nullptr, &size), ERROR_SUCCESS)
        << value.name;
    EXPECT_EQ(type, value.type) << value.name;
    if (value.size != 0) {
      EXPECT_EQ(size, value.size) << value.name;
    }
  }
  DWORD iterations = 0, size = sizeof iterations;
  RegQueryValueExA(key, "BenchmarkingIterations", nullptr, nullptr,
                   reinterpret_cast<BYTE*>(&iterations), &size);
  EXPECT_EQ(iterations, 4000000000u);
  std::array<std::uint8_t, 8> rate{};
  size = 8;
  RegQueryValueExA(key, "LearningRate", nullptr, nullptr, rate.data(), &size);
  EXPECT_EQ(rate, encodeStoredReal(0.1));
  double plain = 0.1;
  std::uint8_t bytes[8];
  std::memcpy(bytes, &plain, 8);
  EXPECT_EQ(rate[0], static_cast<std::uint8_t>(~bytes[0]));
  char text[64] = {};
  size = sizeof text;
  RegQueryValueExA(key, "LoadStateFile", nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size);
  EXPECT_STREQ(text, "state.vns");
  EXPECT_EQ(size, 10u);  // the text and its NUL
  RegCloseKey(key);
}

// A missing key leaves the defaults and is logged with the registry's own code.
TEST(Registry, AMissingKeyIsLoggedWithTheSystemsCode) {
  RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
  TempDir dir;
  std::FILE* log = std::fopen(dir.file("log.txt").c_str(), "w+b");
  ASSERT_NE(log, nullptr);
  const StoredSettings read = readStoredSettings(log);
  EXPECT_EQ(read.numberOfNeurons, kDefaultRunNumbers.numberOfNeurons);
  std::fclose(log);
  EXPECT_EQ(readFile(dir.file("log.txt")),
            "RegOpenKeyEx() failed to open the key HKEY_CURRENT_USER\\Software\\Brennix "
            "Software\\Vantiro, EC = 2\n");
}

// A run's worker thread gets the three priorities of the dialog's list.
TEST(ThreadPriorities, EachChoiceGivesItsWindowsPriority) {
  const std::pair<ThreadPriority, int> table[] = {{ThreadPriority::Idle, THREAD_PRIORITY_IDLE},
                                                  {ThreadPriority::Normal, THREAD_PRIORITY_NORMAL},
                                                  {ThreadPriority::High, THREAD_PRIORITY_HIGHEST}};
  for (const auto& [choice, expected] : table) {
    int got = -99;
    bool applied = false;
    std::thread worker([&] {
      applied = applyThreadPriority(choice);
      got = GetThreadPriority(GetCurrentThread());
    });
    worker.join();
    EXPECT_TRUE(applied);
    EXPECT_EQ(got, expected);
  }
}

// The saves: a Train's state and a Generate's output replace the target whole,
// or leave it as it was and nothing beside it.
enum class Kind { State, Output };
enum class Target { Absent, Replaced, ReadOnly, HeldOpenByAnother };

struct SaveCase {
  Kind kind;
  Target target;
};

std::string nameOf(const SaveCase& c) {
  static const char* targets[] = {"Absent", "Replaced", "ReadOnly", "HeldOpenByAnother"};
  return std::string(c.kind == Kind::State ? "State" : "Output") + targets[static_cast<int>(c.target)];
}

struct Saves : public ::testing::TestWithParam<SaveCase> {};

TEST_P(Saves, LeaveTheCompleteNewFileOrTheOldOneAndNothingElse) {
  const SaveCase c = GetParam();
  TempDir dir;
  const std::string series = dir.file("series.txt"), state = dir.file("state.vns"),
                    target = dir.file("target"), fresh = dir.file("fresh");
  writeFile(series, waveSeries(400));
  auto run = [&](std::uint32_t flags, const std::string& file, RecordingSink& sink) {
    const std::int32_t running = 0;  // a Train saves its starting state
    auto p = parameters(flags, 8, 64, &sink, &running);
    p.learningRate = p.toleranceUnit = p.trainToTolerance = 0.1;
    p.pointsToGenerate = 1000;
    p.inputFile = series.c_str();
    p.loadStateFile = flags == kGenerate ? state.c_str() : nullptr;
    p.saveStateFile = p.outputFile = file.c_str();
    return engine::runEngine<engine::SingleBuild>(p, 4242);
  };
  const std::uint32_t flags = c.kind == Kind::State ? kTrain : kGenerate;
  RecordingSink ignored;
  ASSERT_EQ(run(kTrain, state, ignored), engine::kOk);
  ASSERT_EQ(run(flags, fresh, ignored), engine::kOk);
  const std::string expected = readFile(fresh);
  ASSERT_GT(expected.size(), 2000u);
  fs::remove(fresh);

  const std::string old = "the previous file\n";
  if (c.target != Target::Absent) writeFile(target, old);
  if (c.target == Target::ReadOnly) SetFileAttributesW(fs::path(target).c_str(), FILE_ATTRIBUTE_READONLY);
  HANDLE holder = INVALID_HANDLE_VALUE;
  if (c.target == Target::HeldOpenByAnother) {  // as an editor holds a file it shows
    holder = CreateFileW(fs::path(target).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                         nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  }
  RecordingSink sink;
  const std::int32_t result = run(flags, target, sink);
  if (holder != INVALID_HANDLE_VALUE) CloseHandle(holder);
  SetFileAttributesW(fs::path(target).c_str(), FILE_ATTRIBUTE_NORMAL);

  const bool refused = c.target == Target::ReadOnly || c.target == Target::HeldOpenByAnother;
  if (refused) {
    EXPECT_EQ(result, c.kind == Kind::State ? engine::kStateSaveFailed : engine::kOutputFileError);
    EXPECT_EQ(readFile(target), old);
    if (c.target == Target::ReadOnly) {
      EXPECT_EQ(sink.count(c.kind == Kind::State ? msg::kStateNotCreated : msg::kOutputNotCreated), 1u);
    }
  } else {
    EXPECT_EQ(result, engine::kOk);
    EXPECT_EQ(readFile(target), expected);  // byte for byte: no CR added
  }
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir.path())) names.insert(entry.path().filename().string());
  EXPECT_EQ(names, (std::set<std::string>{"series.txt", "state.vns", "target"}));
}

INSTANTIATE_TEST_SUITE_P(
    BothKinds, Saves,
    ::testing::Values(SaveCase{Kind::State, Target::Absent}, SaveCase{Kind::State, Target::Replaced},
                      SaveCase{Kind::State, Target::ReadOnly},
                      SaveCase{Kind::State, Target::HeldOpenByAnother},
                      SaveCase{Kind::Output, Target::Absent}, SaveCase{Kind::Output, Target::Replaced},
                      SaveCase{Kind::Output, Target::ReadOnly},
                      SaveCase{Kind::Output, Target::HeldOpenByAnother}),
    [](const auto& info) { return nameOf(info.param); });

// Ctrl+C during a Train of the console program: the run ends after its pass
// and the state is saved, as the console-event thread asks it to.
TEST(CtrlC, DuringTrainEndsThePassAndSavesTheState) {
  TempDir dir;
  writeFile(dir.file("series.txt"), waveSeries(20000));
  // The event reaches every process of a console: this one makes a console
  // of its own to share with the program, and ignores the event itself.
  FreeConsole();
  ASSERT_TRUE(AllocConsole()) << GetLastError();
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  ASSERT_TRUE(CreatePipe(&readEnd, &writeEnd, &inherit, 0));
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  std::wstring command = fs::path(VANTIRO_BIN_DIR "/VantiroCmdLine.exe").wstring() +
                         L" -train -numberOfNeurons 4 -inputWindowSize 64 -learningRate 0.0001"
                         L" -toleranceUnit 1e-9 -trainToTolerance 1e-30 -inputFile series.txt"
                         L" -saveStateFile saved.vns";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = startup.hStdError = writeEnd;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION process{};
  const std::wstring directory = fs::path(dir.path()).wstring();
  ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                             directory.c_str(), &startup, &process));
  CloseHandle(writeEnd);

  std::string output;
  char chunk[512];
  DWORD got = 0;
  bool interrupted = false;
  while (ReadFile(readEnd, chunk, sizeof chunk, &got, nullptr) && got > 0) {
    output.append(chunk, got);
    // Once the training reports its passes, Ctrl+C.
    if (!interrupted && output.find("Largest relative error") != std::string::npos) {
      SetConsoleCtrlHandler(nullptr, TRUE);
      interrupted = GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0) != 0;
      EXPECT_TRUE(interrupted) << "GenerateConsoleCtrlEvent failed, error " << GetLastError();
      if (!interrupted) TerminateProcess(process.hProcess, 99);  // the training would go on
      interrupted = true;
    }
  }
  if (WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0) {
    ADD_FAILURE() << "the program did not end after Ctrl+C";
    TerminateProcess(process.hProcess, 99);
  }
  DWORD exitCode = 99;
  GetExitCodeProcess(process.hProcess, &exitCode);
  SetConsoleCtrlHandler(nullptr, FALSE);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  CloseHandle(readEnd);

  EXPECT_TRUE(interrupted) << output;
  EXPECT_EQ(exitCode, 0u) << output;
  EXPECT_NE(output.find("Stop requested"), std::string::npos) << output;
  EXPECT_NE(output.find("Saving the neural state"), std::string::npos) << output;
  EXPECT_GT(fs::file_size(dir.file("saved.vns")), 0u);
}

}  // namespace
