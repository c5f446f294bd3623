#pragma once
// Messages for the user held back: a chart file read first on trial tells what
// it holds once, when its load chooses, not once for each read.
#include "platform/rtl/ansistring.h"
#include <vector>

// While one lives, ShowMessageUser keeps each message in the newest one
// instead of showing it.
class TTeeHeldMessages {
public:
    TTeeHeldMessages();
    ~TTeeHeldMessages();
    TTeeHeldMessages(const TTeeHeldMessages&) = delete;
    TTeeHeldMessages& operator=(const TTeeHeldMessages&) = delete;

    const std::vector<AnsiString>& Messages() const { return FMessages; }
    // Keeps Message in the newest holder; false when none lives.
    static bool Hold(const AnsiString& Message);

private:
    std::vector<AnsiString> FMessages;
    TTeeHeldMessages* FOuter;
};
