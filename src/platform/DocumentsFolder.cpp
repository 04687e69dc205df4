#include "platform/DocumentsFolder.h"

#include <QDir>
#include <QStandardPaths>

QString getDocumentsFolder()
{
    return QDir::toNativeSeparators(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
}
