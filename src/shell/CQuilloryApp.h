#pragma once
#include "platform/FramePort.h"
#include "settings/QuillorySettings.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

class CMainFrame;
class CQuilloryDoc;
class FileChooser;
class FileCommands;
class Prompter;
class QCloseEvent;
class QCoreApplication;
class QtFileChooser;
class QtPrompter;
class SettingsBackend;

// The application object: owns the one document of the run, its settings
// store, the main frame and the file commands, and carries start-up and
// exit. It is the document's frame port, forwarding to the main frame.
//
// The QApplication itself belongs to main(); this object only needs one to
// exist while it lives.
class CQuilloryApp : public QObject, public FramePort
{
    Q_OBJECT

public:
    // Stand-ins for the platform, for tests. Each one left null is the real
    // thing: QSettings("Morvi", "Quillory"), message boxes, Qt file dialogs,
    // the user's Documents folder. Given ones must outlive the application.
    struct Services
    {
        SettingsBackend *settings = nullptr;
        Prompter *prompter = nullptr;
        FileChooser *chooser = nullptr;
        QuillorySettings::DocumentsFolderSource documentsFolder;
    };

    explicit CQuilloryApp(QObject *parent = nullptr);
    explicit CQuilloryApp(Services services, QObject *parent = nullptr);
    ~CQuilloryApp() override;

    // Organisation and application names (the settings' root), and Qt's own
    // dialog texts in Japanese when the system has them.
    static void setUpApplication(QCoreApplication &app);

    // Start-up: the document (which reads the settings), the user folder,
    // the main frame with its commands, its saved layout, then a new
    // document or `documentPath`, the window shown with the tree's first
    // item selected. False when the program cannot run.
    bool initInstance(const QString &documentPath = QString());

    CQuilloryDoc &document() const { return *m_doc; }
    CMainFrame *mainFrame() const { return m_frame.get(); }
    FileCommands &fileCommands() const { return *m_files; }
    // True once the window agreed to close and the end-of-run work is done.
    bool hasEnded() const { return m_ended; }

    // FramePort
    void setWindowTitle(const QString &title) override;
    void restoreTreeColumn() override;
    bool runSaveAs() override;
    bool runSinglePageSave() override;

    // The about box (57664), modal over the main window.
    void showAbout();

private:
    void registerCommands();
    void onCloseRequested(QCloseEvent *event);

    Services m_services;
    std::unique_ptr<SettingsBackend> m_ownSettings;
    std::unique_ptr<QtPrompter> m_ownPrompter;
    std::unique_ptr<QtFileChooser> m_ownChooser;
    SettingsBackend *m_settings = nullptr;
    Prompter *m_prompter = nullptr;
    FileChooser *m_chooser = nullptr;

    // Declared before the frame: the frame's panes refer to the document
    // until the frame is gone.
    std::unique_ptr<CQuilloryDoc> m_doc;
    std::unique_ptr<FileCommands> m_files;
    std::unique_ptr<CMainFrame> m_frame;
    bool m_ended = false;
};
