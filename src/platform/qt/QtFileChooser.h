#pragma once
#include "platform/FileChooser.h"

#include <QPointer>
#include <QWidget>

#include <memory>

class QComboBox;
class QFileDialog;

// The file dialogs as Qt's own (non-native) QFileDialog, each with the
// program's kinds as name filters and its extra drop-down below them.
class QtFileChooser : public FileChooser
{
public:
    explicit QtFileChooser(QWidget *parent = nullptr);

    void setParent(QWidget *parent) { m_parent = parent; }

    FileChoice chooseOpenDocument(const OpenDocumentRequest &request) override;
    FileChoice chooseSaveDocumentAs(const SaveDocumentRequest &request) override;

    // A dialog ready to run, with its encoding drop-down; built apart from
    // running it so that its set-up can be looked at without a user.
    struct Dialog
    {
        std::unique_ptr<QFileDialog> dialog;
        QComboBox *kinds = nullptr; // the dialog's own file-type list
        QComboBox *encoding = nullptr;
    };
    static Dialog buildOpenDialog(const OpenDocumentRequest &request, QWidget *parent);
    static Dialog buildSaveAsDialog(const SaveDocumentRequest &request, QWidget *parent);
    // The answer a finished dialog gives.
    static FileChoice choiceOf(const Dialog &dialog, bool accepted);

private:
    QWidget *parentWidget() const;

    QPointer<QWidget> m_parent;
};
