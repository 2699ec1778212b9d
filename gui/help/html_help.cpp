#include "html_help.h"

#include <cerrno>
#include <memory>

#include "chm_archive.h"
#include "help_request.h"
#include "help_window.h"

HtmlHelp::~HtmlHelp() { closeAll(); }

std::uint32_t HtmlHelp::initialize() {
  activeCookie_ = nextCookie_++;
  if (nextCookie_ == 0) nextCookie_ = 1;
  return activeCookie_;
}

void HtmlHelp::uninitialize(std::uint32_t cookie) {
  if (cookie == 0 || cookie != activeCookie_) return;
  closeAll();
  activeCookie_ = 0;
}

QWidget* HtmlHelp::fail(std::int32_t code, std::string description) {
  lastError_.hr = code;
  lastError_.description = std::move(description);
  return nullptr;
}

QWidget* HtmlHelp::failDamaged(const std::string& manualPath) {
  return fail(kInvalidData,
              "the help file " + manualPath + " cannot be opened: " + ChmArchive::kDamaged);
}

HelpWindow* HtmlHelp::windowFor(const std::string& manualPath) const {
  for (const QPointer<HelpWindow>& window : windows_) {
    if (window && window->manualPath() == manualPath) return window;
  }
  return nullptr;
}

QWidget* HtmlHelp::displayToc(QWidget* caller, const std::string& fileAndTopic) {
  const auto [manualPath, topic] = splitHelpRequest(fileAndTopic);
  if (manualPath.empty()) return fail(kFileNotFound, "no help file was named");

  HelpWindow* window = windowFor(manualPath);
  std::unique_ptr<ChmArchive> opened;
  if (window == nullptr) {
    std::string why;
    int systemError = 0;
    opened = ChmArchive::open(manualPath, &why, &systemError);
    if (!opened) {
      const bool missing = systemError == ENOENT;
      return fail(missing ? kFileNotFound : kInvalidData,
                  "the help file " + manualPath + " cannot be opened: " + why);
    }
  }
  const ChmArchive& archive = window != nullptr ? window->archive() : *opened;

  std::string path = topic.empty() ? archive.defaultTopic() : archivePathOfTopic(topic);
  if (path.empty()) return fail(kTopicNotFound, "the help file names no page to open at");
  if (!archive.contains(path)) {
    if (archive.damaged()) return failDamaged(manualPath);
    return fail(kTopicNotFound, "the help file has no page " + path.substr(1));
  }
  const std::size_t hash = topic.find('#');
  const std::string fragment = hash == std::string::npos ? std::string() : topic.substr(hash + 1);

  if (window == nullptr) {
    window = new HelpWindow(manualPath, std::move(opened), caller);
    window->view()->setLog(log_);
    windows_.emplace_back(window);
  }
  window->showTopic(path, fragment);
  window->show();
  window->raise();
  window->activateWindow();
  // The reader may fail on the page itself: the window stays, empty.
  if (window->archive().damaged()) return failDamaged(manualPath);
  lastError_ = HhLastError{};
  return window;
}

bool HtmlHelp::getLastError(HhLastError* record) const {
  if (record == nullptr || record->cbStruct != 12) return false;
  record->hr = lastError_.hr;
  record->description = lastError_.description;
  return true;
}

void HtmlHelp::closeAll() {
  for (QPointer<HelpWindow>& window : windows_) delete window.data();
  windows_.clear();
}

std::vector<HelpWindow*> HtmlHelp::windows() const {
  std::vector<HelpWindow*> open;
  for (const QPointer<HelpWindow>& window : windows_) {
    if (window) open.push_back(window);
  }
  return open;
}
