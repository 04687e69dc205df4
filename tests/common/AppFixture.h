#pragma once
#include "DocumentFixture.h"
#include "FakeFileChooser.h"

#include "io/NativeFile.h"
#include "model/CQuilloryDoc.h"
#include "shell/CMainFrame.h"
#include "shell/CQuilloryApp.h"
#include "tree/CQuilloryTree.h"
#include "editor/CQuilloryEdit.h"

#include <QCoreApplication>
#include <QDir>
#include <QTest>

#include <memory>

// The real application over an in-memory settings store; the user folder is
// the application's to make. Questions and file dialogs are answered by fakes.
struct AppFixture : UserFolderFixture
{
    FakeFileChooser chooser;
    std::unique_ptr<CQuilloryApp> app;

    explicit AppFixture(const SettingValues &settings)
        : UserFolderFixture(settings, NoFolders)
    {
    }

    bool start(const QString &documentPath = QString())
    {
        CQuilloryApp::Services services;
        services.settings = &backend;
        services.prompter = &prompter;
        services.chooser = &chooser;
        services.documentsFolder = [] { return QString(); };
        app = std::make_unique<CQuilloryApp>(services);
        if (!app->initInstance(documentPath))
            return false;
        frame()->activateWindow();
        return QTest::qWaitForWindowActive(frame());
    }

    CMainFrame *frame() const { return app->mainFrame(); }
    CQuilloryTree *tree() const { return frame()->treePane(); }
    CQuilloryEdit *editor() const { return frame()->editorPane(); }
    CQuilloryDoc &doc() const { return app->document(); }

    // A native file in Data holding `items`, written before the start.
    QString writeOutline(const QString &name, const QList<std::pair<qint32, QString>> &items)
    {
        QDir().mkpath(user + QStringLiteral("/Data"));
        CTreeList store;
        for (const auto &[level, body] : items)
            store.appendItem(level, body);
        const QString path = data(name);
        return NativeFile::write(path, store, NativeHeader(), 0, nullptr) ? path : QString();
    }

    void focusEditor()
    {
        editor()->setFocus(Qt::MouseFocusReason);
        QCoreApplication::processEvents();
    }
    void focusTree()
    {
        tree()->setFocus(Qt::MouseFocusReason);
        QCoreApplication::processEvents();
    }
};
