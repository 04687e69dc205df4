#pragma once
#include <QString>
#include <QTest>

// Path of a file among the real encoded texts, or "" when this checkout has
// none beside it.
inline QString realEncodingsFile(const QString &name)
{
    const QString dir = QStringLiteral(QUILLORY_REAL_ENCODINGS_DIR);
    return dir.isEmpty() ? QString() : dir + QLatin1Char('/') + name;
}

#define QUILLORY_REAL_FILE_OR_SKIP(var, name)                                   \
    const QString var = realEncodingsFile(name);                               \
    if (var.isEmpty())                                                          \
        QSKIP("the real encoded texts are not beside this checkout")
