#pragma once
#include "io/FileError.h"
#include "model/TreeItem.h"

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

class CTreeList;
class Prompter;
class QIODevice;

// What a native file carries beside the outline; written back unchanged so a
// loaded file's format number survives a later save.
struct NativeHeader
{
    static constexpr char16_t DefaultMagic[] = u"Quilolry DataFile";
    static constexpr qint32 DefaultFormatNumber = 12000;

    QString magic = QString::fromUtf16(DefaultMagic);
    qint32 formatNumber = DefaultFormatNumber;
};

// The native document file (.qlo): header, then (level, body) records in
// outline order. Also used for backups and branch files.
class NativeFile
{
public:
    // Appends the file's items to `store` (already cleared by the caller).
    // A zero-byte file reads as no items. On failure the message is shown
    // and false returned; the store then holds what was read before it.
    static bool read(const QString &path, CTreeList &store, NativeHeader &header, Prompter *prompter);

    // Writes the outline in list order, through a temporary file: a failed
    // save leaves the old file untouched, shows the message, returns false.
    static bool write(const QString &path, const CTreeList &store, const NativeHeader &header,
                      qint32 currentNumber, Prompter *prompter);

    // The same on an open device; the store's prompter sees depth messages.
    static FileError readFrom(QIODevice &device, CTreeList &store, NativeHeader &header);
    static QByteArray headerBytes(const NativeHeader &header, qint32 currentNumber, qint32 count);

    // Walks a whole file image: the header into `header`, then `onItem` once
    // per record in file order. A zero-byte image is no file and leaves
    // `header` alone. Records delivered before a failure stay delivered.
    static FileError parse(QByteArrayView bytes, NativeHeader &header,
                           const std::function<void(qint32 level, const QString &body)> &onItem);

    // Writes `items` (a branch, say) with their bodies from `bodies` in
    // place of the whole outline; same failure handling as write().
    static bool write(const QString &path, const QList<TREE_ITEM> &items, const QStringList &bodies,
                      const NativeHeader &header, qint32 currentNumber, Prompter *prompter);
};
