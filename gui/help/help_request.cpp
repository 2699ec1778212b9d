#include "help_request.h"

#include <cctype>
#include <string_view>

namespace {

bool endsWithChm(const std::string& text, std::size_t end) {
  static constexpr std::string_view kExtension = ".chm";
  if (end < kExtension.size()) return false;
  for (std::size_t i = 0; i < kExtension.size(); ++i) {
    const char c = text[end - kExtension.size() + i];
    if (std::tolower(static_cast<unsigned char>(c)) != kExtension[i]) return false;
  }
  return true;
}

}  // namespace

HelpRequest splitHelpRequest(const std::string& fileAndTopic) {
  if (endsWithChm(fileAndTopic, fileAndTopic.size())) return {fileAndTopic, {}};
  std::size_t separator = fileAndTopic.rfind("::");
  while (separator != std::string::npos && !endsWithChm(fileAndTopic, separator))
    separator = separator == 0 ? std::string::npos : fileAndTopic.rfind("::", separator - 1);
  if (separator == std::string::npos) separator = fileAndTopic.find("::");
  if (separator == std::string::npos) return {fileAndTopic, {}};
  return {fileAndTopic.substr(0, separator), fileAndTopic.substr(separator)};
}
