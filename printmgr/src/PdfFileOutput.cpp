#include "PdfFileOutput.h"

#include "ReplaceFile.h"
#include "printmgr/PrintManagerStrings.h"

#include <QFile>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace printmgr::pdf_file {
namespace {

QString systemReason(int error) { return QString::fromUtf8(std::strerror(error)); }

// Both name the same file: one inode, or the same path once every link and
// "." or ".." in it is resolved (for a file not there yet).
bool sameFile(const QString& a, const QString& b)
{
    const QByteArray nameA = QFile::encodeName(a);
    const QByteArray nameB = QFile::encodeName(b);
    struct stat one {}, two {};
    if (::stat(nameA.constData(), &one) == 0 && ::stat(nameB.constData(), &two) == 0)
        return one.st_dev == two.st_dev && one.st_ino == two.st_ino;
    char* realA = ::realpath(nameA.constData(), nullptr);
    char* realB = ::realpath(nameB.constData(), nullptr);
    const bool same = realA && realB && std::strcmp(realA, realB) == 0;
    std::free(realA);
    std::free(realB);
    return same || a == b;
}

} // namespace

QString refusal(const QString& path, const QString& layoutPath)
{
    if (sameFile(path, layoutPath))
        return QString::fromUtf8(PrintManagerStrings::IsLayoutFile);
    const QByteArray name = QFile::encodeName(path);
    struct stat status {};
    if (::stat(name.constData(), &status) != 0)
        return errno == ENOENT ? QString() : systemReason(errno);
    if (!S_ISREG(status.st_mode))
        return QString::fromUtf8(PrintManagerStrings::NotRegularFile);
    // Read-only for everybody is read-only for the superuser too.
    if ((status.st_mode & 0222) == 0 || ::access(name.constData(), W_OK) != 0)
        return QString::fromUtf8(PrintManagerStrings::FileReadOnly);
    return {};
}

QString write(const QString& path, const QByteArray& pdf)
{
    int writeError = 0;
    errno = 0;
    const rm::ReplaceResult result = rm::replaceFile(QFile::encodeName(path).toStdString(), [&](int fd) {
        if (rm::writeWhole(fd, pdf.constData(), static_cast<size_t>(pdf.size())))
            return true;
        writeError = errno;
        return false;
    });
    const int lastError = errno;
    switch (result) {
    case rm::ReplaceResult::Written:
        return {};
    case rm::ReplaceResult::WriteFailed:
        return writeError ? systemReason(writeError) : QString::fromUtf8(PrintManagerStrings::NotWrittenWhole);
    case rm::ReplaceResult::CannotCreate:
        break;
    }
    return lastError ? systemReason(lastError) : QString::fromUtf8(PrintManagerStrings::CannotCreate);
}

} // namespace printmgr::pdf_file
