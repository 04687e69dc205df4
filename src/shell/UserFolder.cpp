#include "shell/UserFolder.h"

#include "CommandTable.h"
#include "Messages.h"
#include "io/CStringCode.h"
#include "io/HierTextFile.h"
#include "io/NativeFile.h"
#include "model/CTreeList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

using namespace Qt::StringLiterals;

// The resources live in a static library: without this their registration
// would be dropped by the linker.
static void initFirstRunResources()
{
    Q_INIT_RESOURCE(firstrun);
}

namespace {

// The sources are UTF-8 with LF; inside the program every line ends with CR LF.
QString resourceText(const QString &name)
{
    QFile file(u":/firstrun/"_s + name);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    QString text = QString::fromUtf8(file.readAll());
    text.replace(u"\r\n"_s, u"\n"_s);
    text.replace(QLatin1Char('\n'), u"\r\n"_s);
    return text;
}

// An outline written as hierarchical text becomes a native document.
bool installOutline(const QString &source, const QString &target, Prompter *prompter)
{
    CTreeList store(prompter);
    if (!HierTextFile::parseHierText(store, resourceText(source), prompter) || store.items().empty())
        return false;
    return NativeFile::write(target, store, NativeHeader(), store.items().front().number, prompter);
}

bool installText(const QString &text, const QString &target, Prompter *prompter)
{
    if (text.isEmpty())
        return false;
    return CStringCode(prompter).writeText(Encoding::Utf8, target, text);
}

const CommandTable::Command *findCommand(int id)
{
    for (const CommandTable::Command &command : CommandTable::Commands) {
        if (command.id == id)
            return &command;
    }
    return nullptr;
}

// "上に追加(&U)" becomes "上に追加", "Visual Studio 200&8" "Visual Studio 2008".
QString withoutMnemonic(QString text)
{
    static const QRegularExpression mnemonic(u"\\(&.\\)"_s);
    text.remove(mnemonic);
    text.remove(QLatin1Char('&'));
    return text.trimmed();
}

// The menu text without its key label after the tab; the tooltip for
// commands that have no menu entry.
QString plainName(const CommandTable::Command &command)
{
    const QString name = withoutMnemonic(QString::fromUtf16(command.menuText).section(QLatin1Char('\t'), 0, 0));
    return name.isEmpty() ? QString::fromUtf16(command.toolTip) : name;
}

// The portable key text, with arrows as arrows.
QString keyText(const CommandTable::Command &command)
{
    QString key = QString::fromUtf16(command.key);
    static const std::pair<QString, QString> names[] = {
        {u"Up"_s, u"↑"_s}, {u"Down"_s, u"↓"_s}, {u"Left"_s, u"←"_s}, {u"Right"_s, u"→"_s}, {u"Del"_s, u"Delete"_s},
    };
    for (const auto &[from, to] : names) {
        if (key.endsWith(u'+' + from))
            return key.left(key.size() - from.size()) + to;
    }
    return key;
}

void listMenu(std::span<const int> entries, QStringList &lines, QSet<int> &listed)
{
    for (int id : entries) {
        if (id < 0) {
            for (const CommandTable::Menu &sub : CommandTable::Submenus) {
                if (sub.id == id)
                    listMenu(sub.entries, lines, listed);
            }
            continue;
        }
        const CommandTable::Command *command = findCommand(id);
        if (!command || QStringView(command->key).isEmpty() || listed.contains(id))
            continue;
        listed.insert(id);
        lines.append(QString::fromUtf16(Msg::ShortcutListLine).arg(keyText(*command), plainName(*command)));
    }
}

} // namespace

QString UserFolder::shortcutListText()
{
    QStringList lines;
    QSet<int> listed;
    for (const CommandTable::Menu &menu : CommandTable::MenuBar) {
        QStringList group;
        listMenu(menu.entries, group, listed);
        if (group.isEmpty())
            continue;
        const QString title = withoutMnemonic(QString::fromUtf16(menu.title));
        if (!lines.isEmpty())
            lines.append(QString());
        lines.append(QString::fromUtf16(Msg::ShortcutListGroup).arg(title));
        lines.append(group);
    }
    QStringList rest;
    for (const CommandTable::Command &command : CommandTable::Commands) {
        if (!QStringView(command.key).isEmpty() && !listed.contains(command.id)) {
            listed.insert(command.id);
            rest.append(QString::fromUtf16(Msg::ShortcutListLine).arg(keyText(command), plainName(command)));
        }
    }
    if (!rest.isEmpty()) {
        lines.append(QString());
        lines.append(QString::fromUtf16(Msg::ShortcutListGroup).arg(QString::fromUtf16(Msg::ShortcutListOthers)));
        lines.append(rest);
    }
    return lines.join(u"\r\n"_s) + u"\r\n"_s;
}

QStringList UserFolder::subfolderNames()
{
    return {u"Data"_s, u"Backup"_s, u"Text"_s, u"Work"_s};
}

QStringList UserFolder::ensure(const QString &userPath, Prompter *prompter)
{
    initFirstRunResources();

    QStringList failed;
    const QString sep = QDir::separator();
    for (const QString &name : subfolderNames()) {
        const QString path = userPath + sep + name;
        if (!QDir().mkpath(path))
            failed.append(path);
    }

    struct Install
    {
        QString folder;
        QString fileName;
        QString source; // a resource outline, or "" for the shortcut list
    };
    const Install installs[] = {
        {u"Data"_s, QString::fromUtf16(Msg::WelcomeDocumentName), u"welcome.txt"_s},
        {u"Data"_s, QString::fromUtf16(Msg::UserFolderDocumentName), u"userfolder.txt"_s},
        {u"Text"_s, QString::fromUtf16(Msg::ShortcutListFileName), QString()},
    };
    for (const Install &install : installs) {
        const QString folder = userPath + sep + install.folder;
        const QString target = folder + sep + install.fileName;
        // A file the user has, even an edited or broken one, stays as it is.
        if (!QFileInfo(folder).isDir() || QFileInfo::exists(target) || QFileInfo(target).isSymLink())
            continue;
        const bool ok = install.source.isEmpty() ? installText(shortcutListText(), target, prompter)
                                                 : installOutline(install.source, target, prompter);
        if (!ok)
            failed.append(target);
    }
    return failed;
}
