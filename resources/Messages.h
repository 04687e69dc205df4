#pragma once
// Every message text the program shows, once each. Code refers to these names.
// "%1" stands for a full file path.

namespace Msg {

inline constexpr char16_t AppName[] = u"Quillory";

// Outline
inline constexpr char16_t TooDeep[] = u"階層が深すぎます！";

// Native file: read and write failures, chosen from the file layer's error
inline constexpr char16_t UnexpectedFormat[] = u"予期しないファイル形式です。";
inline constexpr char16_t FileNotFound[] = u"%1 が見つかりませんでした。";
inline constexpr char16_t BadPath[] = u"%1 に正しくないパスが含まれています。";
inline constexpr char16_t AccessDenied[] = u"%1 へのアクセスは拒否されました。";
inline constexpr char16_t SharingViolation[] = u"%1 へのアクセス中に共有違反が発生しました。";
inline constexpr char16_t DiskFull[] = u"%1 へのアクセス中にディスクがいっぱいになりました。";
inline constexpr char16_t OpenFailed[] = u"ドキュメントを開くことに失敗しました。";
inline constexpr char16_t SaveFailed[] = u"ドキュメントの保存に失敗しました。";

// Encoded text
inline constexpr char16_t DetectFailed[] = u"自動選択に失敗しました、手動で試して下さい。";
inline constexpr char16_t TextSaveError[] = u"ファイルの保存でエラーが生じました";

// Hierarchical text
inline constexpr char16_t NotHierText[] = u"階層付テキストファイルではありません。読み込みを中止します！";

// Document
inline constexpr char16_t ExtensionError[] = u"ファイル拡張子でエラーが発生しました！";

// Document object
inline constexpr char16_t DefaultTitle[] = u"タイトル";
inline constexpr char16_t DiscardChangesQuestion[] = u"文書が更新されていますが、保存せずに続行してよろしいですか？";
inline constexpr char16_t SaveChangesQuestion[] = u"文書ファイルが更新されています、保存しますか？";
// Follows the label line of a new document's first item while TitleText is
// on. Kept exactly as first published, the spelling "Quillry" included.
inline constexpr char16_t FirstRunNotice[] =
    u"\r\n"
    u"// 初めて Quillory をご利用される方へ //\r\n"
    u"　『ファイル』―『開く』から『ようこそ.qlo』を読み込んでください。\r\n"
    u"　なお『ツール』ー『環境設定』ー『動作』から設定を変えれば、次回起動からこの表示をさせないように出来ます。\r\n"
    u"\r\n"
    u"// すでに Quillry をご利用の皆様へ //\r\n"
    u"　【 大切 】な連絡があります。\r\n"
    u"　『ファイル』―『開く』から『ユーザーフォルダについて.qlo』をご覧いただきますようお願いいたします";

// Tree history listings (diagnostic). %1 item number, %2 kind, %3 uSelect,
// %4 rSelect, %5 anchor, %6 n, %7 level, %8 label. The two differ in their
// spacing around the slashes; both are kept as they have always been.
inline constexpr char16_t ListUndoStepLine[] = u"【 %1 】 / 種別 = %2 / Uセレクト = %3 / Rセレクト = %4/ アンカー = %5 / N = %6 / 階層 = %7 / %8\r\n";
inline constexpr char16_t ListRedoStepLine[] = u"【 %1 】 / 種別 = %2 / Uセレクト = %3  / Rセレクト = %4 / アンカー = %5 / N = %6 / 階層 = %7 / %8\r\n";


// --- Application: open, save, backups, dialogs, message boxes, about box ---
// "%1" in SaveCompleted is the document's file name.
inline constexpr char16_t SaveCompleted[] = u"『 %1 』の上書き保存、完了しました。 ";
inline constexpr char16_t EncodingNotGiven[] = u"エンコードの指定がされていませんでした。やり直しをして下さい";

// File dialogs of Open and Save As: the kinds in file-type order (1 native,
// 2 hierarchical text, 3 hierarchical CSV) and the encoding drop-down in
// encoding-index order. The Save As kinds carry no pattern in their text:
// the dialog adds it and hides it again.
inline constexpr char16_t OpenFilterNative[] = u"Quiloryドキュメンント　(*.qlo)";
inline constexpr char16_t OpenFilterHierText[] = u"階層付テキストファイル　(*.txt)";
inline constexpr char16_t OpenFilterHierCsv[] = u"階層付CSVファイル　(*.csv)";
inline constexpr char16_t SaveFilterNative[] = u"Quilloryファイル";
inline constexpr char16_t SaveFilterHierText[] = u"階層付テキストファイル";
inline constexpr char16_t SaveFilterHierCsv[] = u"階層付CSVファイル";
inline constexpr char16_t OpenEncodingAuto[] = u"エンコード：自動選択";
inline constexpr char16_t OpenEncodingShiftJis[] = u"エンコード：Shift-jis";
inline constexpr char16_t SaveEncodingNative[] = u"qloファイル";
inline constexpr char16_t SaveEncodingShiftJis[] = u"エンコード：Shift-JIS";
inline constexpr char16_t EncodingUtf8[] = u"エンコード：UTF-8";
inline constexpr char16_t EncodingUtf16Le[] = u"エンコード：UTF-16(LE)";
inline constexpr char16_t OpenDialogTitle[] = u"開く";
inline constexpr char16_t SaveAsDialogTitle[] = u"名前を付けて保存";

// Message box buttons, as the desktop names them in Japanese.
inline constexpr char16_t ButtonOk[] = u"OK";
inline constexpr char16_t ButtonCancel[] = u"キャンセル";
inline constexpr char16_t ButtonYes[] = u"はい(&Y)";
inline constexpr char16_t ButtonNo[] = u"いいえ(&N)";

// The documents a first start installs in the Data folder (the first-run
// notice names them), and the shortcut list in the Text folder.
inline constexpr char16_t WelcomeDocumentName[] = u"ようこそ.qlo";
inline constexpr char16_t UserFolderDocumentName[] = u"ユーザーフォルダについて.qlo";
inline constexpr char16_t ShortcutListFileName[] = u"keylist.txt";
// The shortcut list: a group heading per menu (%1 the menu's name), one
// line per key (%1 the key, %2 the command), and the group of keys that no
// menu shows.
inline constexpr char16_t ShortcutListGroup[] = u"【%1】";
inline constexpr char16_t ShortcutListLine[] = u"%1 ： %2";
inline constexpr char16_t ShortcutListOthers[] = u"そのほか";

// About box.
inline constexpr char16_t AboutTitle[] = u"バージョン情報 Quillory";
inline constexpr char16_t AboutVersion[] = u"Quillory, Version 1.20.02";
inline constexpr char16_t AboutRights[] = u"Copyright (C) Morvi. All rights reserved.";
inline constexpr char16_t AboutOk[] = u"OK";
// Title bar: the document's file name, then this.
inline constexpr char16_t TitleSuffix[] = u" - Quillory";

} // namespace Msg

// ---- Main frame ------------------------------------------------------------
namespace Msg {
// Status bar pane 0 while no command prompt is shown.
inline constexpr char16_t Ready[] = u"準備完了";
// A recent-file entry: %1 its position from 1, %2 the path.
inline constexpr char16_t RecentFileEntry[] = u"&%1 %2";
// Toolbar customisation dialog.
inline constexpr char16_t CustomizeTitle[] = u"ツール バーのカスタマイズ";
inline constexpr char16_t CustomizeToolbar[] = u"ツール バー(&T):";
inline constexpr char16_t CustomizeCommands[] = u"コマンド(&C):";
inline constexpr char16_t CustomizeButtons[] = u"ボタン(&B):";
inline constexpr char16_t CustomizeAdd[] = u"追加(&A) →";
inline constexpr char16_t CustomizeRemove[] = u"← 削除(&R)";
inline constexpr char16_t CustomizeSeparator[] = u"区切り線(&S)";
inline constexpr char16_t CustomizeUp[] = u"上へ(&U)";
inline constexpr char16_t CustomizeDown[] = u"下へ(&D)";
inline constexpr char16_t CustomizeReset[] = u"元に戻す(&E)";
inline constexpr char16_t CustomizeSeparatorItem[] = u"―――― 区切り線 ――――";
} // namespace Msg

// ---- Editor pane -----------------------------------------------------------
namespace Msg {
// Status bar pane 1: the display mode (0 single page, 1 clear, 2 label).
inline constexpr char16_t ModeSinglePage[] = u"シングルモード";
inline constexpr char16_t ModeClear[] = u"クリアモード";
inline constexpr char16_t ModeLabel[] = u"ラベルモード";
// Panes 2 to 5. %1.. are whole numbers: characters; sheets; characters per
// line, lines per page, pages; row and column from 1.
inline constexpr char16_t PaneCharacters[] = u" 文字数 : %1 字";
inline constexpr char16_t PaneSheets[] = u" 原稿用紙換算 : %1 枚";
inline constexpr char16_t PanePages[] = u" 書式（ %1 字 : %2 行 ）: %3 頁";
inline constexpr char16_t PaneCursor[] = u"    %1 行 , %2 列";
// The editor's context menu (its copy entry is the main menu's).
inline constexpr char16_t EditMenuCut[] = u"切り取り(&T)\tCtrl+X";
inline constexpr char16_t EditMenuPaste[] = u"貼り付け(&P)\tCtrl+V";
inline constexpr char16_t EditMenuSelectAll[] = u"すべて選択(&L)\tCtrl+A";
// Find and replace dialogs (titles are the commands' tooltips; the
// direction buttons share the customisation dialog's 上へ/下へ texts).
inline constexpr char16_t FindWhat[] = u"検索する文字列(&N):";
inline constexpr char16_t ReplaceWith[] = u"置換後の文字列(&P):";
inline constexpr char16_t FindMatchCase[] = u"大文字と小文字を区別する(&C)";
inline constexpr char16_t FindDirection[] = u"方向";
inline constexpr char16_t FindNextButton[] = u"次を検索(&F)";
inline constexpr char16_t ReplaceButton[] = u"置換して次に(&R)";
inline constexpr char16_t ReplaceAllButton[] = u"すべて置換(&A)";
} // namespace Msg
