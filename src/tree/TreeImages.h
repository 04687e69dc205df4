#pragma once
#include <QIcon>

// The two item images of the tree, 16 by 16: a sheet of paper for an item
// without children, an open folder for one with. Drawn in code, so there is
// no image file to ship; needs a QGuiApplication.
namespace TreeImages {
QIcon sheet();
QIcon openFolder();
} // namespace TreeImages
