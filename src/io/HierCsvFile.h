#pragma once
#include "io/HierTextFile.h"

// The hierarchical CSV file: a header line, then "level,label,rest" per item
// with the rest of the body on one line, no quoting.
class HierCsvFile
{
public:
    static bool writeHierCsv(const CTreeList &store, int encoding, const QString &path,
                             const CStringCode &code);
    // Replaces the store's content with the file's items.
    static OutlineRead readHierCsv(CTreeList &store, int encoding, const QString &path,
                                   const CStringCode &code, Prompter *prompter);
    static QString composeHierCsv(const CTreeList &store);
};
