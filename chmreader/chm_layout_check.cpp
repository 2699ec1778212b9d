#include "chm_layout_check.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>
#include <vector>

namespace {

// The file's layout: a header ("ITSF"), a directory ("ITSP" and chunks of
// "PMGL" name lists and "PMGI" indexes), the uncompressed section 0, and the
// LZX-compressed section 1 that section 0 describes.
constexpr std::string_view kControlData = "::DataSpace/Storage/MSCompressed/ControlData";
constexpr std::string_view kResetTable =
    "::DataSpace/Storage/MSCompressed/Transform/{7FC28940-9D31-11D0-9B27-00A0C91E9C7C}/"
    "InstanceData/ResetTable";
constexpr std::string_view kContent = "::DataSpace/Storage/MSCompressed/Content";
// The library's buffer for a name, and for a compressed block beyond its length.
constexpr std::uint64_t kMaxNameBytes = 512;
constexpr std::uint64_t kCompressedSlack = 6144;
// The LZX frame every compressed block decodes to.
constexpr std::uint64_t kBlockBytes = 0x8000;
constexpr std::uint64_t kMaxChunkBytes = 1u << 16;
constexpr std::uint64_t kMaxChunks = 1u << 16;
constexpr std::uint64_t kMaxResetEntries = 1u << 20;

struct Entry {
  std::uint64_t section = 0;
  std::uint64_t offset = 0;
  std::uint64_t length = 0;
};

class File {
 public:
  explicit File(const char* path) : fd_(::open(path, O_RDONLY | O_CLOEXEC)) {
    struct stat st {};
    if (fd_ >= 0 && fstat(fd_, &st) == 0 && S_ISREG(st.st_mode))
      size_ = static_cast<std::uint64_t>(st.st_size);
  }
  ~File() {
    if (fd_ >= 0) ::close(fd_);
  }
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  std::uint64_t size() const { return size_; }
  // `length` bytes at `offset`, none when they are not all in the file.
  std::optional<std::string> bytes(std::uint64_t offset, std::uint64_t length) const {
    if (fd_ < 0 || offset > size_ || length > size_ - offset) return std::nullopt;
    std::string out(static_cast<std::size_t>(length), '\0');
    std::size_t done = 0;
    while (done < out.size()) {
      const ssize_t n =
          ::pread(fd_, out.data() + done, out.size() - done, static_cast<off_t>(offset + done));
      if (n <= 0) return std::nullopt;
      done += static_cast<std::size_t>(n);
    }
    return out;
  }

 private:
  int fd_;
  std::uint64_t size_ = 0;
};

std::uint64_t le(std::string_view b, std::size_t at, int width) {
  std::uint64_t v = 0;
  for (int i = width - 1; i >= 0; --i)
    v = v << 8 | static_cast<unsigned char>(b[at + static_cast<std::size_t>(i)]);
  return v;
}

// A variable-length number of the directory: seven bits a byte, high bit
// set on all but the last, most significant first.
std::optional<std::uint64_t> encint(std::string_view chunk, std::size_t& at, std::size_t end) {
  std::uint64_t v = 0;
  for (int i = 0; i < 9; ++i) {
    if (at >= end) return std::nullopt;
    const auto byte = static_cast<unsigned char>(chunk[at++]);
    v = v << 7 | (byte & 0x7F);
    if ((byte & 0x80) == 0) return v;
  }
  return std::nullopt;
}

struct Layout {
  std::uint64_t directoryStart = 0;  // of the first chunk
  std::uint64_t chunkBytes = 0;
  std::uint64_t chunks = 0;
  std::int64_t indexRoot = -1;
  std::int64_t firstListing = -1;
  std::uint64_t contentStart = 0;  // of section 0
};

bool fail(std::string* why, const char* reason) {
  *why = reason;
  return false;
}

// Reads the names of one listing chunk into `entries`; false when an entry
// runs past the chunk's end or has a name longer than the library's buffer.
bool readListing(std::string_view chunk, std::vector<std::pair<std::string, Entry>>* entries) {
  const std::uint64_t freeSpace = le(chunk, 4, 4);
  if (freeSpace > chunk.size() - 0x14) return false;
  const std::size_t end = chunk.size() - static_cast<std::size_t>(freeSpace);
  std::size_t at = 0x14;
  while (at < end) {
    const auto nameLength = encint(chunk, at, end);
    if (!nameLength || *nameLength == 0 || *nameLength > kMaxNameBytes || *nameLength > end - at)
      return false;
    std::string name(chunk.substr(at, static_cast<std::size_t>(*nameLength)));
    at += static_cast<std::size_t>(*nameLength);
    Entry entry;
    const auto section = encint(chunk, at, end);
    const auto offset = encint(chunk, at, end);
    const auto length = encint(chunk, at, end);
    if (!section || !offset || !length) return false;
    entry = {*section, *offset, *length};
    entries->emplace_back(std::move(name), entry);
  }
  return true;
}

// An index chunk's entries: names within the library's buffer and children
// that are chunks of the directory.
bool readIndex(std::string_view chunk, std::uint64_t chunks, std::vector<std::uint64_t>* children) {
  const std::uint64_t freeSpace = le(chunk, 4, 4);
  if (freeSpace > chunk.size() - 8) return false;
  const std::size_t end = chunk.size() - static_cast<std::size_t>(freeSpace);
  std::size_t at = 8;
  while (at < end) {
    const auto nameLength = encint(chunk, at, end);
    if (!nameLength || *nameLength > kMaxNameBytes || *nameLength > end - at) return false;
    at += static_cast<std::size_t>(*nameLength);
    const auto child = encint(chunk, at, end);
    if (!child || *child >= chunks) return false;
    children->push_back(*child);
  }
  return true;
}

}  // namespace

bool chmLayoutIsSound(const char* path, std::string* why) {
  File file(path);
  const auto header = file.bytes(0, 0x60);
  if (!header || header->compare(0, 4, "ITSF") != 0) return fail(why, "no ITSF header");
  const std::uint64_t version = le(*header, 4, 4);
  if (version != 2 && version != 3) return fail(why, "unknown ITSF version");
  Layout layout;
  const std::uint64_t directoryOffset = le(*header, 0x48, 8);
  const std::uint64_t directoryLength = le(*header, 0x50, 8);
  if (directoryOffset > file.size() || directoryLength > file.size() - directoryOffset)
    return fail(why, "directory outside the file");
  layout.contentStart = version == 3 ? le(*header, 0x58, 8) : directoryOffset + directoryLength;
  if (layout.contentStart > file.size()) return fail(why, "content outside the file");

  const auto itsp = file.bytes(directoryOffset, 0x54);
  if (!itsp || itsp->compare(0, 4, "ITSP") != 0 || le(*itsp, 8, 4) != 0x54)
    return fail(why, "no ITSP header");
  layout.chunkBytes = le(*itsp, 0x10, 4);
  if (layout.chunkBytes < 0x20 || layout.chunkBytes > kMaxChunkBytes)
    return fail(why, "directory chunk size");
  layout.directoryStart = directoryOffset + 0x54;
  layout.chunks = le(*itsp, 0x2C, 4);
  if (directoryLength < 0x54 || layout.chunks == 0 || layout.chunks > kMaxChunks ||
      layout.chunks * layout.chunkBytes > directoryLength - 0x54)
    return fail(why, "directory chunk count");
  layout.indexRoot = static_cast<std::int32_t>(le(*itsp, 0x1C, 4));
  layout.firstListing = static_cast<std::int32_t>(le(*itsp, 0x20, 4));
  if (layout.firstListing < 0) return fail(why, "no first listing chunk");

  // Every chunk, whichever way the library may reach it: listings with
  // entries it can parse, indexes whose children are chunks.
  std::vector<std::pair<std::string, Entry>> entries;
  std::vector<std::vector<std::uint64_t>> children(static_cast<std::size_t>(layout.chunks));
  std::vector<std::int64_t> next(static_cast<std::size_t>(layout.chunks), -1);
  std::vector<bool> listing(static_cast<std::size_t>(layout.chunks), false);
  for (std::uint64_t number = 0; number < layout.chunks; ++number) {
    const auto chunk =
        file.bytes(layout.directoryStart + number * layout.chunkBytes, layout.chunkBytes);
    if (!chunk) return fail(why, "directory chunk outside the file");
    if (chunk->compare(0, 4, "PMGL") == 0) {
      if (!readListing(*chunk, &entries)) return fail(why, "listing entries");
      listing[number] = true;
      next[number] = static_cast<std::int32_t>(le(*chunk, 0x10, 4));
    } else if (chunk->compare(0, 4, "PMGI") == 0) {
      if (!readIndex(*chunk, layout.chunks, &children[number])) return fail(why, "index entries");
    } else {
      return fail(why, "unknown directory chunk");
    }
  }
  // The listings in the order their "next" numbers give: each one once.
  std::vector<bool> seen(static_cast<std::size_t>(layout.chunks), false);
  for (std::int64_t number = layout.firstListing; number != -1;) {
    if (number < 0 || static_cast<std::uint64_t>(number) >= layout.chunks ||
        !listing[static_cast<std::size_t>(number)] || seen[static_cast<std::size_t>(number)])
      return fail(why, "listing chunk chain");
    seen[static_cast<std::size_t>(number)] = true;
    number = next[static_cast<std::size_t>(number)];
  }
  // The index from its root down: a tree, no chunk met twice.
  if (layout.indexRoot >= 0) {
    if (static_cast<std::uint64_t>(layout.indexRoot) >= layout.chunks)
      return fail(why, "index root");
    std::vector<bool> visited(static_cast<std::size_t>(layout.chunks), false);
    std::vector<std::uint64_t> pending = {static_cast<std::uint64_t>(layout.indexRoot)};
    while (!pending.empty()) {
      const std::uint64_t number = pending.back();
      pending.pop_back();
      if (visited[number]) return fail(why, "index chunks");
      visited[number] = true;
      for (const std::uint64_t child : children[number]) pending.push_back(child);
    }
  }

  const Entry* control = nullptr;
  const Entry* resetTable = nullptr;
  const Entry* content = nullptr;
  for (const auto& [name, entry] : entries) {
    if (entry.section > 1) return fail(why, "unknown section");
    if (entry.section == 0 && (entry.offset > file.size() - layout.contentStart ||
                               entry.length > file.size() - layout.contentStart - entry.offset))
      return fail(why, "uncompressed entry outside the file");
    if (name == kControlData) control = &entry;
    if (name == kResetTable) resetTable = &entry;
    if (name == kContent) content = &entry;
  }
  const bool compressedFiles = std::any_of(entries.begin(), entries.end(),
                                           [](const auto& e) { return e.second.section == 1; });
  if (!compressedFiles) return true;
  if (control == nullptr || resetTable == nullptr || content == nullptr || control->section != 0 ||
      resetTable->section != 0 || content->section != 0)
    return fail(why, "compressed section without its description");

  // The decompressor's parameters: a window it accepts (2^15 to 2^21 bytes),
  // and a reset interval of whole half-windows, so the library's block
  // arithmetic never divides by zero.
  const auto controlData = file.bytes(layout.contentStart + control->offset, 0x18);
  if (!controlData || control->length < 0x18 || controlData->compare(4, 4, "LZXC") != 0)
    return fail(why, "LZX control data");
  std::uint64_t resetInterval = le(*controlData, 0x0C, 4);
  std::uint64_t windowSize = le(*controlData, 0x10, 4);
  const std::uint64_t windowsPerReset = le(*controlData, 0x14, 4);
  if (le(*controlData, 8, 4) == 2) {
    resetInterval *= 0x8000;
    windowSize *= 0x8000;
  }
  bool windowKnown = false;
  for (int bits = 15; bits <= 21; ++bits) windowKnown = windowKnown || windowSize == (1u << bits);
  if (!windowKnown || resetInterval == 0 || resetInterval % (windowSize / 2) != 0 ||
      windowsPerReset == 0 || resetInterval / (windowSize / 2) * windowsPerReset == 0)
    return fail(why, "LZX window or reset interval");

  // The reset table: where each compressed block starts. Every block must
  // fit the library's buffer, and every compressed file must lie within the
  // blocks the table knows.
  const auto tableHeader = file.bytes(layout.contentStart + resetTable->offset, 0x28);
  if (!tableHeader || resetTable->length < 0x28) return fail(why, "reset table header");
  const std::uint64_t blocks = le(*tableHeader, 4, 4);
  const std::uint64_t tableOffset = le(*tableHeader, 0x0C, 4);
  const std::uint64_t uncompressedLength = le(*tableHeader, 0x10, 8);
  const std::uint64_t compressedLength = le(*tableHeader, 0x18, 8);
  const std::uint64_t blockLength = le(*tableHeader, 0x20, 8);
  if (blockLength != kBlockBytes || blocks == 0 || blocks > kMaxResetEntries ||
      tableOffset > resetTable->length || blocks * 8 > resetTable->length - tableOffset ||
      compressedLength > content->length || uncompressedLength > blocks * blockLength)
    return fail(why, "reset table");
  const auto table = file.bytes(layout.contentStart + resetTable->offset + tableOffset, blocks * 8);
  if (!table) return fail(why, "reset table entries");
  for (std::uint64_t i = 0; i < blocks; ++i) {
    const std::uint64_t start = le(*table, static_cast<std::size_t>(i * 8), 8);
    const std::uint64_t end =
        i + 1 < blocks ? le(*table, static_cast<std::size_t>((i + 1) * 8), 8) : compressedLength;
    if (start > end || end > compressedLength || end - start > blockLength + kCompressedSlack)
      return fail(why, "compressed block size");
  }
  for (const auto& [name, entry] : entries) {
    if (entry.section == 1 &&
        (entry.offset > uncompressedLength || entry.length > uncompressedLength - entry.offset))
      return fail(why, "compressed entry outside the section");
  }
  return true;
}
