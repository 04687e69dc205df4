#include "io/HierCsvFile.h"

#include "io/CStringCode.h"
#include "model/CTreeList.h"

#include <climits>

namespace {

// Appends `text` without its CRs and LFs: a row of the file is one line.
void appendWithoutBreaks(QString &out, QStringView text)
{
    qsizetype start = 0;
    qsizetype cr = text.indexOf(QLatin1Char('\r'));
    qsizetype lf = text.indexOf(QLatin1Char('\n'));
    while (cr >= 0 || lf >= 0) {
        const qsizetype cut = cr < 0 ? lf : lf < 0 ? cr : qMin(cr, lf);
        out.append(text.sliced(start, cut - start));
        start = cut + 1;
        if (cut == cr)
            cr = text.indexOf(QLatin1Char('\r'), start);
        if (cut == lf)
            lf = text.indexOf(QLatin1Char('\n'), start);
    }
    out.append(text.sliced(start));
}

bool isCSpace(QChar c)
{
    const char16_t u = c.unicode();
    return u == u' ' || (u >= u'\t' && u <= u'\r');
}

} // namespace

bool HierCsvFile::writeHierCsv(const CTreeList &store, int encoding, const QString &path,
                               const CStringCode &code)
{
    return code.writeText(encoding, path, composeHierCsv(store));
}

QString HierCsvFile::composeHierCsv(const CTreeList &store)
{
    const QStringView header(Header);
    qsizetype size = header.size() + 2;
    for (const TREE_ITEM &item : store.items())
        size += store.bodies().at(item.number).size() + 16; // level, two commas, CR LF

    QString out;
    out.reserve(size);
    out.append(header);
    out.append(u"\r\n");
    for (const TREE_ITEM &item : store.items()) {
        const QStringView body(store.bodies().at(item.number));
        out.append(QString::number(item.level));
        out.append(QLatin1Char(','));
        const qsizetype cr = body.indexOf(QLatin1Char('\r'));
        // The label is the text before the first CR; a lone LF inside it
        // would split the row in two on disk, so it goes like the rest's.
        if (cr >= 0)
            appendWithoutBreaks(out, body.first(cr));
        out.append(QLatin1Char(','));
        appendWithoutBreaks(out, cr >= 0 ? body.sliced(cr + 1) : body);
        out.append(u"\r\n");
    }
    return out;
}

OutlineRead HierCsvFile::readHierCsv(CTreeList &store, int encoding, const QString &path,
                                     const CStringCode &code, Prompter *prompter)
{
    const TextRead read = code.readTextResult(encoding, path);
    if (!read.ok)
        return OutlineRead{false, read.encoding};
    parseHierCsv(store, read.text, prompter);
    return OutlineRead{true, read.encoding};
}

void HierCsvFile::parseHierCsv(CTreeList &store, const QString &text, Prompter *prompter)
{
    store.clear();
    Prompter *const own = store.prompter();
    if (prompter)
        store.setPrompter(prompter);

    const QStringView all(text);
    const qsizetype n = all.size();
    // The first line is the header, whatever it holds.
    qsizetype pos = all.indexOf(QLatin1Char('\n'));
    pos = pos < 0 ? n : pos + 1;

    while (pos < n) {
        const qsizetype lf = all.indexOf(QLatin1Char('\n'), pos);
        qsizetype end = lf < 0 ? n : lf;
        if (lf >= 0 && end > pos && all[end - 1] == QLatin1Char('\r'))
            --end;
        QStringView line = all.sliced(pos, end - pos);
        pos = lf < 0 ? n : lf + 1;

        QStringView levelField;
        if (const qsizetype comma = line.indexOf(QLatin1Char(',')); comma >= 0) {
            levelField = line.first(comma);
            line = line.sliced(comma + 1);
        }
        QStringView label;
        QStringView rest = line;
        if (const qsizetype comma = line.indexOf(QLatin1Char(',')); comma >= 0) {
            label = line.first(comma);
            rest = line.sliced(comma + 1);
        }

        QString body;
        body.reserve(label.size() + 2 + rest.size());
        body.append(label);
        body.append(u"\r\n");
        body.append(rest);
        store.appendItem(levelFromField(levelField), body);
    }
    store.setPrompter(own);
}

int HierCsvFile::levelFromField(QStringView field)
{
    qsizetype i = 0;
    const qsizetype n = field.size();
    while (i < n && isCSpace(field[i]))
        ++i;
    bool negative = false;
    if (i < n && (field[i] == QLatin1Char('+') || field[i] == QLatin1Char('-'))) {
        negative = field[i] == QLatin1Char('-');
        ++i;
    }
    qint64 value = 0;
    const qint64 limit = negative ? -qint64(INT_MIN) : qint64(INT_MAX);
    for (; i < n && field[i] >= QLatin1Char('0') && field[i] <= QLatin1Char('9'); ++i)
        value = qMin(value * 10 + (field[i].unicode() - u'0'), limit);
    return int(negative ? -value : value);
}
