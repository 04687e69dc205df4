#pragma once
#include <QByteArray>
#include <QString>

class Prompter;

// Encoding indices used throughout the program.
namespace Encoding {
inline constexpr int Auto = 0;     // reading only: detect first
inline constexpr int ShiftJis = 1; // Windows code page 932, no byte-order mark
inline constexpr int Utf8 = 2;     // written with EF BB BF
inline constexpr int Utf16Le = 3;  // written with FF FE
} // namespace Encoding

// What detection answers, in code-page numbers.
namespace CodePage {
inline constexpr int Undecided = 0;
inline constexpr int ShiftJis = 932;
inline constexpr int Utf8 = 65001;
inline constexpr int Utf16Le = 1200;
inline constexpr int Utf16Be = 1201;
inline constexpr int Utf32Le = 12000;
inline constexpr int Iso2022Jp = 50220;
inline constexpr int EucJp = 51932;
} // namespace CodePage

// The result of reading a text file: `ok` is false when the file could not
// be read as text at all (detection failed or found an unreadable encoding,
// the file could not be opened); an empty file is ok with empty text.
// `encoding` is the index actually used (1 to 3), or 0 when none was.
struct TextRead
{
    QString text;
    int encoding = Encoding::Auto;
    bool ok = false;
};

// Reads a whole text file into one string and writes one string as a whole
// file. Inside the program text is UTF-16 with CR LF line breaks; on disk
// every line ends with CR LF. Holds no state but where to show messages.
class CStringCode
{
public:
    explicit CStringCode(Prompter *prompter = nullptr);

    void setPrompter(Prompter *prompter) { m_prompter = prompter; }

    // The file's text, every line ended by CR LF, or "" (see readTextResult).
    QString readText(int encoding, const QString &path) const;
    TextRead readTextResult(int encoding, const QString &path) const;

    // Writes through a temporary file; refuses, before the target is touched,
    // an encoding outside 1 to 3 and text the encoding cannot hold.
    bool writeText(int encoding, const QString &path, const QString &text) const;

    // 1 to 3, another code of CodePage, or 0.
    int detectEncoding(const QString &path) const;
    static int detectCodePage(const char *bytes, qsizetype length);
    static int codePageFromContent(const char *bytes, qsizetype length);

private:
    Prompter *m_prompter = nullptr;
};
