#include "shell/CQuilloryApp.h"

#include "CommandIds.h"
#include "Messages.h"
#include "io/FileCommands.h"
#include "model/CQuilloryDoc.h"
#include "settings/SettingsBackend.h"
#include "shell/CAboutDlg.h"
#include "shell/CMainFrame.h"
#include "platform/qt/QtFileChooser.h"
#include "platform/qt/QtPrompter.h"
#include "shell/UserFolder.h"
#include "tree/CQuilloryTree.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

using namespace Qt::StringLiterals;

CQuilloryApp::CQuilloryApp(QObject *parent)
    : QObject(parent)
{
}

CQuilloryApp::CQuilloryApp(Services services, QObject *parent)
    : QObject(parent)
    , m_services(std::move(services))
{
}

CQuilloryApp::~CQuilloryApp()
{
    // The frame goes first (its panes refer to the document), and the
    // document must not call into a frame port that is being destroyed.
    if (m_doc)
        m_doc->setFrame(nullptr);
    m_frame.reset();
}

void CQuilloryApp::setUpApplication(QCoreApplication &app)
{
    QCoreApplication::setOrganizationName(u"Morvi"_s);
    QCoreApplication::setApplicationName(QString::fromUtf16(Msg::AppName));

    // The system locale may well be C; Qt's own dialog texts (file dialog,
    // standard buttons, context menus) are wanted in Japanese regardless.
    const QLocale japanese(QLocale::Japanese, QLocale::Japan);
    QLocale::setDefault(japanese);
    auto *translator = new QTranslator(&app);
    if (translator->load(japanese, u"qtbase"_s, u"_"_s, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

bool CQuilloryApp::initInstance(const QString &documentPath)
{
    if (m_services.settings) {
        m_settings = m_services.settings;
    } else {
        m_ownSettings = std::make_unique<QSettingsBackend>();
        m_settings = m_ownSettings.get();
    }
    if (m_services.prompter) {
        m_prompter = m_services.prompter;
    } else {
        m_ownPrompter = std::make_unique<QtPrompter>();
        m_prompter = m_ownPrompter.get();
    }
    if (m_services.chooser) {
        m_chooser = m_services.chooser;
    } else {
        m_ownChooser = std::make_unique<QtFileChooser>();
        m_chooser = m_ownChooser.get();
    }

    // The document reads every setting and takes its display mode from them.
    m_doc = m_services.documentsFolder
        ? std::make_unique<CQuilloryDoc>(*m_settings, m_prompter, m_services.documentsFolder)
        : std::make_unique<CQuilloryDoc>(*m_settings, m_prompter);

    // The user folder with its four subfolders and first-run documents. A
    // folder that cannot be made is reported by whatever needs it later.
    UserFolder::ensure(m_doc->settings().User_Path);

    m_files = std::make_unique<FileCommands>(*m_doc, *m_settings, *m_chooser);

    m_frame = std::make_unique<CMainFrame>(*m_doc, *m_settings);
    m_doc->setFrame(this);
    if (m_ownPrompter)
        m_ownPrompter->setParent(m_frame.get());
    if (m_ownChooser)
        m_ownChooser->setParent(m_frame.get());
    registerCommands();
    m_frame->restoreLayout();

    // The content: a new document, or the file named on the command line.
    // A file that cannot be read leaves a new document behind (the reader
    // has said why), so the program always starts with something to edit.
    bool opened = false;
    if (!documentPath.isEmpty())
        opened = m_files->openFile(documentPath);
    if (!opened && m_doc->store().items().empty() && m_doc->path().isEmpty()) {
        if (!m_doc->onNewDocument())
            return false;
        m_doc->refreshViews();
    }

    m_frame->show();
    // The tree is the active pane to begin with, on its first item.
    if (CQuilloryTree *tree = m_frame->treePane()) {
        if (!m_doc->store().items().empty())
            tree->selectItem(m_doc->store().items().front().number);
        tree->setFocus(Qt::OtherFocusReason);
    }
    m_doc->setEditorActive(false);
    m_doc->setOpenEncoding(0);
    m_frame->refreshCommandStates();
    return true;
}

void CQuilloryApp::registerCommands()
{
    CMainFrame &frame = *m_frame;
    FileCommands &files = *m_files;
    const auto canSave = [&files] { return files.canSave(); };

    frame.registerCommand(Cmd::FileNew, [&files] { files.fileNew(); });
    frame.registerCommand(Cmd::FileOpen, [&files] { files.fileOpen(); });
    frame.registerCommand(Cmd::FileSave, [&files] { files.fileSave(); }, canSave);
    frame.registerCommand(Cmd::FileSaveAs, [&files] { files.fileSaveAs(); }, canSave);
    frame.registerCommand(Cmd::AppExit, [&frame] { frame.close(); });
    frame.registerCommand(Cmd::About, [this] { showAbout(); });

    frame.setRecentFiles(files.recentFiles());
    files.setRecentFilesChanged([&frame](const QStringList &list) { frame.setRecentFiles(list); });
    connect(&frame, &CMainFrame::recentFileTriggered, this, [&files](const QString &path) { files.openFile(path); });
    connect(&frame, &CMainFrame::closeRequested, this, &CQuilloryApp::onCloseRequested);
}

void CQuilloryApp::onCloseRequested(QCloseEvent *event)
{
    if (m_ended) {
        event->accept();
        return;
    }
    // Closing never loses work: the document lets go only when its changes
    // were saved or the user chose to drop them.
    if (!m_doc->saveModified()) {
        event->ignore();
        return;
    }
    event->accept();
    // The frame stores its layout and Pain_Width once this returns; the
    // document empties the work folder and writes every setting.
    m_doc->endOfRun();
    m_ended = true;
}

void CQuilloryApp::setWindowTitle(const QString &title)
{
    if (!m_frame)
        return;
    m_frame->setWindowTitle(title.isEmpty() ? QString::fromUtf16(Msg::AppName)
                                            : title + QString::fromUtf16(Msg::TitleSuffix));
}

void CQuilloryApp::restoreTreeColumn()
{
    if (m_frame)
        m_frame->restoreTreeColumn();
}

bool CQuilloryApp::runSaveAs()
{
    return m_files && m_files->fileSaveAs();
}

bool CQuilloryApp::runSinglePageSave()
{
    // Single-page text editing does not exist yet, so there is nothing a
    // save could have written.
    return false;
}

void CQuilloryApp::showAbout()
{
    CAboutDlg about(m_frame.get());
    about.exec();
}
