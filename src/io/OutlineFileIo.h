#pragma once
#include "io/HierTextFile.h"
#include "io/NativeFile.h"

#include <QString>

class CStringCode;
class CTreeList;
class Prompter;

// File types of a document, taken from the extension.
namespace FileType {
inline constexpr int Unknown = 0;
inline constexpr int Native = 1;   // .qlo
inline constexpr int HierText = 2; // .txt
inline constexpr int HierCsv = 3;  // .csv
} // namespace FileType

// Reading and writing a whole outline in any of the three kinds, by type, as
// the editor's open and save do. Messages go to the prompter.
class OutlineFileIo
{
public:
    // The file name's part after its first dot; the whole name when it has none.
    static QString extensionOf(const QString &path);
    // 1 to 3 for qlo, txt, csv in any case; 0 for anything else.
    static int fileTypeOf(const QString &path);

    // Appends the file's items to `store` (cleared by the caller). For a
    // native file `header` receives its magic and format number; for text
    // kinds `encoding` is the reading choice (0 detects) and the result
    // tells the encoding used. ok is false when nothing could be read.
    static OutlineRead read(int fileType, const QString &path, int encoding, CTreeList &store,
                            NativeHeader &header, const CStringCode &code, Prompter *prompter);

    // Writes the outline; an unknown type writes nothing and fails.
    static bool write(int fileType, const QString &path, int encoding, const CTreeList &store,
                      const NativeHeader &header, qint32 currentNumber, const CStringCode &code,
                      Prompter *prompter);
};
