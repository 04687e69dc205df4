#pragma once
// Texts of the command-line tool.

namespace ToolText {

inline constexpr char16_t Usage[] = u"使い方が正しくありません: %1\nquillory-tool --help で使い方を表示します。";
inline constexpr char16_t NotRead[] = u"%1 を読み込めませんでした。";
inline constexpr char16_t NotWritten[] = u"%1 に書き込めませんでした。";
inline constexpr char16_t UnknownCommand[] = u"不明なコマンドです: %1";
inline constexpr char16_t UnknownOption[] = u"不明なオプションです: %1";
inline constexpr char16_t MissingValue[] = u"%1 には値が必要です";
inline constexpr char16_t BadValue[] = u"%1 の値が正しくありません: %2";
inline constexpr char16_t WrongArgCount[] = u"ファイルの数が正しくありません";

inline constexpr char16_t Help[] =
    u"quillory-tool: Quillory のアウトラインファイルを変換・確認するコマンド\n"
    u"\n"
    u"使い方:\n"
    u"  quillory-tool convert [--from auto|sjis|utf8|utf16le] [--to sjis|utf8|utf16le] IN OUT\n"
    u"      IN をエディタの「開く」と同じように読み、OUT を「名前を付けて保存」と同じように書きます。\n"
    u"      ファイルの種類は拡張子で決まります: .qlo (ネイティブ)、.txt (階層付テキスト)、.csv (階層付CSV)。\n"
    u"      --from  テキスト形式の IN の文字コード (既定: auto = 自動判別)\n"
    u"      --to    テキスト形式の OUT の文字コード (既定: utf8; .qlo では無視)\n"
    u"      .qlo の OUT には、.qlo の IN が持っていたマジック文字列と形式番号を書きます\n"
    u"      (それ以外は既定値)。現在の項目は 0 です。バックアップは作りません。\n"
    u"      項目のない IN からは、項目のない OUT を書きます。\n"
    u"\n"
    u"  quillory-tool list [--from ENC] FILE\n"
    u"      項目ごとに「階層<TAB>ラベル」を一行ずつ、アウトラインの順に UTF-8 (LF 改行) で出力します。\n"
    u"\n"
    u"  quillory-tool detect FILE\n"
    u"      ファイル全体の文字コードの判別結果をコードページ番号で出力します:\n"
    u"      932 (Shift-JIS)、65001 (UTF-8)、1200 (UTF-16LE)、1201 (UTF-16BE)、\n"
    u"      12000 (UTF-32LE)、50220 (ISO-2022-JP)、51932 (EUC-JP)、0 (判別できない)。\n"
    u"\n"
    u"  quillory-tool info [--from ENC] [--row N] [--col N] FILE\n"
    u"      次の4行を出力します:\n"
    u"        items N       項目の数\n"
    u"        characters N  ラベル行を除く本文の文字数 (改行は数えません)\n"
    u"        sheets N      全項目の本文をつなげた原稿用紙 (20字×20行) の枚数\n"
    u"        pages N       同じく --row 字 × --col 行 のページ数 (既定 30×40)\n"
    u"\n"
    u"メッセージはすべて標準エラーに出力します。\n"
    u"終了コード: 0 成功、1 読み込みまたは書き込みに失敗 (何も書きません)、2 使い方の誤り。\n";

} // namespace ToolText
