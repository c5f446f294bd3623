#pragma once
// The bytes the clipboard hands another program that asks for its text: what a
// paste into an editor or a reader of its own receives.
#include <string>

namespace qmtest {

std::string ClipboardTextBytes();

} // namespace qmtest
