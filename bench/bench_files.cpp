// Reading and writing a large outline in every file kind, each timed against
// moving the same bytes without parsing, in the same run.
//
//   bench_files [ITEMS [KIND]]   all timings (default 100000 items, ~40 MB),
//                                or only the kinds whose name holds KIND
//   bench_files peak FILE.qlo    peak memory of loading one native file
#include "io/CStringCode.h"
#include "io/HierCsvFile.h"
#include "io/HierTextFile.h"
#include "io/NativeFile.h"
#include "model/CTreeList.h"

#include "OutlineGenerator.h"

#include <QElapsedTimer>
#include <QFile>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>
#include <memory>
#include <malloc.h>
#include <sys/resource.h>

using namespace Qt::StringLiterals;

namespace {

// Each timing is the best of Repeat runs. A kind and its baseline take turns,
// so that a slow spell of the machine weighs on both alike; the first run
// also pays for one-time set-up (the code page tables), which is not what is
// being compared.
constexpr int Repeat = 7;

// `prepare` runs outside the timing: it frees what the previous run made
// (freeing 100,000 items is no part of reading them) and makes a fresh target.
struct Run
{
    std::function<void()> prepare;
    std::function<void()> timed;
};

double elapsed(const Run &run)
{
    if (run.prepare)
        run.prepare();
    // Memory freed by the previous run goes back to the system, so that each
    // run starts like the first load in a process, not with a warm heap.
    malloc_trim(0);
    QElapsedTimer t;
    t.start();
    run.timed();
    return t.nsecsElapsed() / 1e9;
}

struct Pair
{
    double subject = 1e9;
    double baseline = 1e9;
};

Pair bestOf(const Run &subject, const Run &baseline)
{
    Pair best;
    for (int i = 0; i < Repeat; ++i) {
        best.subject = std::min(best.subject, elapsed(subject));
        best.baseline = std::min(best.baseline, elapsed(baseline));
    }
    return best;
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

void readAllInto(QByteArray &bytes, const QString &path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    bytes = f.readAll();
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
    // A second argument picks the kinds whose name holds it ("sjis"), for profiling.
    const QByteArrayView only = argc > 2 ? QByteArrayView(argv[2]) : QByteArrayView();

    QTemporaryDir dir;
    CTreeList store;
    OutlineGenerator::fill(store, count);
    const CStringCode code;
    const NativeHeader header;

    struct Kind
    {
        const char *name;
        QString file;
        std::function<bool(const QString &)> write;
        std::function<void(CTreeList &, const QString &)> read;
    };
    const QList<Kind> kinds = {
        {"native", dir.filePath(u"b.qlo"_s),
         [&](const QString &p) { return NativeFile::write(p, store, header, 0, nullptr); },
         [](CTreeList &s, const QString &p) {
             NativeHeader h;
             NativeFile::read(p, s, h, nullptr);
         }},
        {"text utf8", dir.filePath(u"b8.txt"_s),
         [&](const QString &p) { return HierTextFile::writeHierText(store, Encoding::Utf8, p, code); },
         [&](CTreeList &s, const QString &p) { HierTextFile::readHierText(s, Encoding::Utf8, p, code, nullptr); }},
        {"text sjis", dir.filePath(u"bs.txt"_s),
         [&](const QString &p) { return HierTextFile::writeHierText(store, Encoding::ShiftJis, p, code); },
         [&](CTreeList &s, const QString &p) { HierTextFile::readHierText(s, Encoding::ShiftJis, p, code, nullptr); }},
        // The file of the row above; what detection adds to reading it.
        {"text auto", dir.filePath(u"bs.txt"_s), nullptr,
         [&](CTreeList &s, const QString &p) { HierTextFile::readHierText(s, Encoding::Auto, p, code, nullptr); }},
        {"detect", dir.filePath(u"bs.txt"_s), nullptr,
         [&](CTreeList &, const QString &p) { code.detectEncoding(p); }},
        {"csv utf8", dir.filePath(u"b8.csv"_s),
         [&](const QString &p) { return HierCsvFile::writeHierCsv(store, Encoding::Utf8, p, code); },
         [&](CTreeList &s, const QString &p) { HierCsvFile::readHierCsv(s, Encoding::Utf8, p, code, nullptr); }},
        {"csv sjis", dir.filePath(u"bs.csv"_s),
         [&](const QString &p) { return HierCsvFile::writeHierCsv(store, Encoding::ShiftJis, p, code); },
         [&](CTreeList &s, const QString &p) { HierCsvFile::readHierCsv(s, Encoding::ShiftJis, p, code, nullptr); }},
    };

    std::printf("%d items\n", count);
    std::printf("%-10s %9s %10s %10s %8s %10s %10s %8s\n", "kind", "MB", "write s", "raw w s", "ratio",
                "read s", "raw r s", "ratio");
    for (const Kind &k : kinds) {
        if (!only.isEmpty() && !QByteArrayView(k.name).contains(only))
            continue;
        if (!k.write && !QFile::exists(k.file)) {
            // A row that only reads: the file comes from the row that writes it.
            for (const Kind &writer : kinds) {
                if (writer.write && writer.file == k.file)
                    writer.write(k.file);
            }
        }
        Pair w;
        if (k.write) {
            if (!k.write(k.file))
                std::printf("%s: write failed\n", k.name);
            const QByteArray bytes = readAll(k.file);
            const QString rawPath = k.file + u".raw"_s;
            w = bestOf({nullptr, [&] { k.write(k.file); }}, {nullptr, [&] { writeRaw(rawPath, bytes); }});
            QFile::remove(rawPath);
        }
        std::unique_ptr<CTreeList> loaded;
        QByteArray raw;
        const Pair r = bestOf({[&] { loaded = std::make_unique<CTreeList>(); }, [&] { k.read(*loaded, k.file); }},
                              {[&] { raw = QByteArray(); }, [&] { readAllInto(raw, k.file); }});
        loaded.reset();
        raw = QByteArray();
        if (k.write)
            std::printf("%-10s %9.1f %10.3f %10.3f %8.2f", k.name, QFileInfo(k.file).size() / 1e6, w.subject,
                        w.baseline, w.subject / w.baseline);
        else
            std::printf("%-10s %9.1f %10s %10s %8s", k.name, QFileInfo(k.file).size() / 1e6, "-", "-", "-");
        std::printf(" %10.3f %10.3f %8.2f\n", r.subject, r.baseline, r.subject / r.baseline);
    }
    std::printf("peak memory: run  bench_files peak FILE.qlo  on a saved native file\n");
    if (only.isEmpty()) {
        // Measured in a fresh process so the generated outline does not count.
        const QString keep = QDir::temp().filePath(u"quillory-bench.qlo"_s);
        QFile::remove(keep);
        QFile::copy(kinds.first().file, keep);
        std::printf("saved %s\n", qPrintable(keep));
    }
    return 0;
}
