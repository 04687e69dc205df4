// Tree pane commands on large outlines: each command with the rebuild and
// the selection it brings, on the offscreen platform with the pane shown and
// painted. Prints milliseconds (the fastest of several runs, the figure a
// busy machine disturbs least) for 10,000 and 100,000 items and their
// ratio; a linear pane stays near 10.
#include "CommandIds.h"
#include "model/CQuilloryDoc.h"
#include "platform/EditorPanePort.h"
#include "settings/SettingsBackend.h"
#include "tree/CQuilloryTree.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

class PlainEditor : public EditorPanePort
{
public:
    QString text() const override { return m_text; }
    void setText(const QString &text) override { m_text = text; }
    void setCaret(qint32) override {}
    void giveFocus() override {}

private:
    QString m_text;
};

struct Pane
{
    Pane(int items, int treeExpand)
    {
        const QString user = dir.path() + u"/user"_s;
        QDir().mkpath(user + u"/Work"_s);
        backend.setRaw(SettingsSection::Settings, u"User_Path", user);
        backend.setRaw(SettingsSection::Settings, u"TreeExpand", treeExpand);
        doc = std::make_unique<CQuilloryDoc>(backend, nullptr, [] { return QString(); });
        doc->setEditorPane(&editor);
        tree = std::make_unique<CQuilloryTree>(*doc);
        tree->resize(300, 700);
        tree->show();
        // Chapters, sections and scenes: every tenth item a chapter.
        static const int pattern[] = {1, 2, 3, 3, 2, 3, 3, 2, 3, 3};
        for (int i = 0; i < items; ++i)
            doc->store().appendItem(pattern[i % 10], u"項目 %1\r\n本文 %1\r\n"_s.arg(i));
        doc->refreshViews();
        QCoreApplication::processEvents();
    }

    QTemporaryDir dir;
    MemorySettingsBackend backend;
    PlainEditor editor;
    std::unique_ptr<CQuilloryDoc> doc;
    std::unique_ptr<CQuilloryTree> tree;
};

// Milliseconds of `run`, painting included, the fastest of `reps`;
// `prepare` runs untimed before each.
double measure(int reps, const std::function<void()> &prepare, const std::function<void()> &run)
{
    std::vector<double> times;
    for (int r = 0; r < reps; ++r) {
        if (prepare)
            prepare();
        QCoreApplication::processEvents();
        QElapsedTimer timer;
        timer.start();
        run();
        QCoreApplication::processEvents();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    return *std::min_element(times.begin(), times.end());
}

struct Case
{
    const char *name;
    std::function<double(Pane &)> time;
};

// The first item past the middle of the outline with the given level on
// which the command has something to do.
using Applies = qint32 (CTreeList::*)(qint32) const;
qint32 middleAt(const CTreeList &store, qint32 level, Applies applies = nullptr)
{
    const size_t half = store.items().size() / 2;
    size_t i = 0;
    for (const TREE_ITEM &item : store.items()) {
        if (i++ >= half && item.level == level && (!applies || (store.*applies)(item.number) >= 0))
            return item.number;
    }
    return 0;
}

std::vector<Case> cases()
{
    const int reps = 7;
    const auto command = [reps](int id, qint32 level, Applies applies = nullptr) {
        return [=](Pane &p) {
            return measure(
                reps, [&p, level, applies] { p.tree->selectItem(middleAt(p.doc->store(), level, applies)); },
                [&p, id] { p.tree->runCommand(id); });
        };
    };
    return {
        {"rebuild", [reps](Pane &p) { return measure(reps, {}, [&p] { p.tree->rebuild(); }); }},
        {"add below", command(Cmd::TreeAddBelow, 2)},
        {"add child", command(Cmd::TreeAddChild, 3)},
        {"move down", command(Cmd::TreeMoveDown, 2, &CTreeList::nextSibling)},
        {"move up", command(Cmd::TreeMoveUp, 1, &CTreeList::previousSibling)},
        {"raise level", command(Cmd::TreeRaiseLevel, 3, &CTreeList::parentOf)},
        {"lower level", command(Cmd::TreeLowerLevel, 2, &CTreeList::previousSibling)},
        {"delete", command(Cmd::TreeDelete, 2)},
        {"tree undo",
         [reps](Pane &p) {
             return measure(
                 reps,
                 [&p] {
                     p.tree->selectItem(middleAt(p.doc->store(), 2, &CTreeList::nextSibling));
                     p.tree->runCommand(Cmd::TreeMoveDown);
                 },
                 [&p] { p.tree->runCommand(Cmd::TreeUndo); });
         }},
        {"tree redo",
         [reps](Pane &p) {
             return measure(
                 reps,
                 [&p] {
                     p.tree->selectItem(middleAt(p.doc->store(), 2, &CTreeList::nextSibling));
                     p.tree->runCommand(Cmd::TreeMoveDown);
                     p.tree->runCommand(Cmd::TreeUndo);
                 },
                 [&p] { p.tree->runCommand(Cmd::TreeRedo); });
         }},
        {"collapse", [reps](Pane &p) {
             return measure(reps, [&p] { p.tree->runCommand(Cmd::TreeExpand); },
                            [&p] { p.tree->runCommand(Cmd::TreeCollapse); });
         }},
        {"expand", [reps](Pane &p) {
             return measure(reps, [&p] { p.tree->runCommand(Cmd::TreeCollapse); },
                            [&p] { p.tree->runCommand(Cmd::TreeExpand); });
         }},
        {"select row", [reps](Pane &p) {
             return measure(reps, [&p] { p.tree->selectItem(0); },
                            [&p] { p.tree->selectItem(middleAt(p.doc->store(), 3)); });
         }},
    };
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    // An argument names the one command to run (for a profiler).
    const QString only = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    const int small = 10'000;
    const int large = 100'000;
    for (int expand : {1, 0}) {
        std::printf("TreeExpand %d\n%-12s %12s %12s %8s\n", expand, "command", "10k ms", "100k ms", "ratio");
        Pane smallPane(small, expand);
        Pane largePane(large, expand);
        for (const Case &c : cases()) {
            if (!only.isEmpty() && only != QLatin1StringView(c.name))
                continue;
            const double a = c.time(smallPane);
            const double b = c.time(largePane);
            std::printf("%-12s %12.2f %12.2f %8.1f\n", c.name, a, b, a > 0 ? b / a : 0.0);
            std::fflush(stdout);
        }
        std::printf("\n");
    }
    return 0;
}
