#include "registry.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <sstream>
#include <vector>

namespace {

constexpr const char* kRootName = "HKEY_CURRENT_USER";
constexpr const char* kStoreHeader = "REGEDIT4";

struct RegistryValue {
  std::string name;
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
};

struct StoredKey {
  std::string path;
  std::vector<RegistryValue> values;
};

// The whole store, keys and values in file order.
using Store = std::vector<StoredKey>;

char asciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool sameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (asciiLower(a[i]) != asciiLower(b[i])) return false;
  }
  return true;
}

template <typename Item>
Item* findNamed(std::vector<Item>& items, const std::string& name, std::string Item::*field) {
  for (Item& item : items) {
    if (sameName(item.*field, name)) return &item;
  }
  return nullptr;
}

void putValue(std::vector<RegistryValue>& values, RegistryValue value) {
  if (RegistryValue* existing = findNamed(values, value.name, &RegistryValue::name)) {
    *existing = std::move(value);
  } else {
    values.push_back(std::move(value));
  }
}

// ---- Reading the REGEDIT4 text ----

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = asciiLower(c);
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

void trimRight(std::string& text) {
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
    text.pop_back();
  }
}

std::string trimmedLeft(const std::string& text) {
  std::size_t start = 0;
  while (start < text.size() && (text[start] == ' ' || text[start] == '\t')) ++start;
  return text.substr(start);
}

// Reads a quoted text with \\ and \" escapes starting at text[pos] == '"'.
// Leaves `pos` after the closing quote.
std::optional<std::string> readQuoted(const std::string& text, std::size_t& pos) {
  if (pos >= text.size() || text[pos] != '"') return std::nullopt;
  std::string result;
  for (++pos; pos < text.size(); ++pos) {
    const char c = text[pos];
    if (c == '"') {
      ++pos;
      return result;
    }
    if (c == '\\') {
      if (++pos >= text.size()) return std::nullopt;
      result += text[pos];
    } else {
      result += c;
    }
  }
  return std::nullopt;  // no closing quote
}

std::optional<std::vector<std::uint8_t>> readHexBytes(const std::string& text) {
  std::vector<std::uint8_t> bytes;
  std::size_t pos = 0;
  auto skipBlanks = [&] {
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
  };
  skipBlanks();
  if (pos == text.size()) return bytes;
  for (;;) {
    skipBlanks();
    if (pos + 2 > text.size()) return std::nullopt;
    const int high = hexDigit(text[pos]);
    const int low = hexDigit(text[pos + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
    pos += 2;
    skipBlanks();
    if (pos == text.size()) return bytes;
    if (text[pos] != ',') return std::nullopt;
    ++pos;
  }
}

// The data part of a value line (after '='); nullopt when it is malformed.
std::optional<RegistryValue> readValueData(const std::string& data) {
  RegistryValue value;
  if (!data.empty() && data[0] == '"') {
    std::size_t pos = 0;
    std::optional<std::string> text = readQuoted(data, pos);
    if (!text || pos != data.size()) return std::nullopt;
    value.type = kRegSz;
    value.data.assign(text->begin(), text->end());
    value.data.push_back(0);
    return value;
  }
  if (data.rfind("dword:", 0) == 0) {
    const std::string digits = data.substr(6);
    if (digits.size() != 8) return std::nullopt;
    std::uint32_t number = 0;
    for (char c : digits) {
      const int d = hexDigit(c);
      if (d < 0) return std::nullopt;
      number = number * 16 + static_cast<std::uint32_t>(d);
    }
    value.type = kRegDword;
    for (int i = 0; i < 4; ++i) value.data.push_back(static_cast<std::uint8_t>(number >> (8 * i)));
    return value;
  }
  std::size_t colon = 0;
  if (data.rfind("hex:", 0) == 0) {
    value.type = kRegBinary;
    colon = 3;
  } else if (data.rfind("hex(", 0) == 0) {
    const std::size_t close = data.find("):", 4);
    if (close == std::string::npos || close == 4 || close > 12) return std::nullopt;
    std::uint32_t type = 0;
    for (std::size_t i = 4; i < close; ++i) {
      const int d = hexDigit(data[i]);
      if (d < 0) return std::nullopt;
      type = type * 16 + static_cast<std::uint32_t>(d);
    }
    value.type = type;
    colon = close + 1;
  } else {
    return std::nullopt;
  }
  std::optional<std::vector<std::uint8_t>> bytes = readHexBytes(data.substr(colon + 1));
  if (!bytes) return std::nullopt;
  value.data = std::move(*bytes);
  return value;
}

std::optional<RegistryValue> readValueLine(const std::string& line) {
  std::size_t pos = 0;
  std::string name;
  if (line[0] == '@') {
    pos = 1;  // the key's unnamed value
  } else {
    std::optional<std::string> quoted = readQuoted(line, pos);
    if (!quoted) return std::nullopt;
    name = std::move(*quoted);
  }
  if (pos >= line.size() || line[pos] != '=') return std::nullopt;
  std::optional<RegistryValue> value = readValueData(line.substr(pos + 1));
  if (value) value->name = std::move(name);
  return value;
}

// Turns the text of the store into keys and values. Lines that cannot be
// understood are left out, so a damaged store loses only what is damaged.
Store parseStore(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream input(text);
  for (std::string line; std::getline(input, line);) {
    trimRight(line);
    lines.push_back(std::move(line));
  }
  Store store;
  StoredKey* current = nullptr;
  const std::string rootPrefix = std::string(kRootName) + "\\";
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::string line = lines[i];
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      current = nullptr;
      if (line.back() != ']') continue;
      const std::string path = line.substr(1, line.size() - 2);
      if (path.size() <= rootPrefix.size() ||
          !sameName(path.substr(0, rootPrefix.size()), rootPrefix)) {
        continue;  // another root, or a deletion entry: not ours
      }
      const std::string subKey = path.substr(rootPrefix.size());
      current = findNamed(store, subKey, &StoredKey::path);
      if (current == nullptr) current = &store.emplace_back(StoredKey{subKey, {}});
      continue;
    }
    if (line[0] != '"' && line[0] != '@') continue;
    // Long hex data continues on the next lines after a trailing backslash.
    const std::size_t equals = line.find("=hex");
    if (equals != std::string::npos) {
      while (!line.empty() && line.back() == '\\' && i + 1 < lines.size()) {
        line.pop_back();
        line += trimmedLeft(lines[++i]);
      }
    }
    if (current == nullptr) continue;
    if (std::optional<RegistryValue> value = readValueLine(line))
      putValue(current->values, std::move(*value));
  }
  return store;
}

// ---- Writing the REGEDIT4 text ----

void appendQuoted(std::string& out, const std::string& text) {
  out += '"';
  for (char c : text) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  out += '"';
}

void appendHex(std::string& out, const std::vector<std::uint8_t>& data) {
  static constexpr char kDigits[] = "0123456789abcdef";
  for (std::size_t i = 0; i < data.size(); ++i) {
    if (i != 0) out += ',';
    out += kDigits[data[i] >> 4];
    out += kDigits[data[i] & 15];
  }
}

// A text value is written in quotes only when it reads back identically:
// one terminating NUL, no other NUL and no line end inside.
bool quotable(const RegistryValue& value) {
  if (value.data.empty() || value.data.back() != 0) return false;
  for (std::size_t i = 0; i + 1 < value.data.size(); ++i) {
    const std::uint8_t c = value.data[i];
    if (c == 0 || c == '\n' || c == '\r') return false;
  }
  return true;
}

std::string serializeStore(const Store& store) {
  std::string out = std::string(kStoreHeader) + "\n\n";
  for (const StoredKey& key : store) {
    out += '[';
    out += kRootName;
    out += '\\';
    out += key.path;
    out += "]\n";
    for (const RegistryValue& value : key.values) {
      if (value.name.empty()) {
        out += '@';
      } else {
        appendQuoted(out, value.name);
      }
      out += '=';
      if (value.type == kRegSz && quotable(value)) {
        appendQuoted(out, std::string(value.data.begin(), value.data.end() - 1));
      } else if (value.type == kRegDword && value.data.size() == 4) {
        char digits[16];
        const std::uint32_t number = value.data[0] | (value.data[1] << 8) | (value.data[2] << 16) |
                                     (static_cast<std::uint32_t>(value.data[3]) << 24);
        std::snprintf(digits, sizeof digits, "dword:%08x", number);
        out += digits;
      } else if (value.type == kRegBinary) {
        out += "hex:";
        appendHex(out, value.data);
      } else {
        char prefix[24];
        std::snprintf(prefix, sizeof prefix, "hex(%x):", static_cast<unsigned>(value.type));
        out += prefix;
        appendHex(out, value.data);
      }
      out += '\n';
    }
    out += '\n';
  }
  return out;
}

// ---- The file ----

std::string storeDirectory() {
  std::string base;
  const char* configHome = std::getenv("XDG_CONFIG_HOME");
  if (configHome != nullptr && configHome[0] == '/') {
    base = configHome;  // a relative value is to be ignored
  } else {
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] == '\0') {
      if (const passwd* entry = getpwuid(getuid())) home = entry->pw_dir;
    }
    base = std::string(home != nullptr ? home : "") + "/.config";
  }
  return base + "/vantiro";
}

// nullopt when the file exists but cannot be read; an empty text when absent.
std::optional<std::string> readStoreText(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    if (errno == ENOENT) return std::string();
    return std::nullopt;
  }
  std::string text;
  char chunk[4096];
  std::size_t n = 0;
  while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0) text.append(chunk, n);
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) return std::nullopt;
  return text;
}

bool makeDirectories(const std::string& path) {
  for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
    const std::string prefix = path.substr(0, slash);
    if (mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST) return false;
    if (slash == std::string::npos) return true;
  }
}

bool writeAll(int fd, const std::string& text) {
  std::size_t written = 0;
  while (written < text.size()) {
    const ssize_t n = ::write(fd, text.data() + written, text.size() - written);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    written += static_cast<std::size_t>(n);
  }
  return true;
}

// Replaces the file in one step, so a crash leaves either the old or the new store.
bool replaceFileAtomically(const std::string& path, const std::string& text) {
  const std::string directory = path.substr(0, path.rfind('/'));
  std::string temporary = directory + "/.HKCU.reg.XXXXXX";
  const int fd = mkstemp(temporary.data());
  if (fd < 0) return false;
  const bool ok = writeAll(fd, text) && fsync(fd) == 0;
  if (::close(fd) != 0 || !ok || std::rename(temporary.c_str(), path.c_str()) != 0) {
    unlink(temporary.c_str());
    return false;
  }
  const int directoryFd = open(directory.c_str(), O_RDONLY | O_DIRECTORY);
  if (directoryFd >= 0) {
    fsync(directoryFd);  // makes the rename itself durable; best effort
    ::close(directoryFd);
  }
  return true;
}

bool validKeyPath(const char* subKey) {
  if (subKey == nullptr || subKey[0] == '\0' || subKey[0] == '\\') return false;
  for (const char* p = subKey; *p != '\0'; ++p) {
    if (*p == '\n' || *p == '\r' || *p == ']') return false;
  }
  return true;
}

}  // namespace

struct RegistryKeyState {
  bool forSetting = false;
  std::string path;
  std::vector<RegistryValue> values;  // as read, or the values set since opening
};

std::string registryStorePath() { return storeDirectory() + "/HKCU.reg"; }

long regOpenKeyEx(const char* subKey, RegistryKey* result) {
  if (result == nullptr) return kRegistryInvalidParameter;
  *result = nullptr;
  if (!validKeyPath(subKey)) return kRegistryInvalidParameter;
  const std::optional<std::string> text = readStoreText(registryStorePath());
  if (!text) return kRegistryAccessDenied;
  Store store = parseStore(*text);
  StoredKey* key = findNamed(store, subKey, &StoredKey::path);
  if (key == nullptr) return kRegistryNotFound;
  *result = new RegistryKeyState{false, key->path, std::move(key->values)};
  return kRegistrySuccess;
}

long regQueryValueEx(RegistryKey key, const char* valueName, std::uint32_t* type,
                     std::uint8_t* data, std::uint32_t* size) {
  if (key == nullptr) return kRegistryInvalidHandle;
  if (key->forSetting) return kRegistryAccessDenied;
  if (valueName == nullptr || size == nullptr) return kRegistryInvalidParameter;
  const RegistryValue* value = findNamed(key->values, valueName, &RegistryValue::name);
  if (value == nullptr) return kRegistryNotFound;
  if (type != nullptr) *type = value->type;
  const auto needed = static_cast<std::uint32_t>(value->data.size());
  if (data == nullptr) {
    *size = needed;
    return kRegistrySuccess;
  }
  if (*size < needed) {
    *size = needed;
    return kRegistryMoreData;
  }
  if (needed != 0) std::memcpy(data, value->data.data(), needed);
  *size = needed;
  return kRegistrySuccess;
}

long regCreateKeyEx(const char* subKey, RegistryKey* result) {
  if (result == nullptr) return kRegistryInvalidParameter;
  *result = nullptr;
  if (!validKeyPath(subKey)) return kRegistryInvalidParameter;
  const std::string directory = storeDirectory();
  if (!makeDirectories(directory) || access(directory.c_str(), W_OK | X_OK) != 0) {
    return kRegistryAccessDenied;
  }
  *result = new RegistryKeyState{true, subKey, {}};
  return kRegistrySuccess;
}

long regSetValueEx(RegistryKey key, const char* valueName, std::uint32_t type,
                   const std::uint8_t* data, std::uint32_t size) {
  if (key == nullptr) return kRegistryInvalidHandle;
  if (!key->forSetting) return kRegistryAccessDenied;
  if (valueName == nullptr || (data == nullptr && size != 0)) return kRegistryInvalidParameter;
  for (const char* p = valueName; *p != '\0'; ++p) {
    if (*p == '\n' || *p == '\r') return kRegistryInvalidParameter;
  }
  RegistryValue value{valueName, type, {}};
  if (size != 0) value.data.assign(data, data + size);
  putValue(key->values, std::move(value));
  return kRegistrySuccess;
}

long regCloseKey(RegistryKey key) {
  if (key == nullptr) return kRegistryInvalidHandle;
  long status = kRegistrySuccess;
  if (key->forSetting) {
    // Merge into the store as it stands now, so other keys (and other
    // programs' changes since the key was opened) are kept.
    const std::string path = registryStorePath();
    const std::optional<std::string> text = readStoreText(path);
    if (!text) {
      delete key;  // a store we cannot read is never overwritten
      return kRegistryCannotWrite;
    }
    Store store = parseStore(*text);
    StoredKey* stored = findNamed(store, key->path, &StoredKey::path);
    if (stored == nullptr) stored = &store.emplace_back(StoredKey{key->path, {}});
    for (RegistryValue& value : key->values) putValue(stored->values, std::move(value));
    if (!replaceFileAtomically(path, serializeStore(store))) status = kRegistryCannotWrite;
  }
  delete key;
  return status;
}
