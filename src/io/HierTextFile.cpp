#include "io/HierTextFile.h"

#include "Messages.h"
#include "io/CStringCode.h"
#include "model/CTreeList.h"
#include "platform/Prompter.h"

#include <QStringView>

#include <climits>

bool HierTextFile::writeHierText(const CTreeList &store, int encoding, const QString &path,
                                 const CStringCode &code)
{
    return code.writeText(encoding, path, composeHierText(store));
}

QString HierTextFile::composeHierText(const CTreeList &store)
{
    // Levels below 1 cannot come out of the store's own operations; should one
    // appear anyway it is written as level 1, since without a dot it would
    // join the item before it when read back.
    const auto dotsOf = [](qint32 level) { return qMax<qint32>(level, 1); };

    qsizetype size = 0;
    for (const TREE_ITEM &item : store.items())
        size += dotsOf(item.level) + store.bodies().at(item.number).size() + 2;

    QString out;
    out.reserve(size);
    for (const TREE_ITEM &item : store.items()) {
        const QString &body = store.bodies().at(item.number);
        out.resize(out.size() + dotsOf(item.level), QLatin1Char('.'));
        out.append(body);
        // Without a line break here the next heading would stand in the middle
        // of this item's last line and the two items would be read as one.
        if (!body.endsWith(QLatin1Char('\n')))
            out.append(u"\r\n");
    }
    return out;
}

OutlineRead HierTextFile::readHierText(CTreeList &store, int encoding, const QString &path,
                                       const CStringCode &code, Prompter *prompter)
{
    const TextRead read = code.readTextResult(encoding, path);
    if (!read.ok)
        return OutlineRead{false, read.encoding};
    return OutlineRead{parseHierText(store, read.text, prompter), read.encoding};
}

bool HierTextFile::parseHierText(CTreeList &store, const QString &text, Prompter *prompter)
{
    if (text.isEmpty())
        return true;
    Prompter *const own = store.prompter();
    if (!prompter)
        prompter = own;
    if (text.front() != QLatin1Char('.')) {
        if (prompter)
            prompter->showMessage(QString::fromUtf16(Msg::NotHierText));
        return false;
    }

    // A body is one contiguous slice of the text: from after its heading's
    // dots up to the next heading. One scan over line starts finds them all.
    store.setPrompter(prompter);
    const QStringView all(text);
    const qsizetype n = all.size();
    qsizetype bodyStart = -1;
    qint32 level = 0;
    const auto flush = [&](qsizetype end) {
        if (bodyStart >= 0 && end > bodyStart)
            store.appendItem(level, text.sliced(bodyStart, end - bodyStart));
    };

    qsizetype pos = 0;
    while (pos < n) {
        qsizetype dots = 0;
        while (pos + dots < n && all[pos + dots] == QLatin1Char('.'))
            ++dots;
        if (dots > 0) {
            flush(pos);
            level = qint32(qMin<qsizetype>(dots, INT_MAX));
            bodyStart = pos + dots;
        }
        const qsizetype lf = all.indexOf(QLatin1Char('\n'), pos + dots);
        pos = lf < 0 ? n : lf + 1;
    }
    flush(n);
    store.setPrompter(own);
    return true;
}
