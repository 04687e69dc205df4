#include "io/FileCommands.h"

#include "Messages.h"
#include "io/OutlineFileIo.h"
#include "model/CQuilloryDoc.h"
#include "platform/FileChooser.h"
#include "platform/Prompter.h"
#include "settings/SettingsBackend.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

QString recentKey(int index)
{
    return u"File%1"_s.arg(index + 1);
}

QString canonicalForm(const QString &path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

} // namespace

RecentFileList::RecentFileList(SettingsBackend &backend)
    : m_backend(backend)
{
    for (int i = 0; i < Size; ++i) {
        const QString path = m_backend.readString(SettingsSection::RecentFileList, recentKey(i), QString());
        if (!path.isEmpty() && !m_files.contains(path))
            m_files.append(path);
    }
}

void RecentFileList::add(const QString &path)
{
    m_files.removeAll(path);
    m_files.prepend(path);
    while (m_files.size() > Size)
        m_files.removeLast();
    write();
}

void RecentFileList::remove(const QString &path)
{
    if (m_files.removeAll(path) > 0)
        write();
}

void RecentFileList::write()
{
    // The store cannot delete a key; an empty value is an empty slot.
    for (int i = 0; i < Size; ++i)
        m_backend.writeString(SettingsSection::RecentFileList, recentKey(i), m_files.value(i));
    m_backend.flush();
}

FileCommands::FileCommands(CQuilloryDoc &doc, SettingsBackend &settings, FileChooser &chooser)
    : m_doc(doc)
    , m_chooser(chooser)
    , m_recent(settings)
{
}

void FileCommands::recentChanged()
{
    if (m_recentChanged)
        m_recentChanged(m_recent.files());
}

void FileCommands::fileNew()
{
    // The file stays bound when the user called the new document off and
    // kept the changed content: Ctrl+S then still saves it where it belongs.
    const bool wasModified = m_doc.isModified();
    m_doc.fileNew();
    if (!wasModified || !m_doc.isModified())
        m_boundPath.clear();
}

bool FileCommands::fileOpen()
{
    OpenDocumentRequest request;
    request.folder = m_doc.dataFolder();
    request.defaultExtension = u"qlo"_s;
    request.filterIndex = FileType::Native;
    request.encodingIndex = 0;
    const FileChoice choice = m_chooser.chooseOpenDocument(request);
    if (!choice.accepted || choice.path.isEmpty())
        return false;
    m_doc.setOpenEncoding(choice.encodingIndex);
    return openFile(choice.path);
}

bool FileCommands::openFile(const QString &path)
{
    const QString target = canonicalForm(path);
    if (!m_doc.saveModified())
        return false;
    const QString bound = m_boundPath;
    m_boundPath.clear();
    if (!m_doc.onOpenDocument(target)) {
        // Still changed: the user kept the content, and with it its file.
        // (A file that could not be read leaves a new document instead.)
        if (m_doc.isModified())
            m_boundPath = bound;
        // A file that has gone away has no place in the list; one that could
        // not be read (or an open the user called off) keeps its entry.
        if (!QFileInfo::exists(target) && m_recent.files().contains(target)) {
            m_recent.remove(target);
            recentChanged();
        }
        return false;
    }
    m_doc.refreshViews();
    m_boundPath = m_doc.path();
    m_recent.add(target);
    recentChanged();
    return true;
}

bool FileCommands::canSave() const
{
    return m_doc.displayMode() != DisplayMode::SinglePage;
}

bool FileCommands::isBound() const
{
    return m_doc.path() == m_boundPath || !QFileInfo::exists(m_doc.path());
}

bool FileCommands::saveTo(const QString &path)
{
    if (!m_doc.onSaveDocument(path))
        return false;
    makeBackup(path);
    m_doc.setModified(false);
    m_boundPath = path;
    return true;
}

bool FileCommands::fileSave()
{
    if (!canSave() || m_doc.store().items().empty())
        return false;
    if (!isBound())
        return fileSaveAs();

    m_doc.storeEditorBeforeSave();
    if (!saveTo(m_doc.path()))
        return false;
    if (m_doc.settings().FileSaveMsg && m_doc.prompter())
        m_doc.prompter()->showMessage(QString::fromUtf16(Msg::SaveCompleted).arg(m_doc.fileName()));
    return true;
}

bool FileCommands::fileSaveAs()
{
    if (!canSave() || m_doc.store().items().empty())
        return false;
    m_doc.storeEditorBeforeSave();
    if (m_doc.fileType() == FileType::Native)
        m_doc.setFileEncoding(Encoding::Auto);

    SaveDocumentRequest request;
    request.folder = m_doc.dataFolder();
    request.fileName = m_doc.fileName();
    request.defaultExtension = m_doc.extension();
    request.filterIndex = m_doc.fileType() >= FileType::Native && m_doc.fileType() <= FileType::HierCsv
        ? m_doc.fileType()
        : FileType::Native;
    request.encodingIndex = m_doc.fileEncoding();
    const FileChoice choice = m_chooser.chooseSaveDocumentAs(request);
    if (!choice.accepted || choice.path.isEmpty())
        return false;

    Prompter *const prompter = m_doc.prompter();
    // Every refusal and failure leaves the document's name, kind and
    // encoding as they were.
    if ((choice.filterIndex == FileType::HierText || choice.filterIndex == FileType::HierCsv)
        && choice.encodingIndex == Encoding::Auto) {
        if (prompter)
            prompter->showMessage(QString::fromUtf16(Msg::EncodingNotGiven));
        return false;
    }
    const int type = OutlineFileIo::fileTypeOf(choice.path);
    if (type == FileType::Unknown) {
        if (prompter)
            prompter->showMessage(QString::fromUtf16(Msg::ExtensionError));
        return false;
    }

    // Written first and named after: a document is never named after a
    // file that was not written, so the next Save goes where it always did.
    if (!OutlineFileIo::write(type, choice.path, choice.encodingIndex, m_doc.store(), m_doc.header(),
                              m_doc.currentNumber(), m_doc.stringCode(), prompter))
        return false;
    m_doc.setFileEncoding(choice.encodingIndex);
    m_doc.setPathAndType(choice.path);
    makeBackup(m_doc.path());
    m_doc.setModified(false);
    m_boundPath = m_doc.path();
    return true;
}

QString FileCommands::backupPathFor(const QString &path) const
{
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < 0 || name.mid(dot + 1).compare(u"qlo"_s, Qt::CaseInsensitive) != 0)
        return QString();
    const QString sep = QDir::separator();
    return m_doc.settings().User_Path + sep + u"Backup"_s + sep + name.left(dot) + u".bak"_s;
}

bool FileCommands::makeBackup(const QString &path)
{
    if (!m_doc.settings().BackupFile)
        return true;
    const QString backup = backupPathFor(path);
    if (backup.isEmpty())
        return true;
    return m_doc.onSaveDocument(backup);
}
