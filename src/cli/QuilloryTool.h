#pragma once
#include <QString>
#include <QStringList>

class CTreeList;
class Prompter;
struct NativeHeader;

// The command-line tool: convert and inspect outline files with the same
// readers and writers as the editor. Output goes to stdout, messages to the
// prompter; run() returns the exit status.
class QuilloryTool
{
public:
    enum Status { Success = 0, FileFailure = 1, UsageError = 2 };

    explicit QuilloryTool(Prompter &prompter);
    int run(const QStringList &arguments);

private:
    struct Options
    {
        QString command;
        int from = 0;
        int to = 2;
        qint64 row = 30;
        qint64 col = 40;
        QStringList files;
    };

    bool parse(const QStringList &arguments, Options &options, QString &problem) const;
    // Reads the command's first file as the editor's open does, with the
    // --from encoding. False after a message when nothing could be read.
    bool readInput(const Options &options, CTreeList &store, NativeHeader &header);
    int convert(const Options &options);
    int list(const Options &options);
    int detect(const Options &options);
    int info(const Options &options);

    Prompter &m_prompter;
};
