#include "model/BodyText.h"

QString labelFromBody(const QString &body)
{
    const qsizetype p = body.indexOf(QLatin1Char('\r'));
    return p >= 1 ? body.left(p) : QString();
}

QString bodyWithoutLabel(const QString &body)
{
    const qsizetype p = body.indexOf(QLatin1Char('\n'));
    return p >= 1 ? body.mid(p + 1) : body;
}
