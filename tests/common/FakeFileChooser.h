#pragma once
#include "platform/FileChooser.h"

#include <QList>

#include <functional>

// Answers the file dialogs from a script and keeps every request, so a test
// sees which dialog was asked for and with what set-up. A dialog with no
// scripted answer left counts as cancelled.
class FakeFileChooser : public FileChooser
{
public:
    QList<OpenDocumentRequest> openRequests;
    QList<SaveDocumentRequest> saveRequests;
    QList<FileChoice> openAnswers;
    QList<FileChoice> saveAnswers;
    // Runs while the dialog is "open", before its answer is returned.
    std::function<void()> whileOpen;

    static FileChoice choose(const QString &path, int filterIndex = 1, int encodingIndex = 0)
    {
        FileChoice choice;
        choice.accepted = true;
        choice.path = path;
        choice.filterIndex = filterIndex;
        choice.encodingIndex = encodingIndex;
        return choice;
    }

    FileChoice chooseOpenDocument(const OpenDocumentRequest &request) override
    {
        openRequests.append(request);
        if (whileOpen)
            whileOpen();
        return openAnswers.isEmpty() ? FileChoice{} : openAnswers.takeFirst();
    }
    FileChoice chooseSaveDocumentAs(const SaveDocumentRequest &request) override
    {
        saveRequests.append(request);
        if (whileOpen)
            whileOpen();
        return saveAnswers.isEmpty() ? FileChoice{} : saveAnswers.takeFirst();
    }
};
