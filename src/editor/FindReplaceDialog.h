#pragma once
#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The editor's small modeless find and replace dialogs. They only collect
// what to look for and ask; the editor pane does the searching and the
// replacing, so that every replacement goes through its change tracking.
class FindReplaceDialog : public QDialog
{
    Q_OBJECT

public:
    enum class Mode { Find, Replace };

    FindReplaceDialog(Mode mode, QWidget *parent);

    Mode mode() const { return m_mode; }
    QString findWhat() const;
    QString replaceWith() const;
    bool matchCase() const;
    // Always down for the replace dialog.
    bool searchDown() const;

    // Fills the dialog before it is shown (the find text is selected).
    void setFindWhat(const QString &text);
    void setMatchCase(bool on);
    void setSearchDown(bool down);

signals:
    void findNextRequested();
    void replaceRequested();
    void replaceAllRequested();

private:
    void updateButtons();

    Mode m_mode;
    QLineEdit *m_findEdit = nullptr;
    QLineEdit *m_replaceEdit = nullptr;
    QCheckBox *m_matchCase = nullptr;
    QRadioButton *m_up = nullptr;
    QRadioButton *m_down = nullptr;
    QPushButton *m_findNext = nullptr;
    QPushButton *m_replace = nullptr;
    QPushButton *m_replaceAll = nullptr;
};
