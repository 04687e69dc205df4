#pragma once
// A large outline of Japanese prose for the benchmarks: the same seed gives
// the same outline, so figures from different programs describe one input.
#include "model/CTreeList.h"

#include <QRandomGenerator>
#include <QString>

#include <algorithm>

namespace OutlineGenerator {

// Characters that code page 932 holds, so the Shift-JIS runs write the same text.
inline const QString &kanji()
{
    static const QString chars = QStringLiteral(
        u"春夏秋冬山川海空雨雪風花鳥月日星木林森人心手足目耳口言語書読話物語時間年明暗光影道町村駅橋家庭窓戸門"
        u"朝昼夜今昔新古長短高低強弱早遅近遠白黒赤青緑色音声歌詩文字紙筆机椅子本棚電車");
    return chars;
}

// A label line "第N節　…" and `chars` characters of kana, kanji and
// punctuation in lines of 40, every line ending in CR LF.
inline QString makeBody(QRandomGenerator &rng, int index, int chars)
{
    const QString &k = kanji();
    QString body;
    body.reserve(chars + chars / 30 + 16);
    body += QStringLiteral(u"第") + QString::number(index) + QStringLiteral(u"節　")
        + k.mid(int(rng.bounded(k.size() - 4)), 4);
    body += QStringLiteral(u"\r\n");
    int line = 0;
    for (int i = 0; i < chars; ++i) {
        const quint32 r = rng.bounded(100u);
        if (r < 55)
            body += QChar(char16_t(0x3042 + rng.bounded(0x52u)));
        else if (r < 90)
            body += k.at(int(rng.bounded(k.size())));
        else if (r < 95)
            body += QChar(u'、');
        else
            body += QChar(u'。');
        if (++line == 40) {
            body += QStringLiteral(u"\r\n");
            line = 0;
        }
    }
    body += QStringLiteral(u"\r\n");
    return body;
}

// Appends `count` items of 150 to 250 characters (about 400 bytes each in a
// native file), levels 1 to 4 each at most one step from the one before.
inline void fill(CTreeList &store, int count, quint32 seed = 20261211)
{
    QRandomGenerator rng(seed);
    int level = 1;
    for (int i = 0; i < count; ++i) {
        store.appendItem(level, makeBody(rng, i, 150 + int(rng.bounded(100u))));
        level = std::clamp(level + int(rng.bounded(3u)) - 1, 1, 4);
    }
}

} // namespace OutlineGenerator
