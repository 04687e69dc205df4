#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream(stdout) << "quillory-tool: convert and inspect outline files (work in progress)\n";
    return 0;
}
