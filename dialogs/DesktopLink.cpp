#include "DesktopLink.h"

#include "MessageBoxes.h"
#include "ShellSeams.h"
#include "dialogs/DialogStrings.h"

#include <QDir>
#include <QString>
#include <QUrl>

namespace rm {
namespace {

// A file by its path, a mail address by the address alone, a page by its URL.
QString shownName(const QUrl& url)
{
    if (url.isLocalFile())
        return QDir::toNativeSeparators(url.toLocalFile());
    if (url.scheme() == QLatin1String("mailto"))
        return url.path();
    return url.toString();
}

} // namespace

bool openOrTell(const QUrl& url)
{
    if (shell().openUrl(url))
        return true;
    const QString text = QString::fromUtf8(DialogStrings::NoProgramToOpen).arg(shownName(url));
    showMessage(text.toStdString(), {}, MsgButtons::Ok, MsgIcon::Warning);
    return false;
}

} // namespace rm
