#include <QApplication>
#include <QMessageBox>

// Replaced by the application object once it exists.
int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    return 0;
}
