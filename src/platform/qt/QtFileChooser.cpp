#include "platform/qt/QtFileChooser.h"

#include "Messages.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>

using namespace Qt::StringLiterals;

namespace {

// Extensions of the kinds, in file-type order.
const QStringList &kindExtensions()
{
    static const QStringList extensions{u"qlo"_s, u"txt"_s, u"csv"_s};
    return extensions;
}

QStringList fromUtf16(std::initializer_list<const char16_t *> texts)
{
    QStringList list;
    for (const char16_t *text : texts)
        list.append(QString::fromUtf16(text));
    return list;
}

// The drop-down goes into a row of its own under the file-type row, lined
// up with the name and type fields.
QComboBox *addDropDown(QFileDialog &dialog, const QStringList &items, int selected)
{
    auto *combo = new QComboBox(&dialog);
    combo->setObjectName(u"encoding"_s);
    combo->addItems(items);
    combo->setCurrentIndex(selected >= 0 && selected < items.size() ? selected : 0);
    if (auto *grid = qobject_cast<QGridLayout *>(dialog.layout())) {
        grid->addWidget(combo, grid->rowCount(), 1);
    } else if (QLayout *layout = dialog.layout()) {
        layout->addWidget(combo);
    }
    return combo;
}

// Qt filters by pattern and shows each kind with its whitespace simplified
// (the ideographic spaces of our texts would go) or, for texts without a
// pattern, not at all. So the dialog gets one pattern per kind, the kind is
// chosen, and then the list shows our texts exactly. The kind is read back
// by its position in the list.
QComboBox *setKinds(QFileDialog &dialog, const QStringList &texts, int filterIndex)
{
    QStringList filters;
    for (qsizetype i = 0; i < texts.size(); ++i)
        filters.append(u"(*."_s + kindExtensions().at(i) + QLatin1Char(')'));
    dialog.setNameFilters(filters);
    if (filterIndex >= 1 && filterIndex <= filters.size())
        dialog.selectNameFilter(filters.at(filterIndex - 1));
    auto *combo = dialog.findChild<QComboBox *>(u"fileTypeCombo"_s);
    if (combo && combo->count() == texts.size()) {
        for (int i = 0; i < combo->count(); ++i)
            combo->setItemText(i, texts.at(i));
    }
    return combo;
}

} // namespace

QtFileChooser::QtFileChooser(QWidget *parent)
    : m_parent(parent)
{
}

QWidget *QtFileChooser::parentWidget() const
{
    if (m_parent)
        return m_parent;
    return QApplication::activeWindow();
}

QtFileChooser::Dialog QtFileChooser::buildOpenDialog(const OpenDocumentRequest &request, QWidget *parent)
{
    Dialog result;
    result.dialog = std::make_unique<QFileDialog>(parent, QString::fromUtf16(Msg::OpenDialogTitle));
    QFileDialog &dialog = *result.dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    result.kinds = setKinds(dialog,
                            fromUtf16({Msg::OpenFilterNative, Msg::OpenFilterHierText, Msg::OpenFilterHierCsv}),
                            request.filterIndex);
    dialog.setDefaultSuffix(request.defaultExtension);
    dialog.setDirectory(request.folder);
    result.encoding = addDropDown(
        dialog,
        fromUtf16({Msg::OpenEncodingAuto, Msg::OpenEncodingShiftJis, Msg::EncodingUtf8, Msg::EncodingUtf16Le}),
        request.encodingIndex);
    return result;
}

QtFileChooser::Dialog QtFileChooser::buildSaveAsDialog(const SaveDocumentRequest &request, QWidget *parent)
{
    Dialog result;
    result.dialog = std::make_unique<QFileDialog>(parent, QString::fromUtf16(Msg::SaveAsDialogTitle));
    QFileDialog &dialog = *result.dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    result.kinds = setKinds(dialog,
                            fromUtf16({Msg::SaveFilterNative, Msg::SaveFilterHierText, Msg::SaveFilterHierCsv}),
                            request.filterIndex);
    dialog.setDefaultSuffix(request.defaultExtension);
    // A name typed without an extension takes the one of the kind chosen.
    if (result.kinds) {
        QFileDialog *const dialogPtr = &dialog;
        QObject::connect(result.kinds, &QComboBox::activated, &dialog, [dialogPtr](int index) {
            if (index >= 0 && index < kindExtensions().size())
                dialogPtr->setDefaultSuffix(kindExtensions().at(index));
        });
    }
    dialog.setDirectory(request.folder);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.folder + QDir::separator() + request.fileName);
    result.encoding = addDropDown(
        dialog,
        fromUtf16({Msg::SaveEncodingNative, Msg::SaveEncodingShiftJis, Msg::EncodingUtf8, Msg::EncodingUtf16Le}),
        request.encodingIndex);
    return result;
}

FileChoice QtFileChooser::choiceOf(const Dialog &dialog, bool accepted)
{
    FileChoice choice;
    const QStringList files = dialog.dialog->selectedFiles();
    if (!accepted || files.isEmpty())
        return choice;
    choice.accepted = true;
    choice.path = QDir::toNativeSeparators(files.first());
    const int kind = dialog.kinds ? dialog.kinds->currentIndex()
                                  : int(dialog.dialog->nameFilters().indexOf(dialog.dialog->selectedNameFilter()));
    choice.filterIndex = kind >= 0 ? kind + 1 : 1;
    choice.encodingIndex = dialog.encoding ? dialog.encoding->currentIndex() : 0;
    return choice;
}

FileChoice QtFileChooser::chooseOpenDocument(const OpenDocumentRequest &request)
{
    const Dialog dialog = buildOpenDialog(request, parentWidget());
    return choiceOf(dialog, dialog.dialog->exec() == QDialog::Accepted);
}

FileChoice QtFileChooser::chooseSaveDocumentAs(const SaveDocumentRequest &request)
{
    const Dialog dialog = buildSaveAsDialog(request, parentWidget());
    return choiceOf(dialog, dialog.dialog->exec() == QDialog::Accepted);
}
