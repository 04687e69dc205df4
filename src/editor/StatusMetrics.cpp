#include "editor/StatusMetrics.h"

namespace StatusMetrics {

namespace {
qint64 ceilDiv(qint64 a, qint64 b)
{
    return a / b + (a % b ? 1 : 0);
}
} // namespace

qint64 countCharacters(QStringView text, bool labelDisplay)
{
    qint64 breaks = 0;
    qint64 label = -1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'\r' || c == u'\n') {
            ++breaks;
            if (c == u'\r' && label < 0)
                label = i;
        }
    }
    const qint64 k = (labelDisplay && label >= 0) ? label : 0;
    return text.size() - breaks - k;
}

qint64 countRows(QStringView text, qint64 rowWidth)
{
    if (rowWidth < 1)
        return 0;
    qint64 rows = 0;
    qsizetype start = 0;
    while (start < text.size()) {
        const qsizetype lf = text.indexOf(u'\n', start);
        const qsizetype p = lf < 0 ? -1 : lf - start;
        if (p >= 1) {
            // The character before the LF is taken as the CR of the pair.
            rows += p == 1 ? 1 : ceilDiv(p - 1, rowWidth);
            start = lf + 1;
        } else {
            // No LF, or one at the very start: the rest is one final line.
            rows += ceilDiv(text.size() - start, rowWidth);
            break;
        }
    }
    return rows;
}

qint64 countPages(QStringView text, qint64 rowWidth, qint64 pageHeight)
{
    if (rowWidth < 1 || pageHeight < 1)
        return 0;
    return ceilDiv(countRows(text, rowWidth), pageHeight);
}

} // namespace StatusMetrics
