#include "io/OutlineFileIo.h"

#include "io/CStringCode.h"
#include "io/HierCsvFile.h"

#include <QFileInfo>

QString OutlineFileIo::extensionOf(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.mid(dot + 1);
}

int OutlineFileIo::fileTypeOf(const QString &path)
{
    const QString ext = extensionOf(path);
    if (ext.compare(QLatin1String("qlo"), Qt::CaseInsensitive) == 0)
        return FileType::Native;
    if (ext.compare(QLatin1String("txt"), Qt::CaseInsensitive) == 0)
        return FileType::HierText;
    if (ext.compare(QLatin1String("csv"), Qt::CaseInsensitive) == 0)
        return FileType::HierCsv;
    return FileType::Unknown;
}

OutlineRead OutlineFileIo::read(int fileType, const QString &path, int encoding, CTreeList &store,
                                NativeHeader &header, const CStringCode &code, Prompter *prompter)
{
    switch (fileType) {
    case FileType::Native:
        return OutlineRead{NativeFile::read(path, store, header, prompter), encoding};
    case FileType::HierText:
        return HierTextFile::readHierText(store, encoding, path, code, prompter);
    case FileType::HierCsv:
        return HierCsvFile::readHierCsv(store, encoding, path, code, prompter);
    default:
        return OutlineRead{false, encoding};
    }
}

bool OutlineFileIo::write(int fileType, const QString &path, int encoding, const CTreeList &store,
                          const NativeHeader &header, qint32 currentNumber, const CStringCode &code,
                          Prompter *prompter)
{
    switch (fileType) {
    case FileType::Native:
        return NativeFile::write(path, store, header, currentNumber, prompter);
    case FileType::HierText:
        return HierTextFile::writeHierText(store, encoding, path, code);
    case FileType::HierCsv:
        return HierCsvFile::writeHierCsv(store, encoding, path, code);
    default:
        return false;
    }
}
