// One keystroke in the editor pane on a body of 1,000,000 characters, from
// the key event until the repaint is done (text history, label check and
// status bar included), against the same keystroke in a plain QPlainTextEdit
// holding the same text. Runs on the offscreen platform; prints the ratio.

#include "CommandTable.h"
#include "editor/CQuilloryEdit.h"
#include "editor/StatusPanes.h"
#include "model/CQuilloryDoc.h"
#include "platform/Prompter.h"
#include "settings/SettingsBackend.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRandomGenerator>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

class SilentPrompter : public Prompter
{
public:
    void showMessage(const QString &) override {}
    Answer askOkCancel(const QString &) override { return Answer::Cancel; }
    Answer askYesNoCancel(const QString &) override { return Answer::Cancel; }
};

// The status bar as the main window builds it: sunken panes at least as
// wide as their templates, a text set only when it differs and painted with
// the window's next repaint.
class LabelPanes : public StatusPanes
{
public:
    explicit LabelPanes(QStatusBar *bar)
    {
        int i = 0;
        for (const CommandTable::StatusPane &pane : CommandTable::StatusBarPanes) {
            if (i == 5)
                break;
            const QString sizing = QString::fromUtf16(pane.sizingTemplate);
            QLabel *label = labels[i++] = new QLabel(sizing, bar);
            label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            label->setMargin(1);
            label->setMinimumWidth(label->fontMetrics().horizontalAdvance(sizing) + 2 * (label->frameWidth() + label->margin()) + 2);
            bar->addPermanentWidget(label);
        }
    }
    void setPaneText(int index, const QString &text) override
    {
        QLabel *label = labels[index - 1];
        if (label->text() != text)
            label->setText(text);
    }
    QLabel *labels[5] = {};
};

// Prose of paragraphs between 10 and 200 characters, CR LF after each,
// a label line first.
QString makeBody(qsizetype size)
{
    static const char16_t kana[] = u"あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわをん、。春夏秋冬朝昼夜窓";
    const qsizetype kanaCount = qsizetype(std::size(kana)) - 1;
    QRandomGenerator rng(7);
    QString body = u"第一章\r\n"_s;
    body.reserve(size + 256);
    while (body.size() < size) {
        const int length = 10 + int(rng.bounded(191));
        for (int i = 0; i < length && body.size() < size; ++i)
            body.append(QChar(kana[rng.bounded(int(kanaCount))]));
        body.append(u"\r\n");
    }
    body.resize(size);
    if (body.endsWith(QLatin1Char('\r')))
        body.chop(1);
    return body;
}

// One key as the keyboard delivers it, then the repaint it causes.
qint64 keystroke(QWidget *target, QWidget *viewport)
{
    QElapsedTimer t;
    t.start();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, u"あ"_s);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, u"あ"_s);
    QApplication::sendEvent(target, &release);
    viewport->repaint();
    QCoreApplication::processEvents();
    return t.nsecsElapsed();
}

struct Stats
{
    double median;
    double mean;
};

Stats stats(std::vector<qint64> v)
{
    std::sort(v.begin(), v.end());
    double sum = 0;
    for (qint64 x : v)
        sum += double(x);
    return {double(v[v.size() / 2]) / 1000.0, sum / double(v.size()) / 1000.0};
}

void placeCaret(QPlainTextEdit *edit, int position)
{
    QTextCursor c = edit->textCursor();
    c.setPosition(position);
    edit->setTextCursor(c);
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QTemporaryDir dir;
    MemorySettingsBackend backend;
    backend.setRaw(SettingsSection::Settings, u"User_Path", dir.path());
    backend.setRaw(SettingsSection::Settings, u"Display_Lable", 1);
    SilentPrompter prompter;
    CQuilloryDoc doc(backend, &prompter, [] { return QString(); });

    const QString body = makeBody(1'000'000);
    doc.store().appendItem(1, body);

    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *bar = new QStatusBar;
    LabelPanes panes(bar);
    auto *edit = new CQuilloryEdit(doc, &panes);
    layout->addWidget(edit);
    layout->addWidget(bar);
    doc.setEditorPane(edit);
    window.resize(800, 640);
    window.show();

    QElapsedTimer loadTimer;
    loadTimer.start();
    doc.refreshViews();
    const qint64 loadMs = loadTimer.elapsed();

    QPlainTextEdit plain;
    plain.setUndoRedoEnabled(false);
    plain.setLineWrapMode(QPlainTextEdit::WidgetWidth);
    plain.setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    plain.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    plain.document()->setDocumentMargin(0);
    plain.setFont(edit->font());
    // The pane keeps 10 pixels of margin on either side: the same text width.
    plain.resize(edit->width() - 20, edit->height());
    QString lf = body;
    lf.replace(u"\r\n"_s, u"\n"_s);
    plain.setPlainText(lf);
    plain.show();
    QCoreApplication::processEvents();

    std::printf("body: %lld characters, %d lines; text width %d (plain %d), height %d\n",
                qlonglong(edit->text().size()), edit->document()->blockCount(), edit->viewport()->width(),
                plain.viewport()->width(), edit->viewport()->height());
    std::printf("loading the body into the pane: %lld ms\n", qlonglong(loadMs));

    struct Place
    {
        const char *name;
        double fraction;
    };
    const Place places[] = {{"caret in the middle", 0.5}, {"caret at the end", 1.0}};
    constexpr int Samples = 400;
    bool withinTarget = true;

    for (const Place &place : places) {
        const int widgetPos = int(double(edit->document()->characterCount() - 1) * place.fraction);
        placeCaret(edit, widgetPos);
        placeCaret(&plain, widgetPos);
        edit->ensureCursorVisible();
        plain.ensureCursorVisible();
        QCoreApplication::processEvents();

        // The first key after a load or a resize counts the wrapped rows
        // above the caret once.
        const qint64 first = keystroke(edit, edit->viewport());
        keystroke(&plain, plain.viewport());
        for (int i = 0; i < 20; ++i) {
            keystroke(edit, edit->viewport());
            keystroke(&plain, plain.viewport());
        }

        std::vector<qint64> pane;
        std::vector<qint64> base;
        for (int i = 0; i < Samples; ++i) {
            pane.push_back(keystroke(edit, edit->viewport()));
            base.push_back(keystroke(&plain, plain.viewport()));
        }
        const Stats p = stats(pane);
        const Stats b = stats(base);
        const double ratio = p.median / b.median;
        withinTarget = withinTarget && ratio <= 2.0;
        std::printf("%s: first key %.1f ms; per key median %.0f us (mean %.0f) vs plain %.0f us (mean %.0f): ratio %.2f (mean %.2f)\n",
                    place.name, double(first) / 1e6, p.median, p.mean, b.median, b.mean, ratio,
                    p.mean / b.mean);
    }

    // Every key was recorded, and the text stayed in step with the widget.
    QString shown = edit->toPlainText();
    shown.replace(u"\n"_s, u"\r\n"_s);
    std::printf("history records: %lld; text in step: %s\n",
                qlonglong(doc.undoRedo().undoList().size()), shown == edit->text() ? "yes" : "NO");
    std::printf("target (at most 2x): %s\n", withinTarget ? "met" : "NOT met");
    return 0;
}
