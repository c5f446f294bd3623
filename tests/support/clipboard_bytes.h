#pragma once
// The bytes the clipboard hands another program that asks for its text, or for
// a format of its own: what a paste into an editor or a spreadsheet receives.
#include <string>

namespace qmtest {

std::string ClipboardTextBytes();
std::string ClipboardBytes(const char* MimeType);

} // namespace qmtest
