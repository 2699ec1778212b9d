#pragma once
#include <QPointer>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class HelpWindow;
class QWidget;

// What a failed help request leaves behind: the record's own size (12, as
// callers prepare it), a failure code (negative) or 0, and why, in words.
struct HhLastError {
  int cbStruct = 12;
  std::int32_t hr = 0;
  std::string description;
};

// The program's help system: opens compiled manuals in help windows, one
// window per manual, owned by the window that asked first. The commands keep
// the names of the platform help system they stand in for.
class HtmlHelp {
 public:
  // Failure codes of HhLastError::hr.
  static constexpr std::int32_t kFileNotFound = static_cast<std::int32_t>(0x80070002u);
  static constexpr std::int32_t kInvalidData = static_cast<std::int32_t>(0x8007000Du);
  static constexpr std::int32_t kTopicNotFound = static_cast<std::int32_t>(0x80030002u);
  static constexpr std::int32_t kFailed = static_cast<std::int32_t>(0x80004005u);

  HtmlHelp() = default;
  ~HtmlHelp();  // closes the windows still open
  HtmlHelp(const HtmlHelp&) = delete;
  HtmlHelp& operator=(const HtmlHelp&) = delete;

  // HH_INITIALIZE: starts the help system and returns its cookie (never 0).
  std::uint32_t initialize();
  // HH_UNINITIALIZE: ends what `cookie` started, closing its windows.
  void uninitialize(std::uint32_t cookie);
  // HH_DISPLAY_TOC: "manual path" or "manual path::/topic path" opens (or
  // raises) the manual's window at that topic, or at its default page when
  // no topic is named. Returns the window, or null when the manual or the
  // topic cannot be shown; getLastError then says why.
  QWidget* displayToc(QWidget* caller, const std::string& fileAndTopic);
  // HH_GET_LAST_ERROR: fills `record` (whose cbStruct must be 12) with the
  // outcome of the last displayToc; false when the record is not one.
  bool getLastError(HhLastError* record) const;
  // HH_CLOSE_ALL: closes every help window.
  void closeAll();

  // Where the help windows report links they refuse: one line each.
  void setLog(std::function<void(const std::string& line)> log) { log_ = std::move(log); }

  // The open help windows, for the program's tests.
  std::vector<HelpWindow*> windows() const;

 private:
  QWidget* fail(std::int32_t code, std::string description);
  QWidget* failDamaged(const std::string& manualPath);
  HelpWindow* windowFor(const std::string& manualPath) const;

  std::vector<QPointer<HelpWindow>> windows_;
  HhLastError lastError_;
  std::uint32_t nextCookie_ = 1;
  std::uint32_t activeCookie_ = 0;
  std::function<void(const std::string&)> log_;
};
