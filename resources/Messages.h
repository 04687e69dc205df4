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

} // namespace Msg
