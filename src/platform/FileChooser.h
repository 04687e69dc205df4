#pragma once
#include <QString>

// The user's answer to a file dialog. Indices are those of the dialog's own
// lists: the kind (filter) counts from 1 and equals the file type; the
// encoding drop-down counts from 0 and equals the encoding index.
struct FileChoice
{
    bool accepted = false; // false: the user cancelled, nothing else is set
    QString path;
    int filterIndex = 1;
    int encodingIndex = 0;
};

// The document's Open dialog: the three outline kinds, the encoding
// drop-down with "automatic" first.
struct OpenDocumentRequest
{
    QString folder;
    QString defaultExtension;
    int filterIndex = 1;
    int encodingIndex = 0;
};

// The document's Save As dialog: the three outline kinds, the encoding
// drop-down with "qlo file" first; asks before replacing an existing file.
struct SaveDocumentRequest
{
    QString folder;
    QString fileName;
    QString defaultExtension;
    int filterIndex = 1;
    int encodingIndex = 0;
};

// Every file dialog of the program is one call here, so that the commands
// run without a window: the window shows Qt dialogs, tests script answers.
class FileChooser
{
public:
    virtual ~FileChooser() = default;

    virtual FileChoice chooseOpenDocument(const OpenDocumentRequest &request) = 0;
    virtual FileChoice chooseSaveDocumentAs(const SaveDocumentRequest &request) = 0;
};
