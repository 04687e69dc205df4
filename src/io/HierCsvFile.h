#pragma once
#include "io/HierTextFile.h"

#include <QStringView>

// The hierarchical CSV file: a header line, then "level,label,rest" per item
// with the rest of the body on one line, no quoting.
class HierCsvFile
{
public:
    // The first line the writer puts out; the reader skips whatever is there.
    static constexpr char16_t Header[] = u"階層,ラベル,本文";

    static bool writeHierCsv(const CTreeList &store, int encoding, const QString &path,
                             const CStringCode &code);
    // Replaces the store's content with the file's items; messages go to
    // `prompter` (the store's own prompter when null). A file that cannot be
    // read leaves the store as it was.
    static OutlineRead readHierCsv(CTreeList &store, int encoding, const QString &path,
                                   const CStringCode &code, Prompter *prompter);
    static QString composeHierCsv(const CTreeList &store);
    // Replaces the store's content with the items of already decoded text.
    static void parseHierCsv(CTreeList &store, const QString &text, Prompter *prompter);
    // The level field as C's atoi reads it: leading white space, an optional
    // sign, digits up to the first non-digit, 0 without digits. Values beyond
    // the int range saturate instead of wrapping.
    static int levelFromField(QStringView field);
};
