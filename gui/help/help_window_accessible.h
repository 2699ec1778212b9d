#pragma once

// Makes screen readers announce a help window as a window of its own (a
// frame named by its title) instead of a nameless part of another one.
// Installed once; later calls do nothing.
void installHelpWindowAccessibility();
