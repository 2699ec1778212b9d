#pragma once
#include <optional>
#include <span>
#include <string>
#include <string_view>

// Which page of the user manual belongs to which control of the main window,
// and, for the controls whose meaning changes with the mode, to which mode.
// A topic is the part that follows the manual's file name in a help request:
// "::/" and the page's path inside the compiled manual.

inline constexpr std::string_view kDefaultHelpPage = "Vantiro Overview.html";

// The topic of control `controlId` when the Mode list shows `modeIndex`
// (-1: nothing selected); none for controls without a page of their own,
// which open the manual at its default page.
std::optional<std::string_view> helpTopic(int controlId, int modeIndex);

// Every topic the tables name, each once.
std::span<const std::string_view> allHelpTopics();
