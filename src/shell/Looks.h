#pragma once
#include <QPalette>
#include <QString>

// The window's looks: each look command id (205 to 219) stands for a Qt
// style and a palette. The Office 2007 group (215 to 218) shares one style
// in four tints; an id of the range without a look of its own (211 to 214)
// keeps whichever tint that group had last.
namespace Looks {

// The tints of the Office 2007 group, numbered as the stored look ids are.
enum class Tint { Blue = 215, Black = 216, Silver = 217, Aqua = 218 };

struct Look
{
    QString styleKey; // a QStyleFactory key
    QPalette palette;
    Tint tint;        // the Office 2007 tint after choosing this look
};

// The look of `id` given the group's current tint. Any id outside the known
// ones falls into the Office 2007 group with its tint unchanged.
Look lookFor(int id, Tint currentTint);

// Makes `look` the application's style and palette. The style object is
// replaced only when its kind changes, so a tint change does not rebuild
// every widget's style.
void applyToApplication(const Look &look);

} // namespace Looks
