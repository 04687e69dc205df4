#include "cli/QuilloryTool.h"
#include "cli/StderrPrompter.h"

#include <QCoreApplication>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    StderrPrompter prompter;
    QuilloryTool tool(prompter);
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    return tool.run(arguments);
}
