#include "shell/CAboutDlg.h"
#include "shell/CMainFrame.h"
#include "shell/CQuilloryApp.h"

#include <QApplication>
#include <QDir>
#include <QTimer>

#include <cstdio>

using namespace Qt::StringLiterals;

// quillory [document] [--screenshot <png>]
// --screenshot draws the window once it is up, saves it as a PNG and quits
// without saving anything; the README's picture is made that way.
int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    CQuilloryApp::setUpApplication(app);
    QApplication::setWindowIcon(CAboutDlg::programIcon());

    QString documentPath;
    QString screenshotPath;
    QStringList args = QCoreApplication::arguments().mid(1);
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args.at(i) == u"--screenshot"_s && i + 1 < args.size())
            screenshotPath = args.at(++i);
        else if (documentPath.isEmpty())
            documentPath = args.at(i);
    }

    CQuilloryApp quillory;
    if (!quillory.initInstance(documentPath))
        return 1;

    if (!screenshotPath.isEmpty()) {
        // Give the window a moment to be laid out and painted by the server.
        QTimer::singleShot(1500, &quillory, [&quillory, screenshotPath] {
            CMainFrame *frame = quillory.mainFrame();
            const bool saved = frame->grab().save(screenshotPath, "PNG");
            std::fprintf(stderr, "%s %s\n", saved ? "saved" : "could not save",
                         qUtf8Printable(QDir::toNativeSeparators(screenshotPath)));
            QCoreApplication::exit(saved ? 0 : 1);
        });
    }
    return QApplication::exec();
}
