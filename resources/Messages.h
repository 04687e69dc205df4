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

} // namespace Msg
