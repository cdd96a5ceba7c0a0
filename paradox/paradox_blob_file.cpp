#include "paradox/paradox_blob_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct BlobFile {
    int descriptor = -1;
    off64_t size = 0;
    off64_t position = 0;
};

// The end the stream reports: past the file, never a multiple of 4 KB.
off64_t reportedSize(off64_t size)
{
    return (size + 1) % 4096 == 0 ? size + 2 : size + 1;
}

ssize_t readBlobFile(void *cookie, char *buffer, size_t size)
{
    auto *file = static_cast<BlobFile *>(cookie);
    if (file->position >= file->size)
        return 0;
    const ssize_t read = ::pread(file->descriptor, buffer, size, file->position);
    if (read < 0)
        return -1;
    file->position += read;
    return read;
}

int seekBlobFile(void *cookie, off64_t *offset, int whence)
{
    auto *file = static_cast<BlobFile *>(cookie);
    off64_t base = 0;
    switch (whence) {
    case SEEK_SET: base = 0; break;
    case SEEK_CUR: base = file->position; break;
    case SEEK_END: base = reportedSize(file->size); break;
    default: return -1;
    }
    if (*offset < -base || *offset > (off64_t(1) << 62))
        return -1;
    file->position = base + *offset;
    *offset = file->position;
    return 0;
}

int closeBlobFile(void *cookie)
{
    auto *file = static_cast<BlobFile *>(cookie);
    const int closed = ::close(file->descriptor);
    delete file;
    return closed;
}

} // namespace

QString paradoxBlobFilePath(const QString &tablePath)
{
    const QFileInfo table(tablePath);
    const QString wanted = table.completeBaseName() + QStringLiteral(".MB");
    const QStringList entries = table.absoluteDir().entryList(QDir::Files | QDir::Hidden);
    for (const QString &entry : entries) {
        if (QString::compare(entry, wanted, Qt::CaseInsensitive) == 0)
            return table.absoluteDir().filePath(entry);
    }
    return QString();
}

std::FILE *openParadoxBlobFile(const QString &path)
{
    const int descriptor = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0)
        return nullptr;
    struct stat status {};
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(descriptor);
        return nullptr;
    }
    auto *file = new BlobFile{descriptor, status.st_size, 0};
    const cookie_io_functions_t functions{readBlobFile, nullptr, seekBlobFile, closeBlobFile};
    std::FILE *stream = ::fopencookie(file, "r", functions);
    if (!stream) {
        ::close(descriptor);
        delete file;
    }
    return stream;
}
