// Reading and writing a large outline in every file kind, each timed against
// moving the same bytes without parsing, in the same run.
//
//   bench_files [ITEMS]          all timings (default 100000 items, ~40 MB)
//   bench_files peak FILE.qlo    peak memory of loading one native file
#include "io/CStringCode.h"
#include "io/HierCsvFile.h"
#include "io/HierTextFile.h"
#include "io/NativeFile.h"
#include "model/CTreeList.h"

#include <QElapsedTimer>
#include <QFile>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>
#include <sys/resource.h>

using namespace Qt::StringLiterals;

namespace {

// Characters that code page 932 holds, so the Shift-JIS runs write the same text.
const QString kanji = u"春夏秋冬山川海空雨雪風花鳥月日星木林森人心手足目耳口言語書読話物語時間年明暗光影道町村駅橋家庭窓戸門"
                      u"朝昼夜今昔新古長短高低強弱早遅近遠白黒赤青緑色音声歌詩文字紙筆机椅子本棚電車"_s;

QString makeBody(QRandomGenerator &rng, int index, int chars)
{
    QString body;
    body.reserve(chars + chars / 30 + 16);
    body += u"第"_s + QString::number(index) + u"節　"_s + kanji.mid(int(rng.bounded(kanji.size() - 4)), 4);
    body += u"\r\n"_s;
    int line = 0;
    for (int i = 0; i < chars; ++i) {
        const quint32 r = rng.bounded(100u);
        if (r < 55)
            body += QChar(char16_t(0x3042 + rng.bounded(0x52u)));
        else if (r < 90)
            body += kanji.at(int(rng.bounded(kanji.size())));
        else if (r < 95)
            body += u'、';
        else
            body += u'。';
        if (++line == 40) {
            body += u"\r\n"_s;
            line = 0;
        }
    }
    body += u"\r\n"_s;
    return body;
}

double seconds(const std::function<void()> &f, int repeat = 3)
{
    double best = 1e9;
    for (int i = 0; i < repeat; ++i) {
        QElapsedTimer t;
        t.start();
        f();
        best = std::min(best, t.nsecsElapsed() / 1e9);
    }
    return best;
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

void writeRaw(const QString &path, const QByteArray &bytes)
{
    QSaveFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    f.commit();
}

long maxRssKb()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

int peak(const QString &path)
{
    const long before = maxRssKb();
    CTreeList store;
    NativeHeader header;
    if (!NativeFile::read(path, store, header, nullptr))
        return 1;
    const long after = maxRssKb();
    const double fileMb = QFileInfo(path).size() / 1e6;
    const double peakMb = (after - before) / 1e3;
    std::printf("native file %.1f MB, %zu items; peak memory of loading %.1f MB = %.2fx the file\n",
                fileMb, store.items().size(), peakMb, peakMb / fileMb);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && QByteArrayView(argv[1]) == "peak")
        return peak(QString::fromLocal8Bit(argv[2]));
    const int count = argc > 1 ? std::atoi(argv[1]) : 100000;

    QTemporaryDir dir;
    CTreeList store;
    QRandomGenerator rng(20261211);
    int level = 1;
    for (int i = 0; i < count; ++i) {
        store.appendItem(level, makeBody(rng, i, 150 + int(rng.bounded(100u))));
        level = std::clamp(level + int(rng.bounded(3u)) - 1, 1, 4);
    }
    const CStringCode code;
    const NativeHeader header;

    struct Kind
    {
        const char *name;
        QString file;
        std::function<bool(const QString &)> write;
        std::function<void(const QString &)> read;
    };
    auto readInto = [](auto reader) {
        return [reader](const QString &path) {
            CTreeList loaded;
            reader(loaded, path);
        };
    };
    const QList<Kind> kinds = {
        {"native", dir.filePath(u"b.qlo"_s),
         [&](const QString &p) { return NativeFile::write(p, store, header, 0, nullptr); },
         readInto([](CTreeList &s, const QString &p) {
             NativeHeader h;
             NativeFile::read(p, s, h, nullptr);
         })},
        {"text utf8", dir.filePath(u"b8.txt"_s),
         [&](const QString &p) { return HierTextFile::writeHierText(store, Encoding::Utf8, p, code); },
         readInto([&](CTreeList &s, const QString &p) { HierTextFile::readHierText(s, Encoding::Utf8, p, code, nullptr); })},
        {"text sjis", dir.filePath(u"bs.txt"_s),
         [&](const QString &p) { return HierTextFile::writeHierText(store, Encoding::ShiftJis, p, code); },
         readInto([&](CTreeList &s, const QString &p) { HierTextFile::readHierText(s, Encoding::ShiftJis, p, code, nullptr); })},
        {"text auto", dir.filePath(u"bs.txt"_s), nullptr,
         readInto([&](CTreeList &s, const QString &p) { HierTextFile::readHierText(s, Encoding::Auto, p, code, nullptr); })},
        {"csv utf8", dir.filePath(u"b8.csv"_s),
         [&](const QString &p) { return HierCsvFile::writeHierCsv(store, Encoding::Utf8, p, code); },
         readInto([&](CTreeList &s, const QString &p) { HierCsvFile::readHierCsv(s, Encoding::Utf8, p, code, nullptr); })},
        {"csv sjis", dir.filePath(u"bs.csv"_s),
         [&](const QString &p) { return HierCsvFile::writeHierCsv(store, Encoding::ShiftJis, p, code); },
         readInto([&](CTreeList &s, const QString &p) { HierCsvFile::readHierCsv(s, Encoding::ShiftJis, p, code, nullptr); })},
    };

    std::printf("%d items\n", count);
    std::printf("%-10s %9s %10s %10s %8s %10s %10s %8s\n", "kind", "MB", "write s", "raw w s", "ratio",
                "read s", "raw r s", "ratio");
    for (const Kind &k : kinds) {
        double w = 0, rawW = 0;
        if (k.write) {
            w = seconds([&] { k.write(k.file); });
            const QByteArray bytes = readAll(k.file);
            const QString rawPath = k.file + u".raw"_s;
            rawW = seconds([&] { writeRaw(rawPath, bytes); });
            QFile::remove(rawPath);
        }
        const double rawR = seconds([&] { readAll(k.file); });
        const double r = seconds([&] { k.read(k.file); });
        std::printf("%-10s %9.1f %10.3f %10.3f %8.2f %10.3f %10.3f %8.2f\n", k.name,
                    QFileInfo(k.file).size() / 1e6, w, rawW, k.write ? w / rawW : 0.0, r, rawR, r / rawR);
    }
    std::printf("peak memory: run  bench_files peak FILE.qlo  on a saved native file\n");
    if (argc <= 2) {
        // Measured in a fresh process so the generated outline does not count.
        const QString keep = QDir::temp().filePath(u"quillory-bench.qlo"_s);
        QFile::remove(keep);
        QFile::copy(kinds.first().file, keep);
        std::printf("saved %s\n", qPrintable(keep));
    }
    return 0;
}
