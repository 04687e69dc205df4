#pragma once
#include "model/CUndoRedo.h"

#include <QList>
#include <QString>
#include <QStringList>

// "kind start end count text" per text history record, line breaks in the
// text shown as \r and \n, so that a failed comparison shows the records.
inline QStringList recordLines(const QList<CMD_ITEM> &records)
{
    QStringList out;
    for (const CMD_ITEM &r : records) {
        QString text = r.text;
        text.replace(QStringLiteral("\r"), QStringLiteral("\\r")).replace(QStringLiteral("\n"), QStringLiteral("\\n"));
        out.append(QStringLiteral("%1 %2 %3 %4 %5").arg(r.kind).arg(r.start).arg(r.end).arg(r.count).arg(text));
    }
    return out;
}
