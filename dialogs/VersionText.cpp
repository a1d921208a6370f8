#include "VersionText.h"

#include "dialogs/DialogStrings.h"

QString VersionToString(int major, int minor) {
    return QString::number(major) + "." + QString::number(minor).rightJustified(2, '0');
}

QString VersionText(const std::optional<rm::ProgramVersion>& version) {
    if (!version)
        return DialogStrings::AboutVersionNotAvailable;
    return VersionToString(version->major, version->minor);
}
