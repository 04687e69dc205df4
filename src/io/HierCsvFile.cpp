#include "io/HierCsvFile.h"

#include "io/CStringCode.h"
#include "io/ComposeBuffer.h"
#include "model/CTreeList.h"

#include <algorithm>
#include <climits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Copies `text` without its CRs and LFs to `d`: a row of the file is one
// line. A break is rare (one in forty units or so), so eight units at a time
// are stored and tested together; where one of them is a break, each unit is
// stored and the cursor moves past the ones kept. `d` has room for `text`.
char16_t *copyWithoutBreaks(char16_t *d, QStringView text)
{
    const char16_t *s = text.utf16();
    const char16_t *const end = s + text.size();
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi16(u'\r');
    const __m128i lf = _mm_set1_epi16(u'\n');
    for (; end - s >= 8; s += 8) {
        // The processor's prefetching starts late on each short body.
        __builtin_prefetch(s + 256);
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(s));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(d), v);
        if (_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi16(v, cr), _mm_cmpeq_epi16(v, lf))) == 0) {
            d += 8;
            continue;
        }
        for (int i = 0; i < 8; ++i) {
            *d = s[i];
            d += (s[i] != u'\r') & (s[i] != u'\n');
        }
    }
#endif
    for (; s < end; ++s) {
        *d = *s;
        d += (*s != u'\r') & (*s != u'\n');
    }
    return d;
}

// The decimal form of `value` at `d`, as QString::number writes it.
char16_t *putNumber(char16_t *d, qint32 value)
{
    char16_t digits[10];
    int n = 0;
    quint32 v = value < 0 ? 0u - quint32(value) : quint32(value);
    do {
        digits[n++] = char16_t(u'0' + v % 10);
        v /= 10;
    } while (v != 0);
    if (value < 0)
        *d++ = u'-';
    while (n > 0)
        *d++ = digits[--n];
    return d;
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
    constexpr qsizetype RowExtra = 16; // level, two commas, CR LF
    ComposeBuffer out(store, RowExtra, header.size() + 2);
    char16_t *d = std::copy_n(header.utf16(), header.size(), out.room(header.size() + 2));
    *d++ = u'\r';
    *d++ = u'\n';
    out.done(d);
    const QStringList &bodies = store.bodies();
    for (const TREE_ITEM &item : store.items()) {
        const QStringView body(bodies.at(item.number));
        d = out.room(body.size() + RowExtra);
        d = putNumber(d, item.level);
        *d++ = u',';
        const qsizetype cr = body.indexOf(QLatin1Char('\r'));
        // The label is the text before the first CR; a lone LF inside it
        // would split the row in two on disk, so it goes like the rest's.
        if (cr >= 0)
            d = copyWithoutBreaks(d, body.first(cr));
        *d++ = u',';
        d = copyWithoutBreaks(d, cr >= 0 ? body.sliced(cr + 1) : body);
        *d++ = u'\r';
        *d++ = u'\n';
        out.done(d);
    }
    return out.take();
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
