#include "list_box_sink.h"

#include <cstring>

#include "run_window.h"

std::vector<std::string> cutIntoLines(const char* text) {
  std::vector<std::string> lines;
  const char* start = text;
  for (const char* end = std::strchr(start, '\n'); end != nullptr; end = std::strchr(start, '\n')) {
    const char* pieceEnd = (end > start && end[-1] == '\r') ? end - 1 : end;
    lines.emplace_back(start, pieceEnd);
    start = end + 1;
  }
  lines.emplace_back(start);
  return lines;
}

void ListBoxSink::write(std::uint32_t level, const char* text) {
  if (level < listThreshold_ || text == nullptr) return;
  // The engine's text lives only during this call; the pieces are copies.
  list_.appendLines(cutIntoLines(text));
}

void ListBoxLogSink::write(std::uint32_t level, const char* text) {
  list_.write(level, text);
  if (level >= logThreshold_ && log_ != nullptr && text != nullptr) {
    std::fprintf(log_, "%s\n", text);
    std::fflush(log_);  // a line per error, there even if the program dies later
  }
}
