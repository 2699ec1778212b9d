#include "choice_buttons.h"

int buttonForStoredChoice(std::span<const int> buttons, std::uint32_t stored) {
  return stored < buttons.size() ? buttons[stored] : buttons[0];
}

std::uint32_t storedChoiceOf(std::span<const int> buttons,
                             const std::function<bool(int id)>& isSelected) {
  for (std::size_t i = buttons.size(); i-- > 1;) {
    if (isSelected(buttons[i])) return static_cast<std::uint32_t>(i);
  }
  return 0;
}

int instructionSetButtonFor(std::uint32_t stored, const std::function<bool(int id)>& isEnabled) {
  const int button = buttonForStoredChoice(kInstructionSetButtons, stored);
  return isEnabled(button) ? button : ctl::X87;
}
