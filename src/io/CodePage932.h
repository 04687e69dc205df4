#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <optional>

// Conversions of Windows code page 932 (Shift-JIS as Windows has it),
// exactly as glibc iconv "CP932" converts: on first use its whole mapping is
// read into tables (a few milliseconds), and each character is then a
// lookup. Safe to call from several threads.
namespace CodePage932 {

// Bytes that form no character become U+FFFD (a lead and trail byte pair
// with no character is one U+FFFD); nothing else is dropped.
QString decode(QByteArrayView bytes);

// nullopt when a character has no code page 932 form: the caller refuses
// instead of writing a replacement. Nine characters share a code with the
// one they decode to: U+301C, U+2016, U+2212, U+2014, U+00A2, U+00A3,
// U+00AC, U+00A5 and U+203E come back as U+FF5E, U+2225, U+FF0D, U+2015,
// U+FFE0, U+FFE1, U+FFE2, U+005C and U+007E; everything else round-trips.
std::optional<QByteArray> encode(QStringView text);

} // namespace CodePage932
