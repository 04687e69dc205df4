#pragma once
#include <QIcon>
#include <QStringView>

// The toolbar images, drawn at start instead of shipped as files: each name
// of the command table's icon column gives a 16-pixel image (with a 32-pixel
// one for high-density screens). An unknown or empty name gives a null icon.
QIcon commandIcon(QStringView name);
