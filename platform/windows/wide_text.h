#pragma once
// UTF-8 <-> UTF-16 for the Windows side of the platform layer: names travel
// through the programs as UTF-8 and reach Windows through its "W" calls, so
// any file name works whatever the system's code page.
#include <string>

std::wstring widen(const std::string& utf8);
std::string narrow(const std::wstring& utf16);
