#include "settings_store.h"

#include <cstring>
#include <vector>

#include "choice_buttons.h"
#include "control_table.h"
#include "platform/registry.h"

namespace {

void logLine(std::FILE* log, const char* format, const char* valueName, long errorCode) {
  if (log == nullptr) return;
  if (valueName != nullptr) {
    std::fprintf(log, format, kSettingsKey, valueName, static_cast<int>(errorCode));
  } else {
    std::fprintf(log, format, kSettingsKey, static_cast<int>(errorCode));
  }
  std::fflush(log);
}

constexpr const char* kOpenFailed =
    "RegOpenKeyEx() failed to open the key HKEY_CURRENT_USER\\%s, EC = %d\n";
constexpr const char* kQueryFailed =
    "RegQueryValueEx() failed to get the value HKEY_CURRENT_USER\\%s\\%s, EC = %d\n";
constexpr const char* kCreateFailed =
    "RegCreateKeyEx() failed to open the key HKEY_CURRENT_USER\\%s, EC = %d\n";
constexpr const char* kSetFailed =
    "RegSetValueEx() failed to set the value HKEY_CURRENT_USER\\%s\\%s, EC = %d\n";
constexpr const char* kCloseFailed =
    "RegCloseKey() failed to store the key HKEY_CURRENT_USER\\%s, EC = %d\n";

// The numeric values, in the store's order.
struct DwordField {
  const char* name;
  std::uint32_t StoredSettings::*field;
  std::uint32_t accepted;  // values above it are ignored on reading; 0 means any
};

constexpr DwordField kDwordFields[] = {
    {"Mode", &StoredSettings::mode, 0},
    {"Precision", &StoredSettings::precision, 1},
    {"InstructionSet", &StoredSettings::instructionSet, 2},
    {"Priority", &StoredSettings::priority, 2},
    {"LoadConversionState", &StoredSettings::loadConversionState, 1},
    {"SaveConversionState", &StoredSettings::saveConversionState, 1},
    {"NumHiddenUnits", &StoredSettings::numberOfNeurons, 0},
    {"InputsPerHiddenUnit", &StoredSettings::inputWindowSize, 0},
    {"PointsToGenerate", &StoredSettings::pointsToGenerate, 0},
    {"BenchmarkingIterations", &StoredSettings::benchmarkingIterations, 0},
    {"BenchmarkingDataPoints", &StoredSettings::benchmarkingDataPoints, 0},
};

struct RealField {
  const char* name;
  double StoredSettings::*field;
};

constexpr RealField kRealFields[] = {
    {"LearningRate", &StoredSettings::learningRate},
    {"ToleranceUnit", &StoredSettings::toleranceUnit},
    {"TrainToTolerance", &StoredSettings::trainToTolerance},
};

struct TextField {
  const char* name;
  std::optional<std::string> StoredSettings::*field;
};

constexpr TextField kTextFields[] = {
    {"InputFile", &StoredSettings::inputFile},
    {"OutputFile", &StoredSettings::outputFile},
    {"LoadStateFile", &StoredSettings::loadStateFile},
    {"SaveStateFile", &StoredSettings::saveStateFile},
};

// Data shorter than its buffer, or of another type than the store's, is as
// unreadable as a missing value: these are reported with ERROR_INVALID_DATA.
constexpr long kInvalidData = 13;

long queryFixed(RegistryKey key, const char* name, std::uint32_t expectedType, std::uint8_t* data,
                std::uint32_t size) {
  std::uint32_t type = 0;
  std::uint32_t got = size;
  const long status = regQueryValueEx(key, name, &type, data, &got);
  if (status != kRegistrySuccess) return status;
  if (got != size || type != expectedType) return kInvalidData;
  return kRegistrySuccess;
}

std::optional<std::string> queryText(RegistryKey key, const char* name, std::FILE* log) {
  std::uint32_t size = 0;
  std::uint32_t type = 0;
  long status = regQueryValueEx(key, name, &type, nullptr, &size);
  if (status == kRegistrySuccess) {
    std::vector<std::uint8_t> buffer(size);
    status = regQueryValueEx(key, name, &type, buffer.data(), &size);
    if (status == kRegistrySuccess) {
      if (type == kRegSz && size != 0 && buffer[size - 1] == 0) {
        return std::string(reinterpret_cast<const char*>(buffer.data()));
      }
      status = kInvalidData;
    }
  }
  logLine(log, kQueryFailed, name, status);
  return std::nullopt;
}

void setValue(RegistryKey key, const char* name, std::uint32_t type, const void* data,
              std::uint32_t size, std::FILE* log) {
  const long status = regSetValueEx(key, name, type, static_cast<const std::uint8_t*>(data), size);
  if (status != kRegistrySuccess) logLine(log, kSetFailed, name, status);
}

}  // namespace

std::array<std::uint8_t, 8> encodeStoredReal(double value) {
  std::uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  std::array<std::uint8_t, 8> bytes{};
  for (int i = 0; i < 8; ++i) bytes[i] = static_cast<std::uint8_t>(~(bits >> (8 * i)));
  return bytes;
}

double decodeStoredReal(const std::array<std::uint8_t, 8>& bytes) {
  std::uint64_t bits = 0;
  for (int i = 0; i < 8; ++i)
    bits |= static_cast<std::uint64_t>(static_cast<std::uint8_t>(~bytes[i])) << (8 * i);
  double value = 0;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

StoredSettings readStoredSettings(std::FILE* log) {
  StoredSettings settings;
  RegistryKey key = nullptr;
  const long opened = regOpenKeyEx(kSettingsKey, &key);
  if (opened != kRegistrySuccess) {
    logLine(log, kOpenFailed, nullptr, opened);
    return settings;
  }
  for (const DwordField& field : kDwordFields) {
    std::uint8_t data[4] = {};
    const long status = queryFixed(key, field.name, kRegDword, data, sizeof data);
    if (status != kRegistrySuccess) {
      logLine(log, kQueryFailed, field.name, status);
      continue;
    }
    const std::uint32_t value =
        data[0] | (data[1] << 8) | (data[2] << 16) | (static_cast<std::uint32_t>(data[3]) << 24);
    if (field.accepted == 0 || value <= field.accepted) settings.*field.field = value;
  }
  for (const RealField& field : kRealFields) {
    std::array<std::uint8_t, 8> data{};
    const long status = queryFixed(key, field.name, kRegBinary, data.data(), 8);
    if (status != kRegistrySuccess) {
      logLine(log, kQueryFailed, field.name, status);
      continue;
    }
    settings.*field.field = decodeStoredReal(data);
  }
  for (const TextField& field : kTextFields)
    settings.*field.field = queryText(key, field.name, log);
  regCloseKey(key);
  return settings;
}

void writeStoredSettings(std::FILE* log, const std::function<StoredSettings()>& collect) {
  RegistryKey key = nullptr;
  const long created = regCreateKeyEx(kSettingsKey, &key);
  if (created != kRegistrySuccess) {
    logLine(log, kCreateFailed, nullptr, created);
    return;
  }
  const StoredSettings settings = collect();
  for (const DwordField& field : kDwordFields) {
    const std::uint32_t value = settings.*field.field;
    const std::uint8_t data[4] = {
        static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
        static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
    setValue(key, field.name, kRegDword, data, sizeof data, log);
  }
  for (const RealField& field : kRealFields) {
    const std::array<std::uint8_t, 8> data = encodeStoredReal(settings.*field.field);
    setValue(key, field.name, kRegBinary, data.data(), 8, log);
  }
  for (const TextField& field : kTextFields) {
    const std::string text = (settings.*field.field).value_or(std::string());
    setValue(key, field.name, kRegSz, text.c_str(), static_cast<std::uint32_t>(text.size() + 1),
             log);
  }
  const long closed = regCloseKey(key);
  if (closed != kRegistrySuccess) logLine(log, kCloseFailed, nullptr, closed);
}

StoredSettings settingsToStore(int mode, const std::function<bool(int id)>& isChecked,
                               const ParameterValues& values) {
  StoredSettings s;
  s.mode = mode < 0 ? 0 : static_cast<std::uint32_t>(mode);
  s.precision = storedChoiceOf(kPrecisionButtons, isChecked);
  s.instructionSet = storedChoiceOf(kInstructionSetButtons, isChecked);
  s.priority = storedChoiceOf(kPriorityButtons, isChecked);
  s.loadConversionState = isChecked(ctl::LoadConversion) ? 1 : 0;
  s.saveConversionState = isChecked(ctl::SaveConversion) ? 1 : 0;
  static_cast<RunNumbers&>(s) = values;
  s.inputFile = values.inputFile;
  s.outputFile = values.outputFile;
  s.loadStateFile = values.loadStateFile;
  s.saveStateFile = values.saveStateFile;
  return s;
}
