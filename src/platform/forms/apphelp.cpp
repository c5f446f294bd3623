// Help through the application: a window's help file opened at a topic by the
// desktop's opener (xdg-open), which has no notion of topics; tests put an
// opener of their own in its place.
#include "platform/forms/forms.h"
#include "platform/forms/testhooks.h"
#include "platform/graphics/qtfilenames.h"
#include "platform/rtl/format.h"
#include <QProcess>
#include <QString>
#include <QStringList>
#include <filesystem>

namespace {
THelpOpener& Opener() {
    static THelpOpener opener;
    return opener;
}

bool DesktopOpen(const AnsiString& FileName, int) {
    return QProcess::startDetached(QStringLiteral("xdg-open"), QStringList{FileNameToQt(FileName)});
}

// The help file of the window a control is in: the nearest form outward that
// names one (pages are forms embedded in their dialog), else the application's.
AnsiString HelpFileOf(const TControl* Control) {
    for (const TControl* c = Control; c; c = c->Parent())
        if (auto* f = dynamic_cast<const TCustomForm*>(c); f && !f->HelpFile().IsEmpty())
            return f->HelpFile();
    return Application->HelpFile();
}
} // namespace

THelpOpener SetHelpOpener(THelpOpener Opener_) {
    THelpOpener old = std::move(Opener());
    Opener() = std::move(Opener_);
    return old;
}

bool TApplication::HelpFileContext(const AnsiString& FileName, int Context) {
    if (FileName.IsEmpty()) {
        MessageBox("No help file is registered.", Title(), MB_OK | MB_ICONINFORMATION);
        return false;
    }
    std::error_code ec;
    if (!std::filesystem::is_regular_file(SystemFileName(FileName), ec)) {
        MessageBox(Format("The help file %s was not found.", {FileName}), Title(),
                   MB_OK | MB_ICONSTOP);
        return false;
    }
    const bool opened = Opener() ? Opener()(FileName, Context) : DesktopOpen(FileName, Context);
    if (!opened)
        MessageBox(Format("The help file %s could not be opened: no program to open it was found.",
                          {FileName}),
                   Title(), MB_OK | MB_ICONSTOP);
    return opened;
}

bool TApplication::ControlHelp(TControl* Control) {
    for (TControl* c = Control; c; c = c->Parent())
        if (c->HelpContext() != 0) {
            HelpFileContext(HelpFileOf(c), c->HelpContext());
            return true;
        }
    return false;
}
