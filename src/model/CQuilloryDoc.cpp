#include "model/CQuilloryDoc.h"

#include "Messages.h"
#include "io/OutlineFileIo.h"
#include "model/BodyText.h"
#include "platform/EditorPanePort.h"
#include "platform/FramePort.h"
#include "platform/Prompter.h"
#include "platform/TreePanePort.h"
#include "settings/SettingsBackend.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

CQuilloryDoc::CQuilloryDoc(SettingsBackend &backend, Prompter *prompter,
                           QuillorySettings::DocumentsFolderSource documentsFolder)
    : m_backend(backend)
    , m_prompter(prompter)
    , m_stringCode(prompter)
    , m_store(prompter)
    , m_settings(std::move(documentsFolder))
{
    m_settings.exchangeSettings(false, m_backend);
    m_displayMode = modeFromSetting();
}

void CQuilloryDoc::endOfRun()
{
    m_store.clear();
    m_undoRedo.resetText(m_settings.workFolder());
    saveSettings();
}

void CQuilloryDoc::saveSettings()
{
    m_settings.exchangeSettings(true, m_backend);
}

QString CQuilloryDoc::dataFolder() const
{
    return m_settings.User_Path + QDir::separator() + u"Data"_s;
}

QString CQuilloryDoc::editorTextOf(qint32 number) const
{
    const QString body = m_store.getBody(number);
    if (labelShown())
        return body;
    // Clear mode shows what follows the label line, and a write-back puts
    // the label and CR LF back in front. The label ends at the first CR, so
    // the line is cut there too: cut at the first LF instead, a lone CR
    // would hide the text behind it, and a body with no label would lose
    // its first line.
    const QString label = labelFromBody(body);
    qsizetype start = 0;
    if (!label.isEmpty()) {
        start = label.size() + 1;
    } else if (body.startsWith(QLatin1Char('\r')) || body.startsWith(QLatin1Char('\n'))) {
        start = 1;
    }
    if (start > 0 && body.at(start - 1) == QLatin1Char('\r') && start < body.size()
        && body.at(start) == QLatin1Char('\n'))
        ++start;
    return body.mid(start);
}

void CQuilloryDoc::setEditorText(const QString &text)
{
    if (m_editor)
        m_editor->setText(text);
}

void CQuilloryDoc::setWindowTitle(const QString &title)
{
    if (m_frame)
        m_frame->setWindowTitle(title);
}

void CQuilloryDoc::restoreTreeColumn()
{
    if (m_frame)
        m_frame->restoreTreeColumn();
}

bool CQuilloryDoc::resetForReplace()
{
    if (m_modified) {
        const Prompter::Answer answer = m_prompter
            ? m_prompter->askOkCancel(QString::fromUtf16(Msg::DiscardChangesQuestion))
            : Prompter::Answer::Cancel;
        if (answer != Prompter::Answer::Ok)
            return false;
    }
    if (m_tree)
        m_tree->deleteAllItems();
    setEditorText(QString());
    m_store.clear();
    m_undoRedo.resetText(m_settings.workFolder());
    m_fileName.clear();
    m_nodeFile.name.clear();
    m_currentNumber = 0;
    // The changes are gone with the user's consent; nothing is left to save.
    m_modified = false;
    return true;
}

bool CQuilloryDoc::onNewDocument()
{
    if (!resetForReplace())
        return false;

    const QString title = QString::fromUtf16(Msg::DefaultTitle);
    const QString folder = dataFolder() + QDir::separator();
    m_defaultTitle = title;
    m_fileName = title;
    m_extension = u"qlo"_s;
    m_path = folder + m_fileName + QLatin1Char('.') + m_extension;
    m_fileType = FileType::Native;

    m_nodeFile.name = title;
    m_nodeFile.extension = u"txt"_s;
    m_nodeFile.path = folder + title + u".txt"_s;

    const QString body = title
        + (m_settings.TitleText ? QString::fromUtf16(Msg::FirstRunNotice) : u"\r\n"_s);
    m_store.insertFirstItem(body);

    setWindowTitle(m_fileName);
    m_undoRedo.resetText(m_settings.workFolder());
    m_modified = false;
    return true;
}

void CQuilloryDoc::fileNew()
{
    if (!onNewDocument())
        return;
    m_displayMode = modeFromSetting();
    restoreTreeColumn();
    refreshViews();
}

void CQuilloryDoc::refreshViews()
{
    // The editor first: the rebuilt tree selects an item, and selecting
    // another item writes the editor's text back into the current one.
    setEditorText(getEditorText());
    if (m_tree)
        m_tree->rebuild();
}

bool CQuilloryDoc::onOpenDocument(const QString &path)
{
    if (!resetForReplace())
        return false;
    m_displayMode = modeFromSetting();
    restoreTreeColumn();
    m_fileEncoding = m_openEncoding;
    setPathAndType(path);

    if (m_fileType == FileType::Unknown) {
        // The extension message has been shown; the outline stays empty.
        return true;
    }

    // A broken native file must not leave its header behind for later saves.
    NativeHeader header = m_header;
    const OutlineRead read = OutlineFileIo::read(m_fileType, path, m_fileEncoding, m_store, header,
                                                 m_stringCode, m_prompter);
    if (!read.ok) {
        // The reader has said why. Whatever it read is dropped, and the path
        // goes with it, so that a save cannot overwrite the file that was
        // not understood.
        onNewDocument();
        refreshViews();
        return false;
    }
    if (m_fileType == FileType::Native) {
        m_header = header;
    } else if (read.encoding >= Encoding::ShiftJis && read.encoding <= Encoding::Utf16Le) {
        // With automatic reading this is the detected encoding, so the file
        // is saved back the way it came.
        m_fileEncoding = read.encoding;
    }
    m_modified = false;
    return true;
}

bool CQuilloryDoc::openDocument(const QString &path)
{
    if (!saveModified())
        return false;
    if (!onOpenDocument(path))
        return false;
    refreshViews();
    return true;
}

bool CQuilloryDoc::onSaveDocument(const QString &path)
{
    return OutlineFileIo::write(m_fileType, path, m_fileEncoding, m_store, m_header,
                                m_currentNumber, m_stringCode, m_prompter);
}

bool CQuilloryDoc::saveModified()
{
    if (!m_modified)
        return true;
    const Prompter::Answer answer = m_prompter
        ? m_prompter->askYesNoCancel(QString::fromUtf16(Msg::SaveChangesQuestion))
        : Prompter::Answer::Cancel;
    switch (answer) {
    case Prompter::Answer::Yes:
        // Going on after a cancelled or failed save would drop the changes.
        if (!m_frame)
            return false;
        return m_displayMode != DisplayMode::SinglePage ? m_frame->runSaveAs()
                                                        : m_frame->runSinglePageSave();
    case Prompter::Answer::No:
        return true;
    default:
        return false;
    }
}

void CQuilloryDoc::setPathAndType(const QString &path)
{
    m_path = path;
    m_fileName = QFileInfo(path).fileName();
    m_extension = OutlineFileIo::extensionOf(path);
    m_fileType = OutlineFileIo::fileTypeOf(path);
    if (m_fileType == FileType::Unknown && m_prompter)
        m_prompter->showMessage(QString::fromUtf16(Msg::ExtensionError));
    setWindowTitle(m_fileName);
}

void CQuilloryDoc::setNodeFilePathAndType(const QString &path)
{
    m_nodeFile.path = path;
    m_nodeFile.name = QFileInfo(path).fileName();
    m_nodeFile.extension = OutlineFileIo::extensionOf(path);
    m_nodeFile.type = OutlineFileIo::fileTypeOf(path);
    if (m_nodeFile.type == FileType::Unknown && m_prompter)
        m_prompter->showMessage(QString::fromUtf16(Msg::ExtensionError));
}

void CQuilloryDoc::selectItem(qint32 number)
{
    if (number == m_currentNumber || !m_store.isValidIndex(number))
        return;
    writeBack(labelShown());
    m_currentNumber = number;
    setEditorText(editorTextOf(number));

    m_undoRedo.loadHistoryFiles(m_settings.workFolder(), number, m_prompter);
}

void CQuilloryDoc::writeBack(bool withLabel)
{
    if (!m_editor || !m_store.isValidIndex(m_currentNumber))
        return;
    const QString text = m_editor->text();
    QString label;
    QString body;
    if (withLabel) {
        label = labelFromBody(text);
        body = text;
    } else {
        label = m_store.getLabelOfBody(m_currentNumber);
        body = label + u"\r\n"_s + text;
    }
    if (m_tree)
        m_tree->setItemLabel(m_currentNumber, label);
    m_store.setLabel(m_currentNumber, label);
    m_store.setBody(m_currentNumber, body);
}

QString CQuilloryDoc::getEditorText() const
{
    if (m_store.bodies().isEmpty())
        return QString();
    return editorTextOf(m_currentNumber);
}

void CQuilloryDoc::storeEditorBeforeSave()
{
    if (!m_modified || !m_editor || !m_store.isValidIndex(m_currentNumber))
        return;
    const QString text = m_editor->text();
    const QString body = labelShown()
        ? text
        : m_store.getLabelOfBody(m_currentNumber) + u"\r\n"_s + text;
    m_store.setBody(m_currentNumber, body);
}

void CQuilloryDoc::setCurrentLabel(const QString &label)
{
    if (m_tree)
        m_tree->setSelectedLabel(label);
    m_store.setLabel(m_currentNumber, label);
}

void CQuilloryDoc::renameCurrent(const QString &label)
{
    if (m_tree)
        m_tree->setSelectedLabel(label);
    const QString text = m_editor ? m_editor->text() : QString();
    if (labelShown()) {
        const qsizetype cr = text.indexOf(QLatin1Char('\r'));
        // The old label line gives way to the new one. Without a label line
        // to replace the whole text stays as the body, so the new label
        // survives the next write-back.
        const QString renamed = cr >= 0 ? label + text.mid(cr) : label + u"\r\n"_s + text;
        setEditorText(renamed);
        // The rename is a change of the editor's text: recorded like one, the
        // older records keep meeting the text they were made for, and one
        // undo gives the old label line back.
        m_beforeState = EditorState{0, 0, qint32(text.size()), text};
        m_afterState = EditorState{0, 0, qint32(renamed.size()), renamed};
        m_undoRedo.recordChange(0, m_beforeState, m_afterState);
    } else {
        m_store.setBody(m_currentNumber, label + u"\r\n"_s + text);
    }
    m_store.setLabel(m_currentNumber, label);
    // A rename is a change like any other: it must be offered for saving.
    m_modified = true;
}

void CQuilloryDoc::toggleLabelMode()
{
    if (m_displayMode == DisplayMode::SinglePage)
        return;
    writeBack(labelShown());
    m_settings.Display_Lable = labelShown() ? 0 : 1;
    m_displayMode = modeFromSetting();
    setEditorText(editorTextOf(m_currentNumber));
    // The text now starts at another place of the body: the recorded
    // positions would hit the wrong characters.
    m_undoRedo.clear();
}
