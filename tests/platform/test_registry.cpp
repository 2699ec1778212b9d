// The HKEY_CURRENT_USER store: Win32 results, the REGEDIT4 text, damaged
// files and the atomic write.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace {

namespace fs = std::filesystem;
constexpr const char* kKey = "Software\\Brennix Software\\Vantiro";

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/vantiro-registry-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    home_ = pattern;
    setenv("XDG_CONFIG_HOME", home_.c_str(), 1);
  }
  void TearDown() override {
    chmod((home_ + "/vantiro").c_str(), 0700);
    fs::remove_all(home_);
    unsetenv("XDG_CONFIG_HOME");
  }

  std::string storePath() const { return home_ + "/vantiro/HKCU.reg"; }

  void writeStore(const std::string& text) {
    fs::create_directories(home_ + "/vantiro");
    std::ofstream(storePath(), std::ios::binary) << text;
  }

  std::string readStore() const {
    std::ifstream file(storePath(), std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
  }

  void setValues(
      const std::vector<std::tuple<std::string, std::uint32_t, std::vector<std::uint8_t>>>& values,
      const char* key = kKey) {
    RegistryKey handle = nullptr;
    ASSERT_EQ(regCreateKeyEx(key, &handle), kRegistrySuccess);
    for (const auto& [name, type, data] : values) {
      ASSERT_EQ(regSetValueEx(handle, name.c_str(), type, data.data(),
                              static_cast<std::uint32_t>(data.size())),
                kRegistrySuccess);
    }
    ASSERT_EQ(regCloseKey(handle), kRegistrySuccess);
  }

  // The value's data, or the error code as the only byte when it fails.
  std::pair<long, std::vector<std::uint8_t>> query(const char* name,
                                                   std::uint32_t* type = nullptr) {
    RegistryKey handle = nullptr;
    const long opened = regOpenKeyEx(kKey, &handle);
    if (opened != kRegistrySuccess) return {opened, {}};
    std::uint32_t size = 0;
    long status = regQueryValueEx(handle, name, type, nullptr, &size);
    std::vector<std::uint8_t> data(size);
    if (status == kRegistrySuccess)
      status = regQueryValueEx(handle, name, type, data.data(), &size);
    regCloseKey(handle);
    return {status, data};
  }

  std::string home_;
};

std::vector<std::uint8_t> bytesOf(const std::string& text, bool withNul = true) {
  std::vector<std::uint8_t> bytes(text.begin(), text.end());
  if (withNul) bytes.push_back(0);
  return bytes;
}

TEST_F(RegistryTest, MissingStoreOrKeyIsNotFound) {
  RegistryKey handle = reinterpret_cast<RegistryKey>(1);
  EXPECT_EQ(regOpenKeyEx(kKey, &handle), kRegistryNotFound);
  EXPECT_EQ(handle, nullptr);
  writeStore("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Other]\n\"A\"=dword:00000001\n");
  EXPECT_EQ(regOpenKeyEx(kKey, &handle), kRegistryNotFound);
}

TEST_F(RegistryTest, WritesRegedit4TextWithEscapes) {
  setValues({{"Mode", kRegDword, {7, 0, 0, 0}},
             {"LearningRate", kRegBinary, {0xff, 0x00, 0x10, 0xab, 0, 0, 0xf0, 0xbf}},
             {"InputFile", kRegSz, bytesOf("C:\\data\\\"series\".txt")}});
  EXPECT_EQ(readStore(),
            "REGEDIT4\n\n"
            "[HKEY_CURRENT_USER\\Software\\Brennix Software\\Vantiro]\n"
            "\"Mode\"=dword:00000007\n"
            "\"LearningRate\"=hex:ff,00,10,ab,00,00,f0,bf\n"
            "\"InputFile\"=\"C:\\\\data\\\\\\\"series\\\".txt\"\n\n");
  EXPECT_FALSE(fs::exists(home_ + "/vantiro/.HKCU.reg.tmp")) << "no temporary file is left";
  for (const auto& entry : fs::directory_iterator(home_ + "/vantiro")) {
    EXPECT_EQ(entry.path().filename(), "HKCU.reg");
  }
}

TEST_F(RegistryTest, ValuesReadBackExactlyWithTheirTypes) {
  const std::vector<std::tuple<std::string, std::uint32_t, std::vector<std::uint8_t>>> values = {
      {"Dword", kRegDword, {0x78, 0x56, 0x34, 0x12}},
      {"Binary", kRegBinary, {1, 2, 3}},
      {"EmptyBinary", kRegBinary, {}},
      {"Text", kRegSz, bytesOf("a \"quoted\" \\ path")},
      {"EmptyText", kRegSz, bytesOf("")},
      // Texts a quoted string cannot carry go out in hex form and still come back.
      {"LineEnd", kRegSz, bytesOf("two\nlines\r")},
      {"NoNul", kRegSz, bytesOf("abc", false)},
      {"ShortDword", kRegDword, {1, 2}},
      {"Other", 7, {0x61, 0, 0}},
  };
  setValues(values);
  for (const auto& [name, type, data] : values) {
    std::uint32_t readType = 0;
    const auto [status, readData] = query(name.c_str(), &readType);
    EXPECT_EQ(status, kRegistrySuccess) << name;
    EXPECT_EQ(readType, type) << name;
    EXPECT_EQ(readData, data) << name;
  }
}

TEST_F(RegistryTest, QueryReportsSizesAndMoreData) {
  setValues({{"Text", kRegSz, bytesOf("abc")}});
  RegistryKey handle = nullptr;
  ASSERT_EQ(regOpenKeyEx(kKey, &handle), kRegistrySuccess);
  std::uint32_t size = 0;
  EXPECT_EQ(regQueryValueEx(handle, "Text", nullptr, nullptr, &size), kRegistrySuccess);
  EXPECT_EQ(size, 4u);
  std::uint8_t small[2] = {};
  size = sizeof small;
  EXPECT_EQ(regQueryValueEx(handle, "Text", nullptr, small, &size), kRegistryMoreData);
  EXPECT_EQ(size, 4u);
  EXPECT_EQ(regQueryValueEx(handle, "Missing", nullptr, small, &size), kRegistryNotFound);
  // Names compare without regard to case, as the platform's do.
  size = 0;
  EXPECT_EQ(regQueryValueEx(handle, "TEXT", nullptr, nullptr, &size), kRegistrySuccess);
  EXPECT_EQ(regSetValueEx(handle, "Text", kRegSz, small, 1), kRegistryAccessDenied)
      << "opened for reading";
  EXPECT_EQ(regCloseKey(handle), kRegistrySuccess);
  EXPECT_EQ(regQueryValueEx(nullptr, "Text", nullptr, nullptr, &size), kRegistryInvalidHandle);
}

TEST_F(RegistryTest, SavingKeepsOtherKeysAndValues) {
  writeStore(
      "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Other]\r\n\"Keep\"=\"me\"\r\n\r\n"
      "[HKEY_CURRENT_USER\\software\\brennix software\\vantiro]\r\n\"Old\"=dword:00000005\r\n"
      "\"Mode\"=dword:00000001\r\n");
  setValues({{"Mode", kRegDword, {2, 0, 0, 0}}});
  EXPECT_EQ(readStore(),
            "REGEDIT4\n\n"
            "[HKEY_CURRENT_USER\\Software\\Other]\n\"Keep\"=\"me\"\n\n"
            "[HKEY_CURRENT_USER\\software\\brennix software\\vantiro]\n"
            "\"Old\"=dword:00000005\n\"Mode\"=dword:00000002\n\n");
}

TEST_F(RegistryTest, DamagedLinesReadAsMissingValues) {
  writeStore(
      "\"Orphan\"=dword:00000001\n"
      "garbage line without meaning\n"
      "[HKEY_CURRENT_USER\\Software\\Brennix Software\\Vantiro]\n"
      "\"Good\"=dword:0000000a\n"
      "\"ShortDigits\"=dword:123\n"
      "\"BadHex\"=hex:zz,01\n"
      "\"Unclosed\"=\"text\n"
      "\"NoEquals\" dword:00000001\n"
      "\"Long\"=hex:01,02,\\\n  03,04\n"
      "[HKEY_CURRENT_USER\\Software\\Brennix Software\\Vantiro\n"
      "\"AfterBrokenHeader\"=dword:00000001\n"
      "\x01\x02\xff\n");
  EXPECT_EQ(query("Good").second, (std::vector<std::uint8_t>{10, 0, 0, 0}));
  EXPECT_EQ(query("Long").second, (std::vector<std::uint8_t>{1, 2, 3, 4}));
  for (const char* name :
       {"Orphan", "ShortDigits", "BadHex", "Unclosed", "NoEquals", "AfterBrokenHeader"}) {
    EXPECT_EQ(query(name).first, kRegistryNotFound) << name;
  }
}

TEST_F(RegistryTest, UnusableStoreDirectoryIsAccessDenied) {
  // The configuration directory is a plain file: nothing can be created in it.
  const std::string blocked = home_ + "/not-a-directory";
  std::ofstream(blocked) << "x";
  setenv("XDG_CONFIG_HOME", blocked.c_str(), 1);
  RegistryKey handle = reinterpret_cast<RegistryKey>(1);
  EXPECT_EQ(regCreateKeyEx(kKey, &handle), kRegistryAccessDenied);
  EXPECT_EQ(handle, nullptr);
}

TEST_F(RegistryTest, CloseFailureKeepsThePreviousStore) {
  setValues({{"Mode", kRegDword, {1, 0, 0, 0}}});
  const std::string before = readStore();
  RegistryKey handle = nullptr;
  ASSERT_EQ(regCreateKeyEx(kKey, &handle), kRegistrySuccess);
  ASSERT_EQ(
      regSetValueEx(handle, "Mode", kRegDword, std::vector<std::uint8_t>{2, 0, 0, 0}.data(), 4),
      kRegistrySuccess);
  // The store's place turns into a directory the new file cannot replace.
  fs::rename(storePath(), storePath() + ".saved");
  fs::create_directories(storePath() + "/blocker");
  EXPECT_EQ(regCloseKey(handle), kRegistryCannotWrite);
  fs::remove_all(storePath());
  fs::rename(storePath() + ".saved", storePath());
  EXPECT_EQ(readStore(), before);
  for (const auto& entry : fs::directory_iterator(home_ + "/vantiro")) {
    EXPECT_EQ(entry.path().filename(), "HKCU.reg") << "temporary file left behind";
  }
}

TEST_F(RegistryTest, StoreFollowsXdgConfigHome) {
  EXPECT_EQ(registryStorePath(), storePath());
  const char* home = std::getenv("HOME");
  const std::string savedHome = home != nullptr ? home : "";
  setenv("XDG_CONFIG_HOME", "relative/dir", 1);  // not absolute: ignored
  setenv("HOME", home_.c_str(), 1);
  EXPECT_EQ(registryStorePath(), home_ + "/.config/vantiro/HKCU.reg");
  setenv("HOME", savedHome.c_str(), 1);
}

}  // namespace
