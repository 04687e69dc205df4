#include "RecordingPrompter.h"
#include "editor/CQuilloryEdit.h"
#include "model/CQuilloryDoc.h"
#include "settings/SettingsBackend.h"
#include "shell/CMainFrame.h"
#include "shell/ToolbarCustomizeDialog.h"
#include "tree/CQuilloryTree.h"
#include "tree/OutlineTreeModel.h"

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QtMath>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

// Every command as the user meets it, typed out here independently of the
// program's own table.
struct Expected
{
    int id;
    const char16_t *text;
    const char16_t *key;
    const char16_t *prompt;
    const char16_t *toolTip;
};

const Expected Commands[] = {
    {57600, u"新規作成(&N)\tCtrl+N", u"Ctrl+N", u"新しいドキュメントを作成", u"新規作成"},
    {57601, u"開く(&O)\tCtrl+O", u"Ctrl+O", u"既存のドキュメントを開く", u"開く"},
    {57603, u"上書き保存(&S)\tCtrl+S", u"Ctrl+S", u"作業中のドキュメントを上書きして保存", u"保存"},
    {57604, u"名前を付けて保存(&A)", u"", u"作業中のドキュメントを新しい名前で保存", u"名前をつけて保存"},
    {32993, u"テキスト新規作成・読込(&E)\tCtrl+E", u"Ctrl+E", u"シンプルページでテキストファイルの編集を行う", u"テキスト新規作成・読込"},
    {32994, u"テキスト保存(&W)\tCtrl+W", u"Ctrl+W", u"シンプルページのテキストを保存する", u"テキスト保存"},
    {32921, u"テキストインポート(&N)", u"", u"ノードにテキストファイルを読込む", u"テキストインポート"},
    {32862, u"テキストアウトポート(&U)", u"", u"ノードからテキストファイルを保存する", u"テキストアウトポート"},
    {32947, u"ノードインポート(&I)", u"", u"ノードに階層ファイルを詠み込む", u"ノードインポート"},
    {32948, u"ノードアウトポート(&O)", u"", u"ノードから階層ファイルを保存する", u"ノードアウトポート"},
    {57607, u"印刷(&P)\tCtrl*P", u"Ctrl+P", u"現在編集中のテキストを印刷", u"印刷"},
    {57616, u"最近使ったファイル", u"", u"指定のドキュメントを開く", u""},
    {57665, u"アプリケーションの終了(&X)", u"", u"アプリケーションを終了し、ドキュメントの保存を指示", u"終了"},
    {32790, u"上に追加(&U)", u"Alt+U", u"上にノードを作成", u"上に追加"},
    {32791, u"下に追加(&D)", u"Alt+D", u"下にノードを作成", u"下に追加"},
    {32792, u"下の階層に追加(&C)", u"Alt+C", u"下の階層にノード作成", u"子ノード追加"},
    {32799, u"上に移動(&F)", u"Alt+Up", u"ノードを上に移動", u"上に移動"},
    {32795, u"下に移動(&B)", u"Alt+Down", u"ノードを下に移動", u"下に移動"},
    {32796, u"階層を上げる(&L)", u"Alt+Left", u"ノードの階層を上げる", u"左に移動"},
    {32797, u"階層を下げる(&R)", u"Alt+Right", u"ノードの階層を下げる", u"右に移動"},
    {32826, u"ツリーを展開(&O)", u"Alt+O", u"ツリーを全て展開", u"展開"},
    {32827, u"ツリーをたたむ(&X)", u"Alt+X", u"ツリーをたたむ", u"たたむ"},
    {32880, u"元に戻す(&U)", u"Alt+Z", u"ツリーを元に戻す", u"ツリーアンドゥ"},
    {32879, u"やり直し(&R)", u"Alt+Y", u"ツリーアンドゥの取り消し", u"ツリーリドゥ"},
    {32793, u"削除(&X)", u"Alt+Del", u"選択されたノードを削除", u"削除"},
    {32868, u"元に戻す(&Z)\tCtrl+Z", u"Ctrl+Z", u"テキストを元に戻す", u"テキストアンドゥ"},
    {32869, u"やり直し(&Y)\tCtrl+Y", u"Ctrl+Y", u"テキストウンドゥの取り消し", u"テキストリドゥ"},
    {57635, u"切り取り(&X)\tCtrl+X", u"Ctrl+X", u"選択範囲を切り取ってクリップボードに保存", u"切り取り"},
    {57634, u"コピー(&C)\tCtrl+C", u"Ctrl+C", u"選択範囲をコピーしてクリップボードに保存", u"コピー"},
    {57637, u"貼り付け(&V)\tCtrl+V", u"Ctrl+V", u"クリップボードの内容を貼り付け", u"貼り付け"},
    {57642, u"すべて選択(&A)\tCtrl+A", u"Ctrl+A", u"ファイル内のすべてを選択", u"すべて選択"},
    {57636, u"検索(&F)\tCtrl+F", u"Ctrl+F", u"指定した文字列の検索", u"検索"},
    {57640, u"次を検索\tF3", u"F3", u"直前に行った動作を繰り返す", u"繰り返し"},
    {57641, u"置換(&R)\tCtrl+R", u"Ctrl+R", u"指定した文字列を他の文字列で置換", u"置換"},
    {32943, u"外部エディタ起動 (&E)\tCtrl+E", u"Alt+Shift+E", u"外部エディタで編集する", u"外部エディタ"},
    {32852, u"外部アプリケーション(&A)", u"Alt+Shift+A", u"外部アプリケーションで作業を行なう", u"外部アプリケーション起動"},
    {32842, u"別窓参照(&V)", u"Alt+Shift+V", u"テキストを別窓で表示", u"外部参照"},
    {32832, u"環境設定(&S)", u"Alt+Shift+S", u"各種設定を行う", u"アプリケーション設定"},
    {128, u"メイン(&M)", u"", u"", u""},
    {342, u"ツリー(&T)", u"", u"", u""},
    {344, u"エディタ(&E)", u"", u"", u""},
    {346, u"ツール(&L)", u"", u"", u""},
    {59393, u"ステータス バー(&S)", u"", u"ステータス バーの表示/非表示", u"ステータス バーの表示切り替え"},
    {205, u"Windows 2000(&2)", u"", u"", u""},
    {206, u"Office XP(&X)", u"", u"", u""},
    {207, u"Windows XP(&W)", u"", u"", u""},
    {208, u"Office 2003(&3)", u"", u"", u""},
    {209, u"Visual Studio 200&5", u"", u"", u""},
    {210, u"Visual Studio 200&8", u"", u"", u""},
    {215, u"ブルー スタイル(&B)", u"", u"", u""},
    {216, u"ブラック スタイル(&L)", u"", u"", u""},
    {217, u"シルバー スタイル(&S)", u"", u"", u""},
    {218, u"アクア スタイル(&A)", u"", u"", u""},
    {32958, u"ラベルモード(&L)", u"Alt+L", u"", u""},
    {32987, u"ビューチェンジ(&V)", u"Ctrl+Tab", u"", u""},
    {32984, u"ショートカットキー(&K)", u"Alt+K", u"", u""},
    {57664, u"バージョン情報 Quillory(&A)...", u"", u"プログラム情報、バージョン、著作権を表示します。", u"バージョン情報"},
    {57680, nullptr, u"F6", u"次のウィンドウに切り替える", u"次のペイン"},
    {57681, nullptr, u"Shift+F6", u"前のウィンドウに切り替える", u"前のペイン"},
};

const Expected *expected(int id)
{
    for (const Expected &e : Commands) {
        if (e.id == id)
            return &e;
    }
    return nullptr;
}

QString s(const char16_t *text)
{
    return text ? QString::fromUtf16(text) : QString();
}

// A menu as a readable list: ids, "-" for separators, "[title]" for submenus.
QStringList describe(const QMenu *menu)
{
    QStringList out;
    for (const QAction *a : menu->actions()) {
        if (a->isSeparator())
            out.append(u"-"_s);
        else if (a->menu())
            out.append(u"[%1]"_s.arg(a->text()));
        else if (a->isVisible())
            out.append(QString::number(a->data().toInt()));
    }
    return out;
}

QStringList describe(const QToolBar *toolbar)
{
    QStringList out;
    for (const QAction *a : toolbar->actions())
        out.append(a->isSeparator() ? u"-"_s : QString::number(a->data().toInt()));
    return out;
}

QMenu *topMenu(CMainFrame &frame, const QString &title)
{
    for (QAction *a : frame.menuBar()->actions()) {
        if (a->text() == title)
            return a->menu();
    }
    return nullptr;
}

QMenu *subMenu(QMenu *menu, const QString &title)
{
    for (QAction *a : menu->actions()) {
        if (a->menu() && a->text() == title)
            return a->menu();
    }
    return nullptr;
}

QImage image16(const QIcon &icon)
{
    return icon.pixmap(QSize(16, 16)).toImage().convertToFormat(QImage::Format_ARGB32);
}

// How the status bar of an 800-pixel window takes the panes' texts.
enum class Fit {
    Everything,   // all panes whole, the message pane too
    MessageGives, // the panes whole; the message pane may have less room
    Widens,       // the panes alone need more: the window grows
};

// Whether a pane's text, trailing blanks aside, fits inside its frame and
// margins, after the indent a framed label gives its text by default.
bool showsWholeText(const QLabel *pane)
{
    QString text = pane->text();
    while (!text.isEmpty() && text.back().isSpace())
        text.chop(1);
    int indent = pane->indent();
    if (indent < 0)
        indent = pane->frameWidth() > 0 ? pane->fontMetrics().horizontalAdvance(QLatin1Char('x')) / 2 : 0;
    const int room = pane->contentsRect().width() - 2 * pane->margin() - indent;
    return room >= qCeil(QFontMetricsF(pane->font()).horizontalAdvance(text));
}

// One document and one frame over an in-memory store. `prepare` plants
// stored values before either reads them.
struct Window
{
    QTemporaryDir home;
    MemorySettingsBackend settings;
    RecordingPrompter prompter;
    std::unique_ptr<CQuilloryDoc> doc;
    std::unique_ptr<CMainFrame> frame;

    explicit Window(const std::function<void(MemorySettingsBackend &)> &prepare = {})
    {
        if (prepare)
            prepare(settings);
        create();
    }
    void create()
    {
        const QString folder = home.path() + u"/書類"_s;
        doc = std::make_unique<CQuilloryDoc>(settings, &prompter, [folder] { return folder; });
        frame = std::make_unique<CMainFrame>(*doc, settings);
    }
    // A second run over the same store: a new document and frame.
    void restart()
    {
        frame.reset();
        doc.reset();
        create();
    }
    bool showActive()
    {
        frame->show();
        QApplication::setActiveWindow(frame.get());
        return QTest::qWaitForWindowActive(frame.get());
    }
    int storedInt(QStringView section, QStringView key) const
    {
        return settings.raw(section, key).toInt();
    }
};

} // namespace

Q_DECLARE_METATYPE(Fit)

class TestUiFrame : public QObject
{
    Q_OBJECT

private slots:
    void commandTexts_data();
    void commandTexts();
    void menuLayout_data();
    void menuLayout();
    void toolbarButtons_data();
    void toolbarButtons();
    void toolbarIconsAreDistinct();
    void toolbarTogglesFollowVisibility();
    void looks_data();
    void looks();
    void lookStoredAtStart_data();
    void lookStoredAtStart();
    void lookWithoutEntryKeepsOffice2007Tint();
    void treeColumnAtStart_data();
    void treeColumnAtStart();
    void narrowAndClosedTreeColumn();
    void enablingFollowsDisplayMode_data();
    void enablingFollowsDisplayMode();
    void laterCommandsDisabledUntilRegistered();
    void registeredCommandRunsThroughAction();
    void labelModeToggle();
    void keysSwitchPanes();
    void shortcutsReachCommands();
    void treeCommandRoutedToTreePane();
    void collapseKeepsTheEditedItem();
    void statusPanes();
    void statusPanesFitTheWindow_data();
    void statusPanesFitTheWindow();
    void recentFiles();
    void customizeToolbar();
    void storedToolbarChoiceIsChecked();
    void layoutRoundTrip();
    void closeForwardsToApplication();
};

void TestUiFrame::commandTexts_data()
{
    QTest::addColumn<int>("id");
    for (const Expected &e : Commands)
        QTest::addRow("%d", e.id) << e.id;
}

void TestUiFrame::commandTexts()
{
    QFETCH(int, id);
    Window w;
    const Expected *e = expected(id);
    QAction *a = w.frame->action(id);
    QVERIFY(a);
    QCOMPARE(a->data().toInt(), id);
    if (e->text)
        QCOMPARE(a->text(), s(e->text));
    QCOMPARE(a->shortcut(), QKeySequence::fromString(s(e->key), QKeySequence::PortableText));
    QCOMPARE(a->statusTip(), s(e->prompt));
    if (*e->toolTip)
        QCOMPARE(a->toolTip(), s(e->toolTip));
}

void TestUiFrame::menuLayout_data()
{
    QTest::addColumn<QStringList>("path");
    QTest::addColumn<QStringList>("entries");

    QTest::newRow("file") << QStringList{u"ファイル(&F)"_s}
                          << QStringList{u"57600"_s, u"57601"_s, u"57603"_s, u"57604"_s, u"-"_s, u"32993"_s, u"32994"_s, u"-"_s,
                                         u"32921"_s, u"32862"_s, u"32947"_s, u"32948"_s, u"-"_s, u"57607"_s, u"-"_s,
                                         u"57616"_s, u"-"_s, u"57665"_s};
    QTest::newRow("tree") << QStringList{u"ツリー(&T)"_s}
                          << QStringList{u"32790"_s, u"32791"_s, u"32792"_s, u"-"_s, u"32799"_s, u"32795"_s, u"32796"_s,
                                         u"32797"_s, u"-"_s, u"32826"_s, u"32827"_s, u"-"_s, u"32880"_s, u"32879"_s, u"-"_s,
                                         u"32793"_s};
    QTest::newRow("editor") << QStringList{u"エディタ(&E)"_s}
                            << QStringList{u"32868"_s, u"32869"_s, u"-"_s, u"57635"_s, u"57634"_s, u"57637"_s, u"57642"_s,
                                           u"-"_s, u"57636"_s, u"57640"_s, u"57641"_s};
    QTest::newRow("tools") << QStringList{u"ツール(&S)"_s}
                           << QStringList{u"32943"_s, u"32852"_s, u"32842"_s, u"-"_s, u"32832"_s};
    QTest::newRow("view") << QStringList{u"表示(&V)"_s}
                          << QStringList{u"[ツール バーとドッキング ウィンドウ(&T)]"_s, u"59393"_s,
                                         u"[アプリケーションの外観(&A)]"_s, u"32958"_s, u"32987"_s};
    QTest::newRow("view/toolbars") << QStringList{u"表示(&V)"_s, u"ツール バーとドッキング ウィンドウ(&T)"_s}
                                   << QStringList{u"128"_s, u"342"_s, u"344"_s, u"346"_s, u"-"_s, u"126"_s};
    QTest::newRow("view/looks") << QStringList{u"表示(&V)"_s, u"アプリケーションの外観(&A)"_s}
                                << QStringList{u"205"_s, u"206"_s, u"207"_s, u"208"_s, u"209"_s, u"210"_s,
                                               u"[Office 2007(&7)]"_s};
    QTest::newRow("view/looks/office") << QStringList{u"表示(&V)"_s, u"アプリケーションの外観(&A)"_s, u"Office 2007(&7)"_s}
                                       << QStringList{u"215"_s, u"216"_s, u"217"_s, u"218"_s};
    QTest::newRow("help") << QStringList{u"ヘルプ(&H)"_s} << QStringList{u"32984"_s, u"57664"_s};
}

void TestUiFrame::menuLayout()
{
    QFETCH(QStringList, path);
    QFETCH(QStringList, entries);
    Window w;

    QStringList titles;
    for (QAction *a : w.frame->menuBar()->actions())
        titles.append(a->text());
    QCOMPARE(titles, (QStringList{u"ファイル(&F)"_s, u"ツリー(&T)"_s, u"エディタ(&E)"_s, u"ツール(&S)"_s, u"表示(&V)"_s,
                                  u"ヘルプ(&H)"_s}));

    QMenu *menu = topMenu(*w.frame, path.first());
    for (qsizetype i = 1; menu && i < path.size(); ++i)
        menu = subMenu(menu, path.at(i));
    QVERIFY(menu);
    QCOMPARE(describe(menu), entries);
}

void TestUiFrame::toolbarButtons_data()
{
    QTest::addColumn<int>("toolbar");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QStringList>("buttons");

    QTest::newRow("main") << 128 << u"メイン"_s
                          << QStringList{u"57600"_s, u"57601"_s, u"57603"_s, u"57604"_s, u"-"_s, u"32993"_s, u"32994"_s,
                                         u"-"_s, u"32921"_s, u"32862"_s, u"32947"_s, u"32948"_s, u"-"_s, u"57607"_s, u"-"_s,
                                         u"57664"_s};
    QTest::newRow("tree") << 342 << u"ツリー"_s
                          << QStringList{u"32790"_s, u"32791"_s, u"32792"_s, u"-"_s, u"32799"_s, u"32795"_s, u"32796"_s,
                                         u"32797"_s, u"-"_s, u"32826"_s, u"32827"_s, u"-"_s, u"32880"_s, u"32879"_s, u"-"_s,
                                         u"32793"_s};
    QTest::newRow("editor") << 344 << u"エディット"_s
                            << QStringList{u"57635"_s, u"57634"_s, u"57637"_s, u"-"_s, u"57636"_s, u"57641"_s, u"-"_s,
                                           u"32868"_s, u"32869"_s};
    QTest::newRow("tools") << 346 << u"ツール"_s << QStringList{u"32842"_s, u"32943"_s, u"32852"_s, u"32832"_s};
}

void TestUiFrame::toolbarButtons()
{
    QFETCH(int, toolbar);
    QFETCH(QString, caption);
    QFETCH(QStringList, buttons);
    Window w;
    w.frame->show();

    QToolBar *bar = w.frame->toolBar(toolbar);
    QVERIFY(bar);
    QCOMPARE(bar->windowTitle(), caption);
    QCOMPARE(describe(bar), buttons);
    QVERIFY(bar->isMovable());
    QVERIFY(bar->isFloatable());
    QCOMPARE(bar->allowedAreas(), Qt::AllToolBarAreas);
    QCOMPARE(bar->iconSize(), QSize(16, 16));

    for (QAction *a : bar->actions()) {
        if (a->isSeparator())
            continue;
        const Expected *e = expected(a->data().toInt());
        QVERIFY(e);
        auto *button = qobject_cast<QToolButton *>(bar->widgetForAction(a));
        QVERIFY(button);
        QCOMPARE(button->toolTip(), s(e->toolTip));
        QVERIFY2(!a->icon().isNull(), qPrintable(QString::number(e->id)));
        QVERIFY(!image16(a->icon()).isNull());
    }
}

// Two buttons drawn alike would leave the user guessing.
void TestUiFrame::toolbarIconsAreDistinct()
{
    Window w;
    QList<QPair<int, QImage>> seen;
    for (int toolbar : {128, 342, 344, 346}) {
        for (QAction *a : w.frame->toolBar(toolbar)->actions()) {
            if (a->isSeparator())
                continue;
            const QImage img = image16(a->icon());
            QCOMPARE(img.size(), QSize(16, 16));
            // Something is drawn, and not only in one colour.
            QSet<QRgb> colours;
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 16; ++x)
                    if (qAlpha(img.pixel(x, y)) > 0)
                        colours.insert(img.pixel(x, y));
            QVERIFY2(colours.size() >= 2, qPrintable(QString::number(a->data().toInt())));
            for (const auto &[id, other] : std::as_const(seen))
                QVERIFY2(other != img, qPrintable(u"%1 looks like %2"_s.arg(a->data().toInt()).arg(id)));
            seen.append({a->data().toInt(), img});
        }
    }
    QCOMPARE(seen.size(), 35);
}

void TestUiFrame::toolbarTogglesFollowVisibility()
{
    Window w;
    w.frame->show();
    for (int id : {128, 342, 344, 346}) {
        QToolBar *bar = w.frame->toolBar(id);
        QAction *toggle = w.frame->action(id);
        QVERIFY(toggle->isCheckable());
        QVERIFY(toggle->isChecked());

        toggle->trigger();
        QVERIFY(bar->isHidden());
        QVERIFY(!toggle->isChecked());
        toggle->trigger();
        QVERIFY(bar->isVisible());
        QVERIFY(toggle->isChecked());

        // Hidden some other way (the toolbar area's own menu, a floating
        // toolbar's close box): the mark still follows.
        bar->hide();
        QVERIFY(!toggle->isChecked());
        bar->show();
        QVERIFY(toggle->isChecked());
    }

    // The toolbar area's context menu offers the same toggles and the
    // customisation.
    std::unique_ptr<QMenu> popup(w.frame->createPopupMenu());
    QCOMPARE(describe(popup.get()), (QStringList{u"128"_s, u"342"_s, u"344"_s, u"346"_s, u"-"_s, u"126"_s}));
    popup->actions().at(1)->trigger();
    QVERIFY(w.frame->toolBar(342)->isHidden());
    QVERIFY(!w.frame->action(342)->isChecked());

    // The status bar toggles the same way.
    w.frame->action(59393)->trigger();
    QVERIFY(w.frame->statusBar()->isHidden());
    QVERIFY(!w.frame->action(59393)->isChecked());
}

void TestUiFrame::looks_data()
{
    QTest::addColumn<int>("look");
    QTest::addColumn<QString>("style");
    QTest::addColumn<bool>("dark");

    QTest::newRow("205") << 205 << u"windows"_s << false;
    QTest::newRow("206") << 206 << u"fusion"_s << false;
    QTest::newRow("207") << 207 << u"windows"_s << false;
    QTest::newRow("208") << 208 << u"fusion"_s << false;
    QTest::newRow("209") << 209 << u"fusion"_s << false;
    QTest::newRow("210") << 210 << u"fusion"_s << false;
    QTest::newRow("215 blue") << 215 << u"fusion"_s << false;
    QTest::newRow("216 black") << 216 << u"fusion"_s << true;
    QTest::newRow("217 silver") << 217 << u"fusion"_s << false;
    QTest::newRow("218 aqua") << 218 << u"fusion"_s << false;
}

void TestUiFrame::looks()
{
    QFETCH(int, look);
    QFETCH(QString, style);
    QFETCH(bool, dark);
    Window w;
    // Start from another look so that each row changes something.
    w.frame->applyLook(look == 216 ? 210 : 216);
    w.settings.clearLog();

    w.frame->action(look)->trigger();

    QCOMPARE(QApplication::style()->name(), style);
    const QPalette palette = w.frame->palette();
    QCOMPARE(palette.color(QPalette::Window).lightness() < 100, dark);
    QCOMPARE(palette.color(QPalette::WindowText).lightness() > 150, dark);
    // Text stays readable on its background in every look.
    QVERIFY(qAbs(palette.color(QPalette::Text).lightness() - palette.color(QPalette::Base).lightness()) > 120);

    for (int id : {205, 206, 207, 208, 209, 210, 215, 216, 217, 218})
        QCOMPARE(w.frame->action(id)->isChecked(), id == look);
    QCOMPARE(w.frame->applicationLook(), look);
    QCOMPARE(w.storedInt(SettingsSection::Workspace, u"ApplicationLook"), look);
    QCOMPARE(w.settings.writes().size(), 1);
}

void TestUiFrame::lookStoredAtStart_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<int>("look");

    QTest::newRow("first start") << QVariant() << 210;
    QTest::newRow("silver") << QVariant(u"217"_s) << 217;
    QTest::newRow("black") << QVariant(216) << 216;
}

// The look is put on at start and written back at once.
void TestUiFrame::lookStoredAtStart()
{
    QFETCH(QVariant, stored);
    QFETCH(int, look);
    Window w([&](MemorySettingsBackend &b) {
        if (stored.isValid())
            b.setRaw(SettingsSection::Workspace, u"ApplicationLook", stored);
    });
    QVERIFY(w.frame->action(look)->isChecked());
    QCOMPARE(w.settings.raw(SettingsSection::Workspace, u"ApplicationLook").toInt(), look);
    QCOMPARE(w.frame->palette().color(QPalette::Window).lightness() < 100, look == 216);
}

// 211 to 214 have no look of their own: the Office 2007 group keeps the tint
// it had, and no menu item carries the mark.
void TestUiFrame::lookWithoutEntryKeepsOffice2007Tint()
{
    Window w;
    w.frame->applyLook(216);
    const QColor black = w.frame->palette().color(QPalette::Window);
    w.frame->applyLook(210);
    QVERIFY(w.frame->palette().color(QPalette::Window) != black);

    w.frame->applyLook(213);
    QCOMPARE(w.frame->palette().color(QPalette::Window), black);
    QCOMPARE(w.storedInt(SettingsSection::Workspace, u"ApplicationLook"), 213);
    for (int id : {205, 206, 207, 208, 209, 210, 215, 216, 217, 218})
        QVERIFY(!w.frame->action(id)->isChecked());
}

void TestUiFrame::treeColumnAtStart_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<int>("column");

    QTest::newRow("first start") << QVariant() << 100;
    QTest::newRow("too narrow") << QVariant(50) << 80;
    QTest::newRow("as text") << QVariant(u"150"_s) << 150;
}

void TestUiFrame::treeColumnAtStart()
{
    QFETCH(QVariant, stored);
    QFETCH(int, column);
    Window w([&](MemorySettingsBackend &b) {
        if (stored.isValid())
            b.setRaw(SettingsSection::Settings, u"Pain_Width", stored);
    });
    w.frame->resize(900, 600);
    w.frame->show();
    QCOMPARE(w.frame->treeColumnWidth(), column);

    // Resizing the window leaves the tree column alone.
    w.frame->resize(1100, 600);
    QApplication::processEvents();
    QCOMPARE(w.frame->treeColumnWidth(), column);

    w.frame->saveLayout();
    QCOMPARE(w.storedInt(SettingsSection::Settings, u"Pain_Width"), column);

    w.restart();
    w.frame->show();
    QCOMPARE(w.frame->treeColumnWidth(), column);
}

void TestUiFrame::narrowAndClosedTreeColumn()
{
    Window w([](MemorySettingsBackend &b) { b.setRaw(SettingsSection::Settings, u"Pain_Width", 150); });
    w.frame->resize(900, 600);
    w.frame->show();
    auto *splitter = qobject_cast<QSplitter *>(w.frame->centralWidget());
    QVERIFY(splitter);
    QCOMPARE(splitter->widget(0), w.frame->treePane());
    QCOMPARE(splitter->widget(1), w.frame->editorPane());

    // Closed (single-page editing): the remembered width stays.
    w.frame->collapseTreeColumn();
    QCOMPARE(w.frame->treeColumnWidth(), 0);
    w.frame->saveLayout();
    QCOMPARE(w.storedInt(SettingsSection::Settings, u"Pain_Width"), 150);
    w.frame->restoreTreeColumn();
    QCOMPARE(w.frame->treeColumnWidth(), 150);

    // Dragged narrow: the column stays narrow, but 80 is remembered.
    splitter->setSizes({50, 800});
    QCOMPARE(w.frame->treeColumnWidth(), 50);
    w.frame->saveLayout();
    QCOMPARE(w.frame->treeColumnWidth(), 50);
    QCOMPARE(w.frame->painWidth(), 80);
    QCOMPARE(w.storedInt(SettingsSection::Settings, u"Pain_Width"), 80);
    w.frame->restoreTreeColumn();
    QCOMPARE(w.frame->treeColumnWidth(), 80);

    // Wider than before: remembered as it is.
    splitter->setSizes({230, 600});
    w.frame->saveLayout();
    QCOMPARE(w.storedInt(SettingsSection::Settings, u"Pain_Width"), 230);
}

void TestUiFrame::enablingFollowsDisplayMode_data()
{
    QTest::addColumn<int>("mode");
    QTest::newRow("single page") << 0;
    QTest::newRow("clear") << 1;
    QTest::newRow("label") << 2;
}

void TestUiFrame::enablingFollowsDisplayMode()
{
    QFETCH(int, mode);
    Window w;
    int runs = 0;
    for (int id : {57603, 57604, 32994})
        w.frame->registerCommand(id, [&runs] { ++runs; });

    w.doc->setDisplayMode(mode);
    w.frame->refreshCommandStates();

    const bool outline = mode != 0;
    QCOMPARE(w.frame->action(57603)->isEnabled(), outline);
    QCOMPARE(w.frame->action(57604)->isEnabled(), outline);
    QCOMPARE(w.frame->action(32987)->isEnabled(), outline);
    QCOMPARE(w.frame->action(32994)->isEnabled(), !outline);
    QVERIFY(w.frame->action(32958)->isEnabled());
    QVERIFY(w.frame->action(57600)->isEnabled() == false); // nobody registered New

    // A disabled command does not run even when asked directly.
    w.frame->runCommand(57603);
    w.frame->runCommand(32994);
    QCOMPARE(runs, 1);

    // The menus catch up when they open, whatever changed meanwhile.
    w.doc->setDisplayMode(outline ? 0 : 2);
    emit topMenu(*w.frame, u"ファイル(&F)"_s)->aboutToShow();
    QCOMPARE(w.frame->action(57603)->isEnabled(), !outline);
    QCOMPARE(w.frame->action(32994)->isEnabled(), outline);
}

void TestUiFrame::laterCommandsDisabledUntilRegistered()
{
    Window w;
    w.doc->setDisplayMode(0); // where text save would be allowed
    w.frame->refreshCommandStates();
    for (int id : {32993, 32994, 32921, 32862, 32947, 32948, 32943, 32852, 32842, 32832, 32984, 57600, 57601, 57665, 57664})
        QVERIFY2(!w.frame->action(id)->isEnabled(), qPrintable(QString::number(id)));
}

void TestUiFrame::registeredCommandRunsThroughAction()
{
    Window w;
    int runs = 0;
    bool allowed = true;
    w.frame->registerCommand(32842, [&runs] { ++runs; }, [&allowed] { return allowed; });
    QVERIFY(w.frame->action(32842)->isEnabled());

    w.frame->action(32842)->trigger();
    QCOMPARE(runs, 1);

    allowed = false;
    w.frame->refreshCommandStates();
    QVERIFY(!w.frame->action(32842)->isEnabled());
    w.frame->runCommand(32842);
    QCOMPARE(runs, 1);

    // The toolbar button is the same command.
    allowed = true;
    w.frame->refreshCommandStates();
    w.frame->show();
    auto *button = qobject_cast<QToolButton *>(w.frame->toolBar(346)->widgetForAction(w.frame->action(32842)));
    QVERIFY(button && button->isEnabled());
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(runs, 2);
}

void TestUiFrame::labelModeToggle()
{
    Window w;
    w.doc->fileNew();
    QCOMPARE(w.doc->settings().Display_Lable, 1);
    QAction *labelMode = w.frame->action(32958);
    QVERIFY(labelMode->isChecked());

    labelMode->trigger();
    QCOMPARE(w.doc->settings().Display_Lable, 0);
    QCOMPARE(w.doc->displayMode(), 1);
    QVERIFY(!labelMode->isChecked());
    QVERIFY(!w.frame->editorPane()->text().startsWith(u"タイトル"_s));
    QCOMPARE(w.frame->paneText(1), u"クリアモード"_s);

    labelMode->trigger();
    QCOMPARE(w.doc->settings().Display_Lable, 1);
    QCOMPARE(w.doc->displayMode(), 2);
    QVERIFY(labelMode->isChecked());
    QVERIFY(w.frame->editorPane()->text().startsWith(u"タイトル"_s));
    QCOMPARE(w.frame->paneText(1), u"ラベルモード"_s);

    // Single-page text: the toggle changes nothing.
    w.doc->setDisplayMode(0);
    labelMode->trigger();
    QCOMPARE(w.doc->settings().Display_Lable, 1);
    QCOMPARE(w.doc->displayMode(), 0);
    QVERIFY(labelMode->isChecked());
}

void TestUiFrame::keysSwitchPanes()
{
    Window w;
    w.doc->fileNew();
    QVERIFY(w.showActive());
    CQuilloryTree *tree = w.frame->treePane();
    CQuilloryEdit *editor = w.frame->editorPane();

    tree->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(tree));
    QVERIFY(!w.doc->editorActive());

    const struct
    {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
    } presses[] = {{Qt::Key_Tab, Qt::ControlModifier}, {Qt::Key_Tab, Qt::ControlModifier},
                   {Qt::Key_F6, Qt::NoModifier},        {Qt::Key_F6, Qt::ShiftModifier}};
    bool editorNext = true;
    for (const auto &press : presses) {
        QTest::keyClick(QApplication::focusWidget(), press.key, press.modifiers);
        QCOMPARE(w.doc->editorActive(), editorNext);
        QCOMPARE(QApplication::focusWidget(), editorNext ? static_cast<QWidget *>(editor) : static_cast<QWidget *>(tree));
        editorNext = !editorNext;
    }

    // Single-page text: no view change, and F6 does not wander into the
    // closed tree column.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(editor));
    w.doc->setDisplayMode(0);
    w.frame->collapseTreeColumn();
    w.frame->refreshCommandStates();
    QTest::keyClick(editor, Qt::Key_Tab, Qt::ControlModifier);
    QTest::keyClick(editor, Qt::Key_F6);
    QVERIFY(w.doc->editorActive());
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(editor));
}

void TestUiFrame::shortcutsReachCommands()
{
    Window w;
    w.doc->fileNew();
    QVERIFY(w.showActive());
    QList<int> ran;
    for (int id : {32993, 32943, 32842, 32984})
        w.frame->registerCommand(id, [&ran, id] { ran.append(id); });
    w.frame->treePane()->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(w.frame->treePane()));

    QWidget *target = w.frame->treePane();
    QTest::keyClick(target, Qt::Key_E, Qt::ControlModifier);                    // not the external editor
    QTest::keyClick(target, Qt::Key_E, Qt::AltModifier | Qt::ShiftModifier);    // the external editor
    QTest::keyClick(target, Qt::Key_V, Qt::AltModifier | Qt::ShiftModifier);
    QTest::keyClick(target, Qt::Key_K, Qt::AltModifier);
    QCOMPARE(ran, (QList<int>{32993, 32943, 32842, 32984}));

    // Alt+L flips the label mode.
    QTest::keyClick(target, Qt::Key_L, Qt::AltModifier);
    QCOMPARE(w.doc->settings().Display_Lable, 0);
    QVERIFY(!w.frame->action(32958)->isChecked());
}

void TestUiFrame::treeCommandRoutedToTreePane()
{
    Window w;
    w.doc->fileNew();
    w.frame->show();
    w.doc->setEditorActive(false);
    w.frame->refreshCommandStates();
    const auto before = w.doc->store().items().size();

    QVERIFY(w.frame->action(32791)->isEnabled());
    w.frame->action(32791)->trigger();
    QCOMPARE(w.doc->store().items().size(), before + 1);
    // The tree history now has a step to undo; the frame shows it.
    QVERIFY(w.frame->action(32880)->isEnabled());

    // With the editor active the tree's commands are not available.
    w.doc->setEditorActive(true);
    w.frame->refreshCommandStates();
    QVERIFY(!w.frame->action(32791)->isEnabled());
    w.frame->runCommand(32791);
    QCOMPARE(w.doc->store().items().size(), before + 1);
}

// Collapsing the tree hides the item being edited inside its branch; it
// stays the current item, with its text in the editor, and the branches
// stay closed.
void TestUiFrame::collapseKeepsTheEditedItem()
{
    Window w;
    w.doc->fileNew();
    CTreeList &store = w.doc->store();
    const qint32 chapter = store.items().front().number;
    store.appendItem(2, u"場面\r\n夕方。"_s);
    store.appendItem(3, u"断片\r\n「また明日」と言った。"_s);
    store.appendItem(1, u"第二章\r\n夏の夜。"_s);
    const qint32 fragment = std::next(store.items().begin(), 2)->number;
    const qint32 scene = std::next(store.items().begin(), 1)->number;
    w.doc->refreshViews();
    w.frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.frame.get()));
    CQuilloryTree *tree = w.frame->treePane();
    const OutlineTreeModel &model = *tree->outlineModel();
    tree->selectItem(fragment);
    w.doc->setEditorActive(false);
    w.frame->refreshCommandStates();
    QCOMPARE(w.doc->currentNumber(), fragment);
    const QString text = w.frame->editorPane()->text();
    QVERIFY(text.contains(u"また明日"_s));

    w.frame->runCommand(32827);
    QCoreApplication::processEvents();
    QVERIFY(!tree->isExpanded(model.indexOfNumber(chapter)));
    QVERIFY(!tree->isExpanded(model.indexOfNumber(scene)));
    QCOMPARE(tree->selectedNumber(), fragment);
    QVERIFY(tree->selectionModel()->isSelected(model.indexOfNumber(fragment)));
    QCOMPARE(w.doc->currentNumber(), fragment);
    QCOMPARE(w.frame->editorPane()->text(), text);
    QVERIFY(!w.doc->isModified());

    w.frame->runCommand(32826);
    QVERIFY(tree->isExpanded(model.indexOfNumber(chapter)));
    QVERIFY(tree->isExpanded(model.indexOfNumber(scene)));
    QCOMPARE(tree->selectedNumber(), fragment);
}

void TestUiFrame::statusPanes()
{
    Window w;
    w.frame->show();
    QCOMPARE(w.frame->paneText(0), u"準備完了"_s);

    const QStringList templates{u"　ラベルモード　"_s, u"    文字数　　　　  　"_s, u"　原稿用紙換算枚数　　　"_s,
                                u"　所定書式ページ数　  　　　　　　"_s, u"　カーソル座標　  　"_s, u"CAP"_s, u"NUM"_s,
                                u"SCRL"_s};
    for (int i = 1; i <= 8; ++i) {
        auto *pane = w.frame->statusBar()->findChild<QLabel *>(u"pane%1"_s.arg(i));
        QVERIFY(pane);
        QCOMPARE(pane->text(), templates.at(i - 1));
        QVERIFY(showsWholeText(pane));
        QCOMPARE(pane->isEnabled(), i <= 5);
    }

    w.frame->setPaneText(1, u"クリアモード"_s);
    w.frame->setPaneText(2, u" 文字数 : 1234 字"_s);
    w.frame->setPaneText(5, u"    3 行 , 7 列"_s);
    w.frame->setPaneText(9, u"x"_s);
    w.frame->setPaneText(-1, u"x"_s);
    QCOMPARE(w.frame->paneText(1), u"クリアモード"_s);
    QCOMPARE(w.frame->paneText(2), u" 文字数 : 1234 字"_s);
    QCOMPARE(w.frame->paneText(5), u"    3 行 , 7 列"_s);
    QCOMPARE(w.frame->paneText(3), templates.at(2));

    // The editor writes through the interface it was given.
    StatusPanes *panes = w.frame.get();
    panes->setPaneText(4, u" 書式（ 30 字 : 40 行 ）: 2 頁"_s);
    QCOMPARE(w.frame->paneText(4), u" 書式（ 30 字 : 40 行 ）: 2 頁"_s);

    // A highlighted command shows its prompt in pane 0.
    QVERIFY(w.frame->action(57601)->showStatusText(w.frame.get()));
    QCOMPARE(w.frame->statusBar()->currentMessage(), u"既存のドキュメントを開く"_s);
}

void TestUiFrame::statusPanesFitTheWindow_data()
{
    // Texts of panes 1 to 5 as the editor writes them; none keeps what the
    // editor wrote for the new document.
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<Fit>("fit");

    QTest::newRow("new document") << QStringList() << Fit::Everything;
    QTest::newRow("ordinary item") << QStringList{u"ラベルモード"_s, u" 文字数 : 5000 字"_s, u" 原稿用紙換算 : 13 枚"_s,
                                                  u" 書式（ 30 字 : 40 行 ）: 5 頁"_s, u"    130 行 , 20 列"_s}
                                   << Fit::Everything;
    QTest::newRow("long item") << QStringList{u"クリアモード"_s, u" 文字数 : 98765 字"_s, u" 原稿用紙換算 : 312 枚"_s,
                                              u" 書式（ 30 字 : 40 行 ）: 104 頁"_s, u"    4321 行 , 18 列"_s}
                               << Fit::MessageGives;
    QTest::newRow("single page") << QStringList{u"シングルモード"_s, u" 文字数 : 5000 字"_s, u" 原稿用紙換算 : 13 枚"_s,
                                                u" 書式（ 30 字 : 40 行 ）: 5 頁"_s, u"    130 行 , 20 列"_s}
                                 << Fit::MessageGives;
    QTest::newRow("huge figures") << QStringList{u"ラベルモード"_s, u" 文字数 : 123456789 字"_s,
                                                 u" 原稿用紙換算 : 308642 枚"_s,
                                                 u" 書式（ 1000 字 : 1000 行 ）: 123457 頁"_s, u"    6172840 行 , 1000 列"_s}
                                  << Fit::Widens;
}

// No two panes overlap and every pane shows its whole text: only the
// message pane may give way, and where even the panes alone do not fit,
// the window widens rather than cut them.
void TestUiFrame::statusPanesFitTheWindow()
{
    QFETCH(QStringList, texts);
    QFETCH(Fit, fit);

    Window w;
    w.frame->resize(800, 600);
    w.frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.frame.get()));
    for (int i = 0; i < texts.size(); ++i)
        w.frame->setPaneText(i + 1, texts.at(i));
    QTest::qWait(20);
    if (!texts.isEmpty())
        QCOMPARE(w.frame->paneText(2), texts.at(1));

    QStatusBar *bar = w.frame->statusBar();
    QList<QLabel *> panes;
    for (int i = 0; i <= 8; ++i) {
        auto *pane = bar->findChild<QLabel *>(u"pane%1"_s.arg(i));
        QVERIFY(pane);
        panes.append(pane);
    }
    if (fit == Fit::Widens)
        QVERIFY(w.frame->width() > 800);
    else
        QCOMPARE(w.frame->width(), 800);

    for (int i = 0; i <= 8; ++i) {
        const QRect g = panes.at(i)->geometry();
        if (i > 0 || fit == Fit::Everything) {
            QVERIFY2(showsWholeText(panes.at(i)), qPrintable(u"pane %1: %2"_s.arg(i).arg(panes.at(i)->text())));
            QVERIFY2(g.left() >= 0 && g.right() < bar->width(), qPrintable(u"pane %1"_s.arg(i)));
        }
        for (int j = i + 1; j <= 8; ++j) {
            const QRect other = panes.at(j)->geometry();
            if (g.isEmpty() || other.isEmpty())
                continue;
            QVERIFY2(!g.intersects(other), qPrintable(u"panes %1 and %2"_s.arg(i).arg(j)));
        }
    }
}

void TestUiFrame::recentFiles()
{
    Window w;
    QSignalSpy spy(w.frame.get(), &CMainFrame::recentFileTriggered);
    QMenu *file = topMenu(*w.frame, u"ファイル(&F)"_s);

    QVERIFY(!w.frame->action(57616)->isEnabled());
    QCOMPARE(w.frame->action(57616)->text(), u"最近使ったファイル"_s);

    const QStringList paths{u"/tmp/一.qlo"_s, u"/tmp/二.txt"_s, u"/tmp/三.csv"_s, u"/tmp/四.qlo"_s, u"/tmp/五.qlo"_s};
    w.frame->setRecentFiles(paths);
    emit file->aboutToShow();
    QStringList shown;
    for (int id = 57616; id <= 57619; ++id) {
        QAction *a = w.frame->action(id);
        QVERIFY(a->isVisible() && a->isEnabled());
        QCOMPARE(a->statusTip(), u"指定のドキュメントを開く"_s);
        shown.append(a->text());
    }
    QCOMPARE(shown, (QStringList{u"&1 /tmp/一.qlo"_s, u"&2 /tmp/二.txt"_s, u"&3 /tmp/三.csv"_s, u"&4 /tmp/四.qlo"_s}));
    QCOMPARE(describe(file).mid(15, 6),
             (QStringList{u"57616"_s, u"57617"_s, u"57618"_s, u"57619"_s, u"-"_s, u"57665"_s}));

    w.frame->action(57617)->trigger();
    QCOMPARE(spy.size(), 1);
    QCOMPARE(spy.at(0).at(0).toString(), u"/tmp/二.txt"_s);

    // An ampersand in a path is shown as itself and handed back unchanged.
    w.frame->setRecentFiles({u"/tmp/R&D.qlo"_s});
    emit file->aboutToShow();
    QVERIFY(!w.frame->action(57617)->isVisible());
    QCOMPARE(w.frame->action(57616)->text(), u"&1 /tmp/R&&D.qlo"_s);
    w.frame->action(57616)->trigger();
    QCOMPARE(spy.size(), 2);
    QCOMPARE(spy.at(1).at(0).toString(), u"/tmp/R&D.qlo"_s);
    w.frame->setRecentFiles({});
    emit file->aboutToShow();
    QCOMPARE(w.frame->action(57616)->text(), u"最近使ったファイル"_s);
    QVERIFY(!w.frame->action(57616)->isEnabled());
    w.frame->action(57616)->trigger();
    QCOMPARE(spy.size(), 2);
}

void TestUiFrame::customizeToolbar()
{
    Window w;
    w.frame->show();

    // Reached from the View menu (and the toolbar area's menu, same action).
    w.frame->action(126)->trigger();
    auto *dialog = w.frame->findChild<ToolbarCustomizeDialog *>();
    QVERIFY(dialog);
    QVERIFY(dialog->isVisible());
    QVERIFY(!dialog->isModal());
    w.frame->action(126)->trigger();
    QCOMPARE(w.frame->findChildren<ToolbarCustomizeDialog *>().size(), 1);

    // Editor toolbar: drop cut, move find to the front, add select-all after
    // it through the dialog's own list and button, and a separator.
    dialog->selectToolbar(344);
    dialog->removeButton(0);
    dialog->moveButton(3, -3);
    auto *commands = dialog->findChild<QListWidget *>(u"commandList"_s);
    auto *buttons = dialog->findChild<QListWidget *>(u"buttonList"_s);
    QVERIFY(commands && buttons);
    buttons->setCurrentRow(0);
    for (int row = 0; row < commands->count(); ++row) {
        if (commands->item(row)->data(Qt::UserRole).toInt() == 57642)
            commands->setCurrentRow(row);
    }
    QPushButton *add = nullptr;
    for (QPushButton *b : dialog->findChildren<QPushButton *>()) {
        if (b->text() == u"追加(&A) →"_s)
            add = b;
    }
    QVERIFY(add);
    add->click();
    dialog->addSeparator();
    // Adding a command already there does not duplicate it.
    dialog->addCommand(57636);
    const QList<int> edited{57636, 57642, 0, 57634, 57637, 0, 57641, 0, 32868, 32869};
    QCOMPARE(dialog->buttons(344), edited);
    // Nothing changes before OK.
    QCOMPARE(w.frame->toolbarButtons(344).first(), 57635);

    dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
    QCOMPARE(w.frame->toolbarButtons(344), edited);
    QCOMPARE(describe(w.frame->toolBar(344)),
             (QStringList{u"57636"_s, u"57642"_s, u"-"_s, u"57634"_s, u"57637"_s, u"-"_s, u"57641"_s, u"-"_s,
                          u"32868"_s, u"32869"_s}));
    QCOMPARE(w.settings.raw(SettingsSection::Workspace, u"Toolbar344").toString(),
             u"57636,57642,0,57634,57637,0,57641,0,32868,32869"_s);

    // Cancel keeps the toolbar; an emptied toolbar stays empty next time.
    dialog = w.frame->openCustomizeDialog();
    dialog->selectToolbar(346);
    while (!dialog->buttons(346).isEmpty())
        dialog->removeButton(0);
    dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Cancel)->click();
    QCOMPARE(w.frame->toolbarButtons(346).size(), 4);
    QTRY_VERIFY(!w.frame->findChild<ToolbarCustomizeDialog *>());
    dialog = w.frame->openCustomizeDialog();
    dialog->selectToolbar(346);
    while (!dialog->buttons(346).isEmpty())
        dialog->removeButton(0);
    dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
    QVERIFY(w.frame->toolBar(346)->actions().isEmpty());

    w.restart();
    QCOMPARE(w.frame->toolbarButtons(344), edited);
    QVERIFY(w.frame->toolBar(346)->actions().isEmpty());
    // Reset brings the shipped buttons back.
    dialog = w.frame->openCustomizeDialog();
    dialog->selectToolbar(344);
    dialog->resetToolbar();
    dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
    QCOMPARE(w.frame->toolbarButtons(344), (QList<int>{57635, 57634, 57637, 0, 57636, 57641, 0, 32868, 32869}));
}

// A hand-edited or damaged choice keeps what it can.
void TestUiFrame::storedToolbarChoiceIsChecked()
{
    Window w([](MemorySettingsBackend &b) {
        b.setRaw(SettingsSection::Workspace, u"Toolbar128", u"57600, abc,99999,0,57616,-3,57664"_s);
    });
    QCOMPARE(w.frame->toolbarButtons(128), (QList<int>{57600, 0, 57664}));
    QCOMPARE(describe(w.frame->toolBar(128)), (QStringList{u"57600"_s, u"-"_s, u"57664"_s}));
}

void TestUiFrame::layoutRoundTrip()
{
    Window w;
    w.frame->show();
    w.frame->resize(950, 640);
    w.frame->action(342)->trigger();
    w.frame->addToolBar(Qt::LeftToolBarArea, w.frame->toolBar(346));
    w.frame->saveLayout();

    w.restart();
    w.frame->restoreLayout();
    w.frame->show();
    QVERIFY(w.frame->toolBar(342)->isHidden());
    QVERIFY(!w.frame->action(342)->isChecked());
    QVERIFY(w.frame->action(128)->isChecked());
    QCOMPARE(w.frame->toolBarArea(w.frame->toolBar(346)), Qt::LeftToolBarArea);
    QCOMPARE(w.frame->size(), QSize(950, 640));
}

void TestUiFrame::closeForwardsToApplication()
{
    Window w;
    w.frame->show();
    bool keepOpen = true;
    int asked = 0;
    connect(w.frame.get(), &CMainFrame::closeRequested, this, [&](QCloseEvent *event) {
        ++asked;
        if (keepOpen)
            event->ignore();
    });

    QVERIFY(!w.frame->close());
    QVERIFY(w.frame->isVisible());
    QCOMPARE(asked, 1);
    QVERIFY(!w.settings.contains(SettingsSection::Settings, u"Pain_Width"));

    keepOpen = false;
    QVERIFY(w.frame->close());
    QCOMPARE(asked, 2);
    QCOMPARE(w.storedInt(SettingsSection::Settings, u"Pain_Width"), 100);
}

QTEST_MAIN(TestUiFrame)
#include "tst_ui_frame.moc"
