#pragma once
#include <string>

// A help request, "manual" or "manual::/topic", cut into the manual's path and
// the topic (with its leading "::"). A request that ends in ".chm" names a
// manual alone; otherwise the topic starts at the last "::" that follows
// ".chm" (in any case), so that a "::" in a directory's name stays in the
// path. A request with neither is cut at its first "::".
struct HelpRequest {
  std::string manualPath;
  std::string topic;
};
HelpRequest splitHelpRequest(const std::string& fileAndTopic);
