#pragma once
// File names between the program and Qt, which hands them to the system in
// UTF-8: the same pair of conversions as every other name of the platform.
#include "platform/classes/filenames.h"
#include <QString>

inline QString FileNameToQt(const AnsiString& Name) {
    return QString::fromStdString(SystemFileName(Name));
}

// EFileNameError when the program cannot hold the name.
inline AnsiString FileNameFromQt(const QString& Name) {
    return ProgramFileName(Name.toStdString());
}
