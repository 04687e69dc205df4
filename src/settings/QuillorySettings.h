#pragma once
#include "platform/DocumentsFolder.h"

#include <QString>

#include <functional>

class SettingsBackend;

// The program's own settings, one field per key of the "Settings" section,
// named exactly after the key. The keys, their types, defaults and order are
// declared once, in the table in QuillorySettings.cpp; the constructor gives
// every field its default from there.
//
// Values are taken as stored, without checks: a switch counts as on when it
// is not 0, colours are 0x00BBGGRR, and Page_Row/Page_Col may hold 0 or less
// (the page counter guards against that).
class QuillorySettings
{
public:
    // Supplies the Documents folder ("" when there is none). Asked afresh on
    // every exchange, since the default user folder is derived from it.
    using DocumentsFolderSource = std::function<QString()>;

    static constexpr int KeyCount = 26;

    explicit QuillorySettings(DocumentsFolderSource documentsFolder = getDocumentsFolder);

    // store false: reads the keys in table order, each absent or unreadable
    // one giving its default. store true: writes every field in the same
    // order. Either way the user and work folders are derived afresh.
    void exchangeSettings(bool store, SettingsBackend &backend);

    // The Documents folder followed by "/Quillory/User" (just
    // "/Quillory/User" without a Documents folder).
    QString defaultUserFolder() const;

    // Copies of User_Path as of the last exchange (or construction): the
    // user folder itself, and User_Path + separator + "Work" by plain
    // concatenation, so a stored trailing separator shows up doubled.
    const QString &userFolder() const { return m_userFolder; }
    const QString &workFolder() const { return m_workFolder; }

    qint32 Tree_FontSize = 0;
    qint32 Edit_FontSize = 0;
    qint32 Edit_Margin = 0;
    qint32 Tree_FontColor = 0;
    qint32 Tree_BackColor = 0;
    qint32 Edit_FontColor = 0;
    qint32 Edit_BackColor = 0;
    qint32 Page_Row = 0;
    qint32 Page_Col = 0;
    qint32 EditEncode = 0;
    QString Tree_FontName;
    QString Edit_FontName;
    QString User_Path;
    QString Editor_File;
    QString Appli_File;
    QString LabelTop;
    QString LabelEnd;
    QString TextPathName;
    qint32 Display_Lable = 0;
    qint32 TreeExpand = 0;
    qint32 TitleText = 0;
    qint32 BackupFile = 0;
    qint32 BLabelLine = 0;
    qint32 LabelNameFlag = 0;
    qint32 FileSaveMsg = 0;
    qint32 TextPath = 0;

private:
    void applyDefaults();
    void deriveFolders();

    DocumentsFolderSource m_documentsFolder;
    QString m_userFolder;
    QString m_workFolder;
};
