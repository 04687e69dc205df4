#include "io/HierTextFile.h"

#include "Messages.h"
#include "io/CStringCode.h"
#include "io/ComposeBuffer.h"
#include "model/CTreeList.h"
#include "platform/Prompter.h"

#include <QStringView>

#include <algorithm>
#include <bit>
#include <climits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Where the next line that starts with a full stop starts, looking from
// `from` on; the text's size when there is none. Line breaks are few among
// the units, so eight units are tested at a time.
qsizetype nextHeading(QStringView text, qsizetype from)
{
    const char16_t *s = text.utf16();
    const qsizetype n = text.size();
    qsizetype i = from;
#if defined(__SSE2__)
    const __m128i lf = _mm_set1_epi16(u'\n');
    const __m128i dot = _mm_set1_epi16(u'.');
    for (; i + 9 <= n; i += 8) {
        const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i *>(s + i));
        const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i *>(s + i + 1));
        const unsigned hits = unsigned(
            _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi16(here, lf), _mm_cmpeq_epi16(next, dot))));
        if (hits != 0)
            return i + std::countr_zero(hits) / 2 + 1;
    }
#endif
    for (; i + 1 < n; ++i) {
        if (s[i] == u'\n' && s[i + 1] == u'.')
            return i + 1;
    }
    return n;
}

} // namespace

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
    const auto dotsOf = [](qint32 level) { return qsizetype(qMax<qint32>(level, 1)); };
    // Without a line break at the end of a body the next heading would stand
    // in the middle of its last line, and the two items would be read as one.
    const auto needsBreak = [](const QString &body) { return !body.endsWith(QLatin1Char('\n')); };

    // Deep levels may need more dots than guessed: the buffer then grows.
    ComposeBuffer out(store, 8);
    const QStringList &bodies = store.bodies();
    for (const TREE_ITEM &item : store.items()) {
        const QString &body = bodies.at(item.number);
        const qsizetype dots = dotsOf(item.level);
        char16_t *d = out.room(dots + body.size() + 2);
        d = std::fill_n(d, dots, u'.');
        d = std::copy_n(QStringView(body).utf16(), body.size(), d);
        if (needsBreak(body)) {
            *d++ = u'\r';
            *d++ = u'\n';
        }
        out.done(d);
    }
    return out.take();
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

    // The text starts with a heading; every other one follows an LF.
    for (qsizetype pos = 0; pos < n; pos = nextHeading(all, bodyStart)) {
        qsizetype dots = 0;
        while (pos + dots < n && all[pos + dots] == QLatin1Char('.'))
            ++dots;
        flush(pos);
        level = qint32(qMin<qsizetype>(dots, INT_MAX));
        bodyStart = pos + dots;
    }
    flush(n);
    store.setPrompter(own);
    return true;
}
