#include "model/CUndoRedo.h"

#include "io/ArchiveString.h"
#include "io/FileError.h"
#include "platform/EditorPanePort.h"
#include "platform/Prompter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

using namespace Qt::StringLiterals;

namespace {

// kind, start and end (4 bytes each) and the shortest string record.
constexpr qsizetype MinFileRecord = 13;

bool isJoined(qint32 kind)
{
    return kind == CMD_ITEM::JoinedInsert || kind == CMD_ITEM::JoinedReplaceInsert;
}

// Two consecutive changes whose first records pass this are undone and
// redone together. Always asked of the first record of a change.
bool pairsAsReplace(qint32 kind)
{
    return kind > CMD_ITEM::ReplaceCommand;
}

enum class Effect { None, Insert, Delete };

// The history files' rule: 10 is taken off kinds above 10, then 1 inserts,
// 2 deletes and anything else leaves the text alone.
Effect effectOf(qint32 kind)
{
    if (isJoined(kind))
        return Effect::Insert;
    const qint32 base = kind > CMD_ITEM::ReplaceCommand ? kind - CMD_ITEM::ReplaceCommand : kind;
    if (base == CMD_ITEM::Inserted)
        return Effect::Insert;
    if (base == CMD_ITEM::Deleted)
        return Effect::Delete;
    return Effect::None;
}

qsizetype clampTo(qint64 position, qsizetype size)
{
    return qsizetype(qBound<qint64>(0, position, size));
}

void insertAt(QString &text, qint32 position, const QString &part)
{
    text.insert(clampTo(position, text.size()), part);
}

void deleteAt(QString &text, qint32 position, qsizetype count)
{
    const qsizetype at = clampTo(position, text.size());
    text.remove(at, qMin(count, text.size() - at));
}

// Length of the common start of `a` and `b`, looking at `limit` units at most.
qsizetype commonPrefix(const QChar *a, const QChar *b, qsizetype limit)
{
    constexpr qsizetype Block = 64;
    qsizetype i = 0;
    while (i + Block <= limit && std::memcmp(a + i, b + i, Block * sizeof(QChar)) == 0)
        i += Block;
    while (i < limit && a[i] == b[i])
        ++i;
    return i;
}

// The same backwards from `aEnd` and `bEnd`.
qsizetype commonSuffix(const QChar *aEnd, const QChar *bEnd, qsizetype limit)
{
    constexpr qsizetype Block = 64;
    qsizetype i = 0;
    while (i + Block <= limit
           && std::memcmp(aEnd - i - Block, bEnd - i - Block, Block * sizeof(QChar)) == 0)
        i += Block;
    while (i < limit && aEnd[-i - 1] == bEnd[-i - 1])
        ++i;
    return i;
}

// Replays records on `text`, tracking the caret the last effective one left.
struct Replay
{
    QString text;
    bool changed = false;
    qint32 caret = 0;

    // `first`: the record belongs to the change the command was asked for;
    // only then does a record without effect place the caret.
    void undo(const CMD_ITEM &r, bool first)
    {
        switch (effectOf(r.kind)) {
        case Effect::Insert:
            deleteAt(text, r.start, r.text.size());
            changed = true;
            break;
        case Effect::Delete:
            insertAt(text, r.end, r.text);
            changed = true;
            break;
        case Effect::None:
            if (!first)
                return;
            break;
        }
        caret = r.start;
    }

    void redo(const CMD_ITEM &r, bool first)
    {
        switch (effectOf(r.kind)) {
        case Effect::Insert:
            insertAt(text, r.start, r.text);
            changed = true;
            break;
        case Effect::Delete:
            deleteAt(text, r.end, r.text.size());
            changed = true;
            break;
        case Effect::None:
            if (!first)
                return;
            break;
        }
        caret = r.end;
    }
};

// Undoes the last change of `from` (its joined records, then its first
// record), moving each record to `to`. Returns the change's first record's kind.
qint32 undoChange(QList<CMD_ITEM> &from, QList<CMD_ITEM> &to, Replay &replay, bool first)
{
    while (!from.isEmpty() && isJoined(from.constLast().kind)) {
        CMD_ITEM r = from.takeLast();
        replay.undo(r, first);
        to.append(std::move(r));
    }
    if (from.isEmpty())
        return 0;
    CMD_ITEM r = from.takeLast();
    replay.undo(r, first);
    const qint32 kind = r.kind;
    to.append(std::move(r));
    return kind;
}

// The mirror image: the redo list holds a change's first record last.
qint32 redoChange(QList<CMD_ITEM> &from, QList<CMD_ITEM> &to, Replay &replay, bool first)
{
    CMD_ITEM head = from.takeLast();
    replay.redo(head, first);
    const qint32 kind = head.kind;
    to.append(std::move(head));
    while (!from.isEmpty() && isJoined(from.constLast().kind)) {
        CMD_ITEM r = from.takeLast();
        replay.redo(r, first);
        to.append(std::move(r));
    }
    return kind;
}

// Kind of the first record of the last change in the undo list.
qint32 lastChangeKind(const QList<CMD_ITEM> &undoList)
{
    for (qsizetype i = undoList.size() - 1; i >= 0; --i) {
        if (!isJoined(undoList.at(i).kind))
            return undoList.at(i).kind;
    }
    return CMD_ITEM::NoChange;
}

QString listing(const QList<CMD_ITEM> &list)
{
    QString out;
    for (const CMD_ITEM &r : list) {
        out += u"s = "_s;
        out += QString::number(r.start);
        out += u"  e = "_s;
        out += QString::number(r.end);
        out += u"  "_s;
        out += r.text;
        out += u"\r\n"_s;
    }
    return out;
}

void report(Prompter *prompter, FileError error, const QString &path)
{
    if (prompter)
        prompter->showMessage(fileErrorMessage(error, QDir::toNativeSeparators(path), false));
}

} // namespace

void CUndoRedo::recordChange(qint32 replaceFlag, EditorState &before, const EditorState &after)
{
    const QString &was = before.text;
    const QString &is = after.text;
    const qsizetype wasSize = was.size();
    const qsizetype isSize = is.size();
    const qsizetype common = qMin(wasSize, isSize);
    const qint32 caretBefore = qint32(clampTo(before.selectionStart, wasSize));
    const qint32 caretAfter = qint32(clampTo(after.selectionStart, isSize));
    const qint32 flag = replaceFlag != 0 ? qint32(CMD_ITEM::ReplaceCommand) : 0;

    // A pure insertion is told by where it sits: at the caret before it; a
    // pure deletion at the caret after it. The common start is looked for up
    // to there only, so that typing "a" into "aaa" is an insertion at the
    // caret and not at the end.
    qsizetype anchor = isSize > wasSize ? caretBefore : isSize < wasSize ? caretAfter
                                                                         : qMin(caretBefore, caretAfter);
    anchor = qMin(anchor, common);

    qsizetype prefix = common;
    qsizetype suffix = 0;
    // A shared buffer is the same text; anything else is compared.
    if (was.constData() != is.constData() || wasSize != isSize) {
        prefix = commonPrefix(was.constData(), is.constData(), anchor);
        suffix = commonSuffix(was.constData() + wasSize, is.constData() + isSize, common - prefix);
    }
    const qsizetype removed = wasSize - prefix - suffix;
    const qsizetype inserted = isSize - prefix - suffix;
    const qint32 at = qint32(prefix);

    if (removed == 0 && inserted == 0) {
        m_undoList.append({CMD_ITEM::NoChange + flag, caretBefore, caretAfter, 0, {}});
    } else if (removed == 0 && at == caretBefore) {
        m_undoList.append({CMD_ITEM::Inserted + flag, caretBefore, caretAfter, qint32(inserted),
                           is.mid(prefix, inserted)});
    } else if (inserted == 0 && at == caretAfter) {
        m_undoList.append({CMD_ITEM::Deleted + flag, caretBefore, caretAfter, qint32(removed),
                           was.mid(prefix, removed)});
    } else {
        // A replacement: the deletion takes the caret back on undo, the
        // insertion forward on redo.
        m_undoList.append({CMD_ITEM::Deleted + flag, caretBefore, at, qint32(removed),
                           was.mid(prefix, removed)});
        m_undoList.append({flag ? qint32(CMD_ITEM::JoinedReplaceInsert) : qint32(CMD_ITEM::JoinedInsert),
                           at, caretAfter, qint32(inserted), is.mid(prefix, inserted)});
    }
    m_redoList.clear();
    before = after;
}

bool CUndoRedo::undoText(EditorPanePort &editor)
{
    if (m_undoList.isEmpty())
        return false;
    Replay replay{editor.text()};
    const qint32 kind = undoChange(m_undoList, m_redoList, replay, true);
    if (pairsAsReplace(kind) && !m_undoList.isEmpty() && pairsAsReplace(lastChangeKind(m_undoList)))
        undoChange(m_undoList, m_redoList, replay, false);
    if (replay.changed)
        editor.setText(replay.text);
    editor.setCaret(replay.caret);
    return true;
}

bool CUndoRedo::redoText(EditorPanePort &editor)
{
    if (m_redoList.isEmpty())
        return false;
    Replay replay{editor.text()};
    const qint32 kind = redoChange(m_redoList, m_undoList, replay, true);
    if (pairsAsReplace(kind) && !m_redoList.isEmpty() && !isJoined(m_redoList.constLast().kind)
        && pairsAsReplace(m_redoList.constLast().kind))
        redoChange(m_redoList, m_undoList, replay, false);
    if (replay.changed)
        editor.setText(replay.text);
    editor.setCaret(replay.caret);
    return true;
}

QString CUndoRedo::undoFileName(qint32 number)
{
    return QString::asprintf("QLU%04d.his", number);
}

QString CUndoRedo::redoFileName(qint32 number)
{
    return QString::asprintf("QLR%04d.his", number);
}

bool CUndoRedo::loadUndoFile(const QString &folder, qint32 number, Prompter *prompter)
{
    return loadFile(folder, undoFileName(number), m_undoList, prompter);
}

bool CUndoRedo::loadRedoFile(const QString &folder, qint32 number, Prompter *prompter)
{
    return loadFile(folder, redoFileName(number), m_redoList, prompter);
}

bool CUndoRedo::loadHistoryFiles(const QString &folder, qint32 number, Prompter *prompter)
{
    clear();
    return loadUndoFile(folder, number, prompter) && loadRedoFile(folder, number, prompter);
}

bool CUndoRedo::loadFile(const QString &folder, const QString &name, QList<CMD_ITEM> &list,
                         Prompter *prompter)
{
    if (folder.isEmpty())
        return true;
    const QString path = QDir(folder).filePath(name);
    // Only a regular file is a history: opening a pipe would wait for a
    // writer, and a device could be read forever.
    if (!QFileInfo(path).isFile())
        return true;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return true;

    errno = 0;
    const QByteArray bytes = file.readAll();
    const int err = errno;
    if (file.error() != QFileDevice::NoError) {
        report(prompter, err ? fileErrorFromErrno(err, false) : FileError::Other, path);
        return false;
    }

    ArchiveReader in(bytes);
    qint32 count = 0;
    bool ok = in.readInt32(count);
    if (ok && count > 0) {
        // A count the bytes cannot hold is not believed: the records that are
        // there are read, and the end of the file is the failure.
        if (count <= in.remaining() / MinFileRecord)
            list.reserve(list.size() + count);
        for (qint32 i = 0; i < count; ++i) {
            CMD_ITEM r;
            if (!in.readInt32(r.kind) || !in.readInt32(r.start) || !in.readInt32(r.end)
                || !in.readString(r.text)) {
                ok = false;
                break;
            }
            if (isJoined(r.kind))
                r.kind = CMD_ITEM::InertReplace;
            r.count = qint32(r.text.size());
            list.append(std::move(r));
        }
    }
    if (!ok) {
        report(prompter, FileError::BadFormat, path);
        return false;
    }
    return true;
}

void CUndoRedo::clear()
{
    m_undoList.clear();
    m_redoList.clear();
}

void CUndoRedo::resetText(const QString &folder)
{
    clear();
    // An empty path would be the current folder, which is nobody's work folder.
    if (folder.isEmpty())
        return;
    const QFileInfoList entries = QDir(folder).entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::NoSort);
    for (const QFileInfo &entry : entries) {
        // Removing a link unlinks the entry itself; its target is not touched
        // (isFile() would look through the link, so links are asked first).
        if (entry.isSymbolicLink() || entry.isFile())
            QFile::remove(entry.filePath());
    }
}

QString CUndoRedo::listTextUndo() const
{
    return listing(m_undoList);
}

QString CUndoRedo::listTextRedo() const
{
    return listing(m_redoList);
}
