#pragma once
#include <QString>

// A body's first line, up to its first CR, is the item's label line.
// Only a CR at position 1 or later ends a label; anything else gives "".
QString labelFromBody(const QString &body);

// The body after its first LF when that LF is at position 1 or later;
// otherwise the whole body.
QString bodyWithoutLabel(const QString &body);
