#pragma once
#include <QString>

// Texts the user must see, written out here rather than taken from the
// message table, so that a slip in the table shows up.
inline const QString SaveQuestion = QStringLiteral("文書ファイルが更新されています、保存しますか？");
inline const QString NoEncodingMessage =
    QStringLiteral("エンコードの指定がされていませんでした。やり直しをして下さい");
inline const QString ExtensionMessage = QStringLiteral("ファイル拡張子でエラーが発生しました！");
