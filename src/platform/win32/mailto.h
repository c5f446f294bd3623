#pragma once
// Hands a file to the user's mail program as the attachment of a new message
// the user completes and sends. The program is xdg-email, found on the PATH.
#include "platform/rtl/ansistring.h"

enum class TMailResult {
    Handed,        // the mail program took the message
    NoMailProgram, // neither xdg-email nor a mail program behind it is installed
    Failed         // the mail program refused (Code holds its exit status)
};

struct TMailOutcome {
    TMailResult Result = TMailResult::Failed;
    int Code = 0;
};

// True when the mail program can be started (looked up once per process).
bool MailProgramInstalled();
// The attachment must stay in place: the mail program reads it after this returns.
TMailOutcome MailFileAsAttachment(const AnsiString& FileName, const AnsiString& Subject);

// A new private folder under the temporary folder for one attachment, with a
// trailing delimiter; empty when none can be made, EFileNameError when the
// temporary folder's name cannot be held.
AnsiString NewMailFolder();

// Tests name another program (a path or a name on the PATH); empty restores xdg-email.
void SetMailProgramOverride(const AnsiString& Program);
