#include "cli/QuilloryTool.h"

#include "Messages.h"
#include "ToolTexts.h"
#include "editor/StatusMetrics.h"
#include "io/CStringCode.h"
#include "io/OutlineFileIo.h"
#include "model/BodyText.h"
#include "model/CTreeList.h"
#include "platform/Prompter.h"

#include <QFile>

#include <cstdio>

namespace {

QString text(const char16_t *t)
{
    return QString::fromUtf16(t);
}

void writeStdout(const QString &s)
{
    const QByteArray bytes = s.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
}

// Encoding names of --from (auto allowed) and --to.
int encodingFromName(const QString &name, bool allowAuto)
{
    if (allowAuto && name == QLatin1String("auto"))
        return Encoding::Auto;
    if (name == QLatin1String("sjis"))
        return Encoding::ShiftJis;
    if (name == QLatin1String("utf8"))
        return Encoding::Utf8;
    if (name == QLatin1String("utf16le"))
        return Encoding::Utf16Le;
    return -1;
}

struct CommandShape
{
    const char *name;
    QStringList options;
    int files;
};

const CommandShape *shapeOf(const QString &command)
{
    static const CommandShape shapes[] = {
        {"convert", {QStringLiteral("--from"), QStringLiteral("--to")}, 2},
        {"list", {QStringLiteral("--from")}, 1},
        {"detect", {}, 1},
        {"info", {QStringLiteral("--from"), QStringLiteral("--row"), QStringLiteral("--col")}, 1},
    };
    for (const CommandShape &s : shapes) {
        if (command == QLatin1String(s.name))
            return &s;
    }
    return nullptr;
}

} // namespace

QuilloryTool::QuilloryTool(Prompter &prompter)
    : m_prompter(prompter)
{
}

bool QuilloryTool::parse(const QStringList &arguments, Options &options, QString &problem) const
{
    if (arguments.isEmpty()) {
        problem = text(ToolText::UnknownCommand).arg(QString());
        return false;
    }
    options.command = arguments.first();
    const CommandShape *shape = shapeOf(options.command);
    if (!shape) {
        problem = text(ToolText::UnknownCommand).arg(options.command);
        return false;
    }
    bool onlyFiles = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &arg = arguments.at(i);
        if (onlyFiles || !arg.startsWith(QLatin1String("--")) || arg == QLatin1String("--")) {
            if (!onlyFiles && arg == QLatin1String("--")) {
                onlyFiles = true;
                continue;
            }
            options.files.append(arg);
            continue;
        }
        QString name = arg;
        QString value;
        bool hasValue = false;
        if (const qsizetype eq = arg.indexOf(QLatin1Char('=')); eq > 0) {
            name = arg.left(eq);
            value = arg.mid(eq + 1);
            hasValue = true;
        }
        if (!shape->options.contains(name)) {
            problem = text(ToolText::UnknownOption).arg(name);
            return false;
        }
        if (!hasValue) {
            if (i + 1 >= arguments.size()) {
                problem = text(ToolText::MissingValue).arg(name);
                return false;
            }
            value = arguments.at(++i);
        }
        bool valid = true;
        if (name == QLatin1String("--from")) {
            options.from = encodingFromName(value, true);
            valid = options.from >= 0;
        } else if (name == QLatin1String("--to")) {
            options.to = encodingFromName(value, false);
            valid = options.to >= 0;
        } else {
            const qint64 n = value.toLongLong(&valid);
            (name == QLatin1String("--row") ? options.row : options.col) = n;
        }
        if (!valid) {
            problem = text(ToolText::BadValue).arg(name, value);
            return false;
        }
    }
    if (options.files.size() != shape->files) {
        problem = text(ToolText::WrongArgCount);
        return false;
    }
    return true;
}

int QuilloryTool::run(const QStringList &arguments)
{
    if (arguments.contains(QLatin1String("--help")) || arguments.contains(QLatin1String("-h"))) {
        writeStdout(text(ToolText::Help));
        return Success;
    }
    Options options;
    QString problem;
    if (!parse(arguments, options, problem)) {
        m_prompter.showMessage(text(ToolText::Usage).arg(problem));
        return UsageError;
    }
    if (options.command == QLatin1String("convert"))
        return convert(options);
    if (options.command == QLatin1String("list"))
        return list(options);
    if (options.command == QLatin1String("detect"))
        return detect(options);
    return info(options);
}

bool QuilloryTool::readInput(const Options &options, CTreeList &store, NativeHeader &header)
{
    const QString &path = options.files.at(0);
    const int type = OutlineFileIo::fileTypeOf(path);
    if (type == FileType::Unknown) {
        m_prompter.showMessage(text(Msg::ExtensionError));
        return false;
    }
    if (!QFile::exists(path) && type != FileType::Native) {
        // The text readers say nothing about a missing file; the tool must.
        m_prompter.showMessage(text(Msg::FileNotFound).arg(path));
        return false;
    }
    const CStringCode code(&m_prompter);
    if (!OutlineFileIo::read(type, path, options.from, store, header, code, &m_prompter).ok) {
        if (type != FileType::Native)
            m_prompter.showMessage(text(ToolText::NotRead).arg(path));
        return false;
    }
    return true;
}

int QuilloryTool::convert(const Options &options)
{
    const QString &out = options.files.at(1);
    const int outType = OutlineFileIo::fileTypeOf(out);
    if (outType == FileType::Unknown) {
        m_prompter.showMessage(text(Msg::ExtensionError));
        return FileFailure;
    }
    CTreeList store(&m_prompter);
    // Only a native IN fills the header; any other keeps the defaults.
    NativeHeader header;
    if (!readInput(options, store, header))
        return FileFailure;
    const CStringCode code(&m_prompter);
    if (!OutlineFileIo::write(outType, out, options.to, store, header, 0, code, &m_prompter))
        return FileFailure;
    return Success;
}

int QuilloryTool::list(const Options &options)
{
    CTreeList store(&m_prompter);
    NativeHeader header;
    if (!readInput(options, store, header))
        return FileFailure;
    QString out;
    for (const TREE_ITEM &item : store.items()) {
        out += QString::number(item.level);
        out += QLatin1Char('\t');
        out += item.label;
        out += QLatin1Char('\n');
    }
    writeStdout(out);
    return Success;
}

int QuilloryTool::detect(const Options &options)
{
    QFile file(options.files.at(0));
    if (!file.open(QIODevice::ReadOnly)) {
        m_prompter.showMessage(text(Msg::FileNotFound).arg(options.files.at(0)));
        return FileFailure;
    }
    const QByteArray bytes = file.readAll();
    writeStdout(QString::number(CStringCode::detectCodePage(bytes.constData(), bytes.size()))
                + QLatin1Char('\n'));
    return Success;
}

int QuilloryTool::info(const Options &options)
{
    CTreeList store(&m_prompter);
    NativeHeader header;
    if (!readInput(options, store, header))
        return FileFailure;
    // As the whole-outline export reports it: the texts without label lines,
    // joined without separator.
    QString joined;
    qint64 characters = 0;
    for (const TREE_ITEM &item : store.items()) {
        const QString body = store.getBody(item.number);
        const QString itemText = bodyWithoutLabel(body);
        characters += StatusMetrics::countCharacters(itemText, false);
        joined += itemText;
    }
    const QString out = QStringLiteral("items %1\ncharacters %2\nsheets %3\npages %4\n")
                            .arg(store.items().size())
                            .arg(characters)
                            .arg(StatusMetrics::countPages(joined, 20, 20))
                            .arg(StatusMetrics::countPages(joined, options.row, options.col));
    writeStdout(out);
    return Success;
}
