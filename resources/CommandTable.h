#pragma once
// The program's command vocabulary: every command's menu text, key, status
// prompt, tooltip and toolbar icon, once each, and the layouts of the menus,
// toolbars and status bar as lists of command ids. The main frame builds its
// menus, toolbars and shortcuts from nothing else.
//
// A menu text keeps its label after the tab exactly as it has always been
// shown, even where it differs from the bound key ("Ctrl*P", and "Ctrl+E" on
// the external editor, whose key is Alt+Shift+E). The key column is the
// binding, in QKeySequence's portable form.

#include "CommandIds.h"

#include <span>

namespace CommandTable {

struct Command
{
    int id;
    const char16_t *menuText; // "" for commands without a menu entry
    const char16_t *key;      // "" for none
    const char16_t *prompt;   // shown in the status bar while highlighted
    const char16_t *toolTip;
    const char16_t *icon;     // toolbar image name, "" for none
};

inline constexpr Command Commands[] = {
    // File
    {Cmd::FileNew, u"新規作成(&N)\tCtrl+N", u"Ctrl+N", u"新しいドキュメントを作成", u"新規作成", u"file-new"},
    {Cmd::FileOpen, u"開く(&O)\tCtrl+O", u"Ctrl+O", u"既存のドキュメントを開く", u"開く", u"file-open"},
    {Cmd::FileSave, u"上書き保存(&S)\tCtrl+S", u"Ctrl+S", u"作業中のドキュメントを上書きして保存", u"保存", u"file-save"},
    {Cmd::FileSaveAs, u"名前を付けて保存(&A)", u"", u"作業中のドキュメントを新しい名前で保存", u"名前をつけて保存", u"file-save-as"},
    {Cmd::TextNewOrLoad, u"テキスト新規作成・読込(&E)\tCtrl+E", u"Ctrl+E", u"シンプルページでテキストファイルの編集を行う", u"テキスト新規作成・読込", u"text-page"},
    {Cmd::TextSave, u"テキスト保存(&W)\tCtrl+W", u"Ctrl+W", u"シンプルページのテキストを保存する", u"テキスト保存", u"text-save"},
    {Cmd::TextImport, u"テキストインポート(&N)", u"", u"ノードにテキストファイルを読込む", u"テキストインポート", u"text-import"},
    {Cmd::TextExport, u"テキストアウトポート(&U)", u"", u"ノードからテキストファイルを保存する", u"テキストアウトポート", u"text-export"},
    {Cmd::NodeImport, u"ノードインポート(&I)", u"", u"ノードに階層ファイルを詠み込む", u"ノードインポート", u"node-import"},
    {Cmd::NodeExport, u"ノードアウトポート(&O)", u"", u"ノードから階層ファイルを保存する", u"ノードアウトポート", u"node-export"},
    {Cmd::FilePrint, u"印刷(&P)\tCtrl*P", u"Ctrl+P", u"現在編集中のテキストを印刷", u"印刷", u"print"},
    {Cmd::RecentFile1, u"最近使ったファイル", u"", u"指定のドキュメントを開く", u"", u""},
    {Cmd::AppExit, u"アプリケーションの終了(&X)", u"", u"アプリケーションを終了し、ドキュメントの保存を指示", u"終了", u""},

    // Tree
    {Cmd::TreeAddAbove, u"上に追加(&U)", u"Alt+U", u"上にノードを作成", u"上に追加", u"tree-add-above"},
    {Cmd::TreeAddBelow, u"下に追加(&D)", u"Alt+D", u"下にノードを作成", u"下に追加", u"tree-add-below"},
    {Cmd::TreeAddChild, u"下の階層に追加(&C)", u"Alt+C", u"下の階層にノード作成", u"子ノード追加", u"tree-add-child"},
    {Cmd::TreeMoveUp, u"上に移動(&F)", u"Alt+Up", u"ノードを上に移動", u"上に移動", u"tree-move-up"},
    {Cmd::TreeMoveDown, u"下に移動(&B)", u"Alt+Down", u"ノードを下に移動", u"下に移動", u"tree-move-down"},
    {Cmd::TreeRaiseLevel, u"階層を上げる(&L)", u"Alt+Left", u"ノードの階層を上げる", u"左に移動", u"tree-raise"},
    {Cmd::TreeLowerLevel, u"階層を下げる(&R)", u"Alt+Right", u"ノードの階層を下げる", u"右に移動", u"tree-lower"},
    {Cmd::TreeExpand, u"ツリーを展開(&O)", u"Alt+O", u"ツリーを全て展開", u"展開", u"tree-expand"},
    {Cmd::TreeCollapse, u"ツリーをたたむ(&X)", u"Alt+X", u"ツリーをたたむ", u"たたむ", u"tree-collapse"},
    {Cmd::TreeUndo, u"元に戻す(&U)", u"Alt+Z", u"ツリーを元に戻す", u"ツリーアンドゥ", u"tree-undo"},
    {Cmd::TreeRedo, u"やり直し(&R)", u"Alt+Y", u"ツリーアンドゥの取り消し", u"ツリーリドゥ", u"tree-redo"},
    {Cmd::TreeDelete, u"削除(&X)", u"Alt+Del", u"選択されたノードを削除", u"削除", u"tree-delete"},

    // Editor
    {Cmd::EditUndo, u"元に戻す(&Z)\tCtrl+Z", u"Ctrl+Z", u"テキストを元に戻す", u"テキストアンドゥ", u"text-undo"},
    {Cmd::EditRedo, u"やり直し(&Y)\tCtrl+Y", u"Ctrl+Y", u"テキストウンドゥの取り消し", u"テキストリドゥ", u"text-redo"},
    {Cmd::EditCut, u"切り取り(&X)\tCtrl+X", u"Ctrl+X", u"選択範囲を切り取ってクリップボードに保存", u"切り取り", u"edit-cut"},
    {Cmd::EditCopy, u"コピー(&C)\tCtrl+C", u"Ctrl+C", u"選択範囲をコピーしてクリップボードに保存", u"コピー", u"edit-copy"},
    {Cmd::EditPaste, u"貼り付け(&V)\tCtrl+V", u"Ctrl+V", u"クリップボードの内容を貼り付け", u"貼り付け", u"edit-paste"},
    {Cmd::EditSelectAll, u"すべて選択(&A)\tCtrl+A", u"Ctrl+A", u"ファイル内のすべてを選択", u"すべて選択", u""},
    {Cmd::EditFind, u"検索(&F)\tCtrl+F", u"Ctrl+F", u"指定した文字列の検索", u"検索", u"edit-find"},
    {Cmd::EditRepeat, u"次を検索\tF3", u"F3", u"直前に行った動作を繰り返す", u"繰り返し", u""},
    {Cmd::EditReplace, u"置換(&R)\tCtrl+R", u"Ctrl+R", u"指定した文字列を他の文字列で置換", u"置換", u"edit-replace"},

    // Tools
    {Cmd::ExternalEditor, u"外部エディタ起動 (&E)\tCtrl+E", u"Alt+Shift+E", u"外部エディタで編集する", u"外部エディタ", u"external-editor"},
    {Cmd::ExternalApp, u"外部アプリケーション(&A)", u"Alt+Shift+A", u"外部アプリケーションで作業を行なう", u"外部アプリケーション起動", u"external-app"},
    {Cmd::TextViewer, u"別窓参照(&V)", u"Alt+Shift+V", u"テキストを別窓で表示", u"外部参照", u"text-viewer"},
    {Cmd::Options, u"環境設定(&S)", u"Alt+Shift+S", u"各種設定を行う", u"アプリケーション設定", u"options"},

    // View
    {Cmd::ToolbarMain, u"メイン(&M)", u"", u"", u"", u""},
    {Cmd::ToolbarTree, u"ツリー(&T)", u"", u"", u"", u""},
    {Cmd::ToolbarEditor, u"エディタ(&E)", u"", u"", u"", u""},
    {Cmd::ToolbarTools, u"ツール(&L)", u"", u"", u"", u""},
    {Cmd::Customize, u"カスタマイズ...", u"", u"", u"", u""},
    {Cmd::StatusBarToggle, u"ステータス バー(&S)", u"", u"ステータス バーの表示/非表示", u"ステータス バーの表示切り替え", u""},
    {205, u"Windows 2000(&2)", u"", u"", u"", u""},
    {206, u"Office XP(&X)", u"", u"", u"", u""},
    {207, u"Windows XP(&W)", u"", u"", u"", u""},
    {208, u"Office 2003(&3)", u"", u"", u"", u""},
    {209, u"Visual Studio 200&5", u"", u"", u"", u""},
    {210, u"Visual Studio 200&8", u"", u"", u"", u""},
    {215, u"ブルー スタイル(&B)", u"", u"", u"", u""},
    {216, u"ブラック スタイル(&L)", u"", u"", u"", u""},
    {217, u"シルバー スタイル(&S)", u"", u"", u"", u""},
    {218, u"アクア スタイル(&A)", u"", u"", u"", u""},
    {Cmd::LabelMode, u"ラベルモード(&L)", u"Alt+L", u"", u"", u""},
    {Cmd::ViewChange, u"ビューチェンジ(&V)", u"Ctrl+Tab", u"", u"", u""},
    {Cmd::NextPane, u"", u"F6", u"次のウィンドウに切り替える", u"次のペイン", u""},
    {Cmd::PrevPane, u"", u"Shift+F6", u"前のウィンドウに切り替える", u"前のペイン", u""},

    // Help
    {Cmd::ShortcutList, u"ショートカットキー(&K)", u"Alt+K", u"", u"", u""},
    {Cmd::About, u"バージョン情報 Quillory(&A)...", u"", u"プログラム情報、バージョン、著作権を表示します。", u"バージョン情報", u"about"},
};

// Layout lists. 0 is a separator; the negative markers open a submenu.
inline constexpr int Separator = 0;
inline constexpr int SubmenuToolbars = -1;
inline constexpr int SubmenuLooks = -2;
inline constexpr int SubmenuOffice2007 = -3;

inline constexpr int FileMenu[] = {
    Cmd::FileNew, Cmd::FileOpen, Cmd::FileSave, Cmd::FileSaveAs, Separator,
    Cmd::TextNewOrLoad, Cmd::TextSave, Separator,
    Cmd::TextImport, Cmd::TextExport, Cmd::NodeImport, Cmd::NodeExport, Separator,
    Cmd::FilePrint, Separator,
    Cmd::RecentFile1, Separator,
    Cmd::AppExit,
};
inline constexpr int TreeMenu[] = {
    Cmd::TreeAddAbove, Cmd::TreeAddBelow, Cmd::TreeAddChild, Separator,
    Cmd::TreeMoveUp, Cmd::TreeMoveDown, Cmd::TreeRaiseLevel, Cmd::TreeLowerLevel, Separator,
    Cmd::TreeExpand, Cmd::TreeCollapse, Separator,
    Cmd::TreeUndo, Cmd::TreeRedo, Separator,
    Cmd::TreeDelete,
};
inline constexpr int EditorMenu[] = {
    Cmd::EditUndo, Cmd::EditRedo, Separator,
    Cmd::EditCut, Cmd::EditCopy, Cmd::EditPaste, Cmd::EditSelectAll, Separator,
    Cmd::EditFind, Cmd::EditRepeat, Cmd::EditReplace,
};
inline constexpr int ToolsMenu[] = {
    Cmd::ExternalEditor, Cmd::ExternalApp, Cmd::TextViewer, Separator,
    Cmd::Options,
};
inline constexpr int ViewMenu[] = {
    SubmenuToolbars, Cmd::StatusBarToggle, SubmenuLooks, Cmd::LabelMode, Cmd::ViewChange,
};
inline constexpr int HelpMenu[] = {Cmd::ShortcutList, Cmd::About};

inline constexpr int ToolbarsSubmenu[] = {
    Cmd::ToolbarMain, Cmd::ToolbarTree, Cmd::ToolbarEditor, Cmd::ToolbarTools, Separator,
    Cmd::Customize,
};
inline constexpr int LooksSubmenu[] = {205, 206, 207, 208, 209, 210, SubmenuOffice2007};
inline constexpr int Office2007Submenu[] = {215, 216, 217, 218};

struct Menu
{
    int id; // a top-level menu's id is 0; submenus use their marker
    const char16_t *title;
    std::span<const int> entries;
};

inline constexpr Menu MenuBar[] = {
    {0, u"ファイル(&F)", FileMenu},
    {0, u"ツリー(&T)", TreeMenu},
    {0, u"エディタ(&E)", EditorMenu},
    {0, u"ツール(&S)", ToolsMenu},
    {0, u"表示(&V)", ViewMenu},
    {0, u"ヘルプ(&H)", HelpMenu},
};
inline constexpr Menu Submenus[] = {
    {SubmenuToolbars, u"ツール バーとドッキング ウィンドウ(&T)", ToolbarsSubmenu},
    {SubmenuLooks, u"アプリケーションの外観(&A)", LooksSubmenu},
    {SubmenuOffice2007, u"Office 2007(&7)", Office2007Submenu},
};

// Toolbars in docking order; the id is also the View menu command that
// shows and hides it.
inline constexpr int MainToolbar[] = {
    Cmd::FileNew, Cmd::FileOpen, Cmd::FileSave, Cmd::FileSaveAs, Separator,
    Cmd::TextNewOrLoad, Cmd::TextSave, Separator,
    Cmd::TextImport, Cmd::TextExport, Cmd::NodeImport, Cmd::NodeExport, Separator,
    Cmd::FilePrint, Separator,
    Cmd::About,
};
inline constexpr int TreeToolbar[] = {
    Cmd::TreeAddAbove, Cmd::TreeAddBelow, Cmd::TreeAddChild, Separator,
    Cmd::TreeMoveUp, Cmd::TreeMoveDown, Cmd::TreeRaiseLevel, Cmd::TreeLowerLevel, Separator,
    Cmd::TreeExpand, Cmd::TreeCollapse, Separator,
    Cmd::TreeUndo, Cmd::TreeRedo, Separator,
    Cmd::TreeDelete,
};
inline constexpr int EditorToolbar[] = {
    Cmd::EditCut, Cmd::EditCopy, Cmd::EditPaste, Separator,
    Cmd::EditFind, Cmd::EditReplace, Separator,
    Cmd::EditUndo, Cmd::EditRedo,
};
inline constexpr int ToolsToolbar[] = {
    Cmd::TextViewer, Cmd::ExternalEditor, Cmd::ExternalApp, Cmd::Options,
};

struct Toolbar
{
    int id;
    const char16_t *caption;
    std::span<const int> buttons;
};

inline constexpr Toolbar Toolbars[] = {
    {Cmd::ToolbarMain, u"メイン", MainToolbar},
    {Cmd::ToolbarTree, u"ツリー", TreeToolbar},
    {Cmd::ToolbarEditor, u"エディット", EditorToolbar},
    {Cmd::ToolbarTools, u"ツール", ToolsToolbar},
};

// Status bar panes after the stretching message pane 0: the indicator id and
// the template whose width sizes the pane ("　" is U+3000).
struct StatusPane
{
    int indicator;
    const char16_t *sizingTemplate;
};

inline constexpr StatusPane StatusBarPanes[] = {
    {101, u"　ラベルモード　"},
    {102, u"    文字数　　　　  　"},
    {103, u"　原稿用紙換算枚数　　　"},
    {104, u"　所定書式ページ数　  　　　　　　"},
    {105, u"　カーソル座標　  　"},
    {59137, u"CAP"},
    {59138, u"NUM"},
    {59139, u"SCRL"},
};

// The highest id of the recent-file list (four entries from RecentFile1).
inline constexpr int RecentFileLast = Cmd::RecentFile1 + 3;

// Looks in the range LookFirst..LookLast that have a menu entry; 219 has
// none but may be stored.
inline constexpr int Office2007Blue = 215;
inline constexpr int Office2007Black = 216;
inline constexpr int Office2007Silver = 217;
inline constexpr int Office2007Aqua = 218;
inline constexpr int Windows7Look = 219;

} // namespace CommandTable
