#pragma once
#include <QString>

class CStringCode;
class CTreeList;
class Prompter;

// Outcome of reading a hierarchical text or CSV file. `ok` is false when no
// outline could be taken from the file (its text could not be read, or it is
// not of this kind); an empty file is ok with no items. `encoding` is the
// index the text was read with (the detected one for automatic reading).
struct OutlineRead
{
    bool ok = false;
    int encoding = 0;
};

// The hierarchical text file: each item is a heading of one full stop per
// level followed by its body.
class HierTextFile
{
public:
    static bool writeHierText(const CTreeList &store, int encoding, const QString &path,
                              const CStringCode &code);
    // Appends the file's items to `store`; messages go to `prompter` (the
    // store's own prompter when null).
    static OutlineRead readHierText(CTreeList &store, int encoding, const QString &path,
                                    const CStringCode &code, Prompter *prompter);
    // The text that writeHierText hands to the encoder. A body that does not
    // end with a line break gets CR LF, so that the next heading starts a line.
    static QString composeHierText(const CTreeList &store);
    // Appends the items of already decoded text to `store`. False, after the
    // "not a hierarchical text" message, when the text does not start with a
    // full stop; empty text is true with no items.
    static bool parseHierText(CTreeList &store, const QString &text, Prompter *prompter);
};
