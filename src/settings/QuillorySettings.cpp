#include "settings/QuillorySettings.h"

#include "settings/SettingsBackend.h"

#include <QDir>

#include <array>
#include <variant>

using namespace Qt::StringLiterals;

namespace {

// What a key means; colours and switches are stored as integers.
enum class Kind { Integer, Colour, Switch, String };

// The default of User_Path, derived from the Documents folder at each exchange.
struct UserFolderDefault
{
};

using IntField = qint32 QuillorySettings::*;
using StringField = QString QuillorySettings::*;

struct Setting
{
    QStringView key;
    Kind kind;
    std::variant<IntField, StringField> field;
    std::variant<qint32, QStringView, UserFolderDefault> defaultValue;
};

// Every key of the "Settings" section; the order is the order of reading
// and of writing.
constexpr std::array<Setting, QuillorySettings::KeyCount> SettingsTable{{
    {u"Tree_FontSize", Kind::Integer, &QuillorySettings::Tree_FontSize, 20},
    {u"Edit_FontSize", Kind::Integer, &QuillorySettings::Edit_FontSize, 22},
    {u"Edit_Margin", Kind::Integer, &QuillorySettings::Edit_Margin, 10},
    {u"Tree_FontColor", Kind::Colour, &QuillorySettings::Tree_FontColor, 0x000000},
    {u"Tree_BackColor", Kind::Colour, &QuillorySettings::Tree_BackColor, 0xFFFFFF},
    {u"Edit_FontColor", Kind::Colour, &QuillorySettings::Edit_FontColor, 0x000000},
    {u"Edit_BackColor", Kind::Colour, &QuillorySettings::Edit_BackColor, 0xFFFFFF},
    {u"Page_Row", Kind::Integer, &QuillorySettings::Page_Row, 30},
    {u"Page_Col", Kind::Integer, &QuillorySettings::Page_Col, 40},
    {u"EditEncode", Kind::Integer, &QuillorySettings::EditEncode, 2},
    {u"Tree_FontName", Kind::String, &QuillorySettings::Tree_FontName, QStringView(u"メイリオ")},
    {u"Edit_FontName", Kind::String, &QuillorySettings::Edit_FontName, QStringView(u"メイリオ")},
    {u"User_Path", Kind::String, &QuillorySettings::User_Path, UserFolderDefault{}},
    {u"Editor_File", Kind::String, &QuillorySettings::Editor_File, QStringView(u"")},
    {u"Appli_File", Kind::String, &QuillorySettings::Appli_File, QStringView(u"")},
    {u"LabelTop", Kind::String, &QuillorySettings::LabelTop, QStringView(u"\n【 ")},
    {u"LabelEnd", Kind::String, &QuillorySettings::LabelEnd, QStringView(u" 】\n")},
    {u"TextPathName", Kind::String, &QuillorySettings::TextPathName, QStringView(u"c:\\")},
    {u"Display_Lable", Kind::Switch, &QuillorySettings::Display_Lable, 1},
    {u"TreeExpand", Kind::Switch, &QuillorySettings::TreeExpand, 1},
    {u"TitleText", Kind::Switch, &QuillorySettings::TitleText, 1},
    {u"BackupFile", Kind::Switch, &QuillorySettings::BackupFile, 1},
    {u"BLabelLine", Kind::Switch, &QuillorySettings::BLabelLine, 0},
    {u"LabelNameFlag", Kind::Switch, &QuillorySettings::LabelNameFlag, 1},
    {u"FileSaveMsg", Kind::Switch, &QuillorySettings::FileSaveMsg, 1},
    {u"TextPath", Kind::Switch, &QuillorySettings::TextPath, 1},
}};

constexpr bool sameKey(QStringView a, QStringView b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (a[i] != b[i])
            return false;
    }
    return true;
}

// Each row's kind, field and default must agree, and no key may repeat.
constexpr bool tableIsConsistent()
{
    for (std::size_t i = 0; i < SettingsTable.size(); ++i) {
        const Setting &s = SettingsTable[i];
        const bool isString = s.kind == Kind::String;
        if (isString != std::holds_alternative<StringField>(s.field))
            return false;
        if (isString == std::holds_alternative<qint32>(s.defaultValue))
            return false;
        for (std::size_t j = 0; j < i; ++j) {
            if (sameKey(SettingsTable[j].key, s.key))
                return false;
        }
    }
    return true;
}
static_assert(tableIsConsistent());

QString stringDefault(const Setting &s, const QString &userFolderDefault)
{
    const QStringView *text = std::get_if<QStringView>(&s.defaultValue);
    return text ? text->toString() : userFolderDefault;
}

} // namespace

QuillorySettings::QuillorySettings(DocumentsFolderSource documentsFolder)
    : m_documentsFolder(documentsFolder ? std::move(documentsFolder) : DocumentsFolderSource(getDocumentsFolder))
{
    applyDefaults();
    deriveFolders();
}

QString QuillorySettings::defaultUserFolder() const
{
    const QChar sep = QDir::separator();
    return m_documentsFolder() + sep + u"Quillory"_s + sep + u"User"_s;
}

void QuillorySettings::applyDefaults()
{
    const QString userDefault = defaultUserFolder();
    for (const Setting &s : SettingsTable) {
        if (const IntField *f = std::get_if<IntField>(&s.field)) {
            this->*(*f) = std::get<qint32>(s.defaultValue);
        } else {
            this->*std::get<StringField>(s.field) = stringDefault(s, userDefault);
        }
    }
}

void QuillorySettings::exchangeSettings(bool store, SettingsBackend &backend)
{
    const QStringView section = SettingsSection::Settings;
    if (store) {
        for (const Setting &s : SettingsTable) {
            if (const IntField *f = std::get_if<IntField>(&s.field))
                backend.writeInt(section, s.key, this->*(*f));
            else
                backend.writeString(section, s.key, this->*std::get<StringField>(s.field));
        }
        backend.flush();
    } else {
        const QString userDefault = defaultUserFolder();
        for (const Setting &s : SettingsTable) {
            if (const IntField *f = std::get_if<IntField>(&s.field)) {
                this->*(*f) = backend.readInt(section, s.key, std::get<qint32>(s.defaultValue));
            } else {
                this->*std::get<StringField>(s.field) =
                    backend.readString(section, s.key, stringDefault(s, userDefault));
            }
        }
    }
    deriveFolders();
}

void QuillorySettings::deriveFolders()
{
    m_userFolder = User_Path;
    m_workFolder = User_Path + QDir::separator() + u"Work"_s;
}
