// Opening a large native file in the program window, against reading the
// same file with the command-line tool's "info", in one run.
//
//   bench_ui_open [ITEMS [REPEAT]]   default 100000 items (~40 MB), 5 runs
//   bench_ui_open ITEMS REPEAT only  just the window start, for a profiler
//
// Window figures: the real application object (settings in memory, dialogs
// answered by stand-ins) from its start with the file, as on the command
// line, and a running window opening it (FileCommands::openFile, as a
// recent file opens). Each clock stops once the tree shows rows, the editor
// shows the first item's text and both panes have painted since.
//
// Tool figures: the built quillory-tool started as a process, and the same
// core work in this process (the tool's reader and its counts).
#include "OutlineGenerator.h"

#include "editor/CQuilloryEdit.h"
#include "editor/StatusMetrics.h"
#include "io/CStringCode.h"
#include "io/FileCommands.h"
#include "io/NativeFile.h"
#include "io/OutlineFileIo.h"
#include "model/BodyText.h"
#include "model/CQuilloryDoc.h"
#include "platform/FileChooser.h"
#include "platform/Prompter.h"
#include "settings/SettingsBackend.h"
#include "shell/CMainFrame.h"
#include "shell/CQuilloryApp.h"
#include "tree/CQuilloryTree.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <malloc.h>

using namespace Qt::StringLiterals;

namespace {

// Any message would mean the file was not read as it should be; the run
// reports it rather than measuring a failure.
class CountingPrompter : public Prompter
{
public:
    int messages = 0;
    void showMessage(const QString &text) override
    {
        ++messages;
        std::fprintf(stderr, "message: %s\n", qUtf8Printable(text));
    }
    Answer askOkCancel(const QString &) override { return Answer::Cancel; }
    Answer askYesNoCancel(const QString &) override { return Answer::No; }
};

class CancellingChooser : public FileChooser
{
public:
    FileChoice chooseOpenDocument(const OpenDocumentRequest &) override { return {}; }
    FileChoice chooseSaveDocumentAs(const SaveDocumentRequest &) override { return {}; }
};

// Counts paint events of a widget.
class PaintCounter : public QObject
{
public:
    int paints = 0;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return QObject::eventFilter(watched, event);
    }
};

struct Window
{
    MemorySettingsBackend backend;
    CountingPrompter prompter;
    CancellingChooser chooser;
    std::unique_ptr<CQuilloryApp> app;

    explicit Window(const QString &user)
    {
        backend.setRaw(SettingsSection::Settings, u"User_Path", user);
        backend.setRaw(SettingsSection::Settings, u"TitleText", 0);
    }

    bool start(const QString &path)
    {
        CQuilloryApp::Services services;
        services.settings = &backend;
        services.prompter = &prompter;
        services.chooser = &chooser;
        services.documentsFolder = [] { return QString(); };
        app = std::make_unique<CQuilloryApp>(services);
        return app->initInstance(path);
    }
};

// True once the window shows the outline's first item: rows in the tree
// with one at the top of its view, that item current, its text in the
// editor, and both panes painted after `since` paints.
bool showsFirstItem(const Window &w, const PaintCounter &treePaints, const PaintCounter &editPaints,
                    int treeSince, int editSince)
{
    CMainFrame *frame = w.app ? w.app->mainFrame() : nullptr;
    if (!frame || !frame->isVisible())
        return false;
    CQuilloryTree *tree = frame->treePane();
    CQuilloryEdit *editor = frame->editorPane();
    const CQuilloryDoc &doc = w.app->document();
    if (doc.store().items().size() < 2 || tree->model()->rowCount() == 0)
        return false;
    const qint32 first = doc.store().items().front().number;
    if (doc.currentNumber() != first || tree->selectedNumber() != first)
        return false;
    if (tree->indexAt(QPoint(4, 4)).data(Qt::UserRole).toInt() != first)
        return false;
    const QString shown = editor->text();
    if (shown.isEmpty() || !doc.store().getBody(first).endsWith(shown))
        return false;
    return treePaints.paints > treeSince && editPaints.paints > editSince;
}

// Runs events until the window shows the file; false after a minute.
bool waitUntilShown(const Window &w, PaintCounter &treePaints, PaintCounter &editPaints, int treeSince,
                    int editSince)
{
    QElapsedTimer limit;
    limit.start();
    while (!showsFirstItem(w, treePaints, editPaints, treeSince, editSince)) {
        if (limit.elapsed() > 60000)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
    return true;
}

double ms(const QElapsedTimer &t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

// The program started with the file, as from the command line, until the
// window shows it. Negative on failure.
double startWithFile(const QString &user, const QString &path)
{
    Window w(user);
    PaintCounter treePaints;
    PaintCounter editPaints;
    malloc_trim(0);
    QElapsedTimer t;
    t.start();
    if (!w.start(path))
        return -1;
    w.app->mainFrame()->treePane()->viewport()->installEventFilter(&treePaints);
    w.app->mainFrame()->editorPane()->viewport()->installEventFilter(&editPaints);
    if (!waitUntilShown(w, treePaints, editPaints, 0, 0) || w.prompter.messages)
        return -1;
    const double elapsed = ms(t);
    static bool told = false;
    if (!told) {
        told = true;
        CQuilloryTree *tree = w.app->mainFrame()->treePane();
        const QModelIndex top = tree->indexAt(QPoint(4, 4));
        std::printf("the window shows %zu items: %d top-level rows, %s, row at the top %s, editor text %lld chars\n",
                    w.app->document().store().items().size(), tree->model()->rowCount(),
                    tree->isExpanded(top) ? "expanded" : "collapsed", qUtf8Printable(top.data().toString()),
                    qint64(w.app->mainFrame()->editorPane()->text().size()));
    }
    return elapsed;
}

// A running window with a new document opening the file. Negative on failure.
double openInWindow(const QString &user, const QString &path)
{
    Window w(user);
    if (!w.start(QString()))
        return -1;
    PaintCounter treePaints;
    PaintCounter editPaints;
    w.app->mainFrame()->treePane()->viewport()->installEventFilter(&treePaints);
    w.app->mainFrame()->editorPane()->viewport()->installEventFilter(&editPaints);
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents();
    malloc_trim(0);
    QElapsedTimer t;
    t.start();
    if (!w.app->fileCommands().openFile(path))
        return -1;
    if (!waitUntilShown(w, treePaints, editPaints, treePaints.paints, editPaints.paints) || w.prompter.messages)
        return -1;
    return ms(t);
}

// quillory-tool info FILE, process start to exit.
double toolProcess(const QString &path, qint64 items)
{
    QProcess tool;
    QElapsedTimer t;
    t.start();
    tool.start(QStringLiteral(QUILLORY_TOOL_PATH), {u"info"_s, path});
    if (!tool.waitForFinished(-1) || tool.exitStatus() != QProcess::NormalExit || tool.exitCode() != 0)
        return -1;
    const double elapsed = ms(t);
    if (!tool.readAllStandardOutput().startsWith("items " + QByteArray::number(items) + '\n'))
        return -1;
    return elapsed;
}

// What "info" does once running (QuilloryTool::info, written out here as
// the tool is no library): read the outline as the editor's open does,
// then count characters, sheets and pages of the texts without label lines.
double toolWorkInProcess(const QString &path, qint64 items)
{
    CountingPrompter prompter;
    auto store = std::make_unique<CTreeList>(&prompter);
    malloc_trim(0);
    QElapsedTimer t;
    t.start();
    NativeHeader header;
    const CStringCode code(&prompter);
    if (!OutlineFileIo::read(FileType::Native, path, 0, *store, header, code, &prompter).ok)
        return -1;
    QString joined;
    qint64 characters = 0;
    for (const TREE_ITEM &item : store->items()) {
        const QString itemText = bodyWithoutLabel(store->getBody(item.number));
        characters += StatusMetrics::countCharacters(itemText, false);
        joined += itemText;
    }
    // Sheets of 20 by 20, and pages of the tool's default 30 by 40.
    const qint64 sheets = StatusMetrics::countPages(joined, 20, 20);
    const qint64 pages = StatusMetrics::countPages(joined, 30, 40);
    const double elapsed = ms(t);
    if (qint64(store->items().size()) != items || characters <= 0 || sheets <= 0 || pages <= 0)
        return -1;
    return elapsed;
}

struct Best
{
    const char *name;
    std::function<double()> run;
    double best = 1e18;
    bool failed = false;
};

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);
    CQuilloryApp::setUpApplication(qapp);

    const int count = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int repeat = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    const bool onlyStart = argc > 3 && QByteArrayView(argv[3]) == "only";

    QTemporaryDir dir(QDir::tempPath() + u"/開く_XXXXXX"_s);
    const QString user = dir.path() + u"/利用者"_s;
    QDir().mkpath(user + u"/Data"_s);
    const QString path = user + u"/Data/長編.qlo"_s;
    {
        CTreeList store;
        OutlineGenerator::fill(store, count);
        if (!NativeFile::write(path, store, NativeHeader(), 0, nullptr)) {
            std::fprintf(stderr, "could not write %s\n", qUtf8Printable(path));
            return 1;
        }
    }
    std::printf("%d items, native file %.1f MB; fastest of %d runs, each in turn\n", count,
                QFileInfo(path).size() / 1e6, repeat);

    QList<Best> runs;
    runs.append({"window: start with the file", [&] { return startWithFile(user, path); }});
    if (!onlyStart) {
        runs.append({"window: open in running window", [&] { return openInWindow(user, path); }});
        runs.append({"tool: quillory-tool info (process)", [&] { return toolProcess(path, count); }});
        runs.append({"tool: info work in this process", [&] { return toolWorkInProcess(path, count); }});
    }
    for (int r = 0; r < repeat; ++r) {
        for (Best &b : runs) {
            const double t = b.run();
            QCoreApplication::processEvents();
            if (t < 0)
                b.failed = true;
            else
                b.best = std::min(b.best, t);
        }
    }
    for (const Best &b : runs) {
        if (b.failed)
            std::printf("%-36s FAILED\n", b.name);
        else
            std::printf("%-36s %10.1f ms\n", b.name, b.best);
    }
    if (onlyStart)
        return 0;
    const double start = runs.at(0).best;
    const double open = runs.at(1).best;
    const double process = runs.at(2).best;
    const double work = runs.at(3).best;
    std::printf("\nratios (target: window at most 2x the tool)\n");
    std::printf("start with the file / tool process   %6.2f\n", start / process);
    std::printf("open in running window / tool process %5.2f\n", open / process);
    std::printf("start with the file / tool work      %6.2f\n", start / work);
    std::printf("open in running window / tool work   %6.2f\n", open / work);
    return 0;
}
