#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <optional>

// Conversions of Windows code page 932 (Shift-JIS as Windows has it),
// through glibc iconv "CP932".
namespace CodePage932 {

// Bytes that form no character become U+FFFD; nothing else is dropped.
QString decode(QByteArrayView bytes);

// nullopt when a character has no code page 932 form: the caller refuses
// instead of writing a replacement.
std::optional<QByteArray> encode(QStringView text);

} // namespace CodePage932
