#pragma once
#include <QDialog>
#include <QIcon>

// "バージョン情報 Quillory": the program icon, name and version, the rights
// holder and an OK button.
class CAboutDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget *parent = nullptr);

    // The program's icon, drawn rather than shipped so that it scales.
    static QIcon programIcon();
};
