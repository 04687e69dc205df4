#include "io/NativeFile.h"

#include "io/ArchiveString.h"
#include "io/SafeFileWriter.h"
#include "model/CTreeList.h"
#include "platform/Prompter.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <cerrno>

namespace {

// Bytes handed to the writer at a time: large enough that the system calls
// cost nothing, small enough that saving needs no second copy of the outline.
constexpr qsizetype WriteChunk = 1 << 20;

// A level (4 bytes) and the shortest string record (one length byte of 0).
constexpr qsizetype MinItemRecord = 5;

void appendInt32(QByteArray &out, qint32 value)
{
    const qsizetype at = out.size();
    out.resize(at + 4);
    qToLittleEndian<qint32>(value, out.data() + at);
}

void report(Prompter *prompter, FileError error, const QString &path, bool writing)
{
    if (prompter && error != FileError::None)
        prompter->showMessage(fileErrorMessage(error, path, writing));
}

// The errno of a failed open is the best witness; when Qt failed before the
// system was asked, look at the path itself.
FileError openError(int err, const QString &path)
{
    const QFileInfo info(path);
    // A file is "not found" only where its folder exists.
    if (err == ENOENT && !QFileInfo(info.absolutePath()).isDir())
        return FileError::BadPath;
    if (err != 0)
        return fileErrorFromErrno(err, false);
    if (info.isDir())
        return FileError::BadPath;
    if (!info.exists())
        return FileError::NotFound;
    if (!info.isReadable())
        return FileError::AccessDenied;
    return FileError::Other;
}

// Writes the header and one record per item; `bodyOf(item)` gives its body.
template<typename Items, typename BodyOf>
bool writeItems(const QString &path, const Items &items, BodyOf bodyOf, const NativeHeader &header,
                qint32 currentNumber, Prompter *prompter)
{
    SafeFileWriter writer(path);
    if (!writer.open()) {
        report(prompter, writer.error(), path, true);
        return false;
    }

    QByteArray chunk;
    chunk.reserve(WriteChunk + 64);
    chunk.append(NativeFile::headerBytes(header, currentNumber, qint32(items.size())));
    for (const TREE_ITEM &item : items) {
        appendInt32(chunk, item.level);
        ArchiveString::append(chunk, bodyOf(item));
        if (chunk.size() >= WriteChunk) {
            if (!writer.write(chunk))
                break;
            chunk.resize(0); // keeps the capacity
        }
    }
    if (writer.error() == FileError::None)
        writer.write(chunk);
    if (!writer.commit()) {
        report(prompter, writer.error() == FileError::None ? FileError::Other : writer.error(), path,
               true);
        return false;
    }
    return true;
}

} // namespace

QByteArray NativeFile::headerBytes(const NativeHeader &header, qint32 currentNumber, qint32 count)
{
    QByteArray out;
    out.reserve(ArchiveString::recordSize(header.magic.size()) + 12);
    ArchiveString::append(out, header.magic);
    appendInt32(out, header.formatNumber);
    appendInt32(out, currentNumber);
    appendInt32(out, count);
    return out;
}

FileError NativeFile::parse(QByteArrayView bytes, NativeHeader &header,
                            const std::function<void(qint32, const QString &)> &onItem)
{
    if (bytes.isEmpty())
        return FileError::None;

    ArchiveReader in(bytes);
    QString magic;
    qint32 formatNumber = 0;
    qint32 current = 0;
    qint32 count = 0;
    if (!in.readString(magic) || !in.readInt32(formatNumber))
        return FileError::BadFormat;
    header.magic = magic;
    header.formatNumber = formatNumber;
    if (!in.readInt32(current) || !in.readInt32(count))
        return FileError::BadFormat;
    if (count <= 0)
        return FileError::None;
    if (!in.canHold(count, MinItemRecord))
        return FileError::BadFormat;

    QString body;
    for (qint32 i = 0; i < count; ++i) {
        qint32 level = 0;
        if (!in.readInt32(level) || !in.readString(body))
            return FileError::BadFormat;
        onItem(level, body);
    }
    // Bytes after the last record are not ours to judge.
    return FileError::None;
}

FileError NativeFile::readFrom(QIODevice &device, CTreeList &store, NativeHeader &header)
{
    // The whole file in one read: one allocation of the file's own size,
    // which is all a bounds check needs to trust.
    errno = 0;
    const QByteArray bytes = device.readAll();
    const int err = errno;
    if (auto *file = qobject_cast<QFileDevice *>(&device); file && file->error() != QFileDevice::NoError)
        return err ? fileErrorFromErrno(err, false) : FileError::Other;

    return parse(bytes, header, [&store](qint32 level, const QString &body) {
        store.appendItem(level, body);
    });
}

bool NativeFile::read(const QString &path, CTreeList &store, NativeHeader &header, Prompter *prompter)
{
    if (path.isEmpty()) {
        report(prompter, FileError::BadPath, path, false);
        return false;
    }
    QFile file(path);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly)) {
        report(prompter, openError(errno, path), path, false);
        return false;
    }
    const FileError error = readFrom(file, store, header);
    report(prompter, error, path, false);
    return error == FileError::None;
}

bool NativeFile::write(const QString &path, const CTreeList &store, const NativeHeader &header,
                       qint32 currentNumber, Prompter *prompter)
{
    const QStringList &bodies = store.bodies();
    return writeItems(
        path, store.items(),
        [&bodies](const TREE_ITEM &item) -> QStringView {
            return item.number >= 0 && item.number < bodies.size() ? QStringView(bodies.at(item.number))
                                                                   : QStringView();
        },
        header, currentNumber, prompter);
}

bool NativeFile::write(const QString &path, const QList<TREE_ITEM> &items, const QStringList &bodies,
                       const NativeHeader &header, qint32 currentNumber, Prompter *prompter)
{
    return writeItems(
        path, items,
        [&bodies](const TREE_ITEM &item) -> QStringView {
            return item.number >= 0 && item.number < bodies.size() ? QStringView(bodies.at(item.number))
                                                                   : QStringView();
        },
        header, currentNumber, prompter);
}
