#pragma once
#include <QString>
#include <QStringList>

class Prompter;

// The folders below the user folder and the documents a first start puts
// there. Nothing that exists is touched: a folder is created only where it
// is missing, and a first-run document only where no file of its name is.
namespace UserFolder {

// Data, Backup, Text and Work, in that order.
QStringList subfolderNames();

// The shortcut list: every command with a key, grouped by the menu it sits
// in ("【ファイル】" ...), one "key ： name" line each, keys without a menu
// entry last. Lines end with CR LF.
QString shortcutListText();

// Creates the user folder and its four subfolders where missing, then
// installs "ようこそ.qlo" and "ユーザーフォルダについて.qlo" in Data and
// "keylist.txt" in Text where missing. Returns the paths that could not be
// made (empty when all is in place); operations that need one of them
// report their own file errors later.
QStringList ensure(const QString &userPath, Prompter *prompter = nullptr);

} // namespace UserFolder
