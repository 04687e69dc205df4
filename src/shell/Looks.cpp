#include "shell/Looks.h"

#include <QApplication>
#include <QStyle>
#include <QStyleFactory>

using namespace Qt::StringLiterals;

namespace Looks {
namespace {

const QString Fusion = u"Fusion"_s;
const QString Windows = u"Windows"_s;

QPalette standardPaletteOf(const QString &styleKey)
{
    QStyle *style = QStyleFactory::create(styleKey);
    if (!style)
        return QPalette();
    QPalette palette = style->standardPalette();
    delete style;
    return palette;
}

// A light palette: the chrome in `window`/`button`, the text fields white.
QPalette lightTint(const QString &styleKey, QColor window, QColor button, QColor highlight)
{
    QPalette p = standardPaletteOf(styleKey);
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        p.setColor(group, QPalette::Window, window);
        p.setColor(group, QPalette::Button, button);
        p.setColor(group, QPalette::Light, button.lighter(150));
        p.setColor(group, QPalette::Midlight, button.lighter(115));
        p.setColor(group, QPalette::Mid, button.darker(130));
        p.setColor(group, QPalette::Dark, button.darker(170));
        p.setColor(group, QPalette::AlternateBase, window.lighter(106));
    }
    p.setColor(QPalette::Active, QPalette::Highlight, highlight);
    p.setColor(QPalette::Inactive, QPalette::Highlight, highlight.lighter(130));
    p.setColor(QPalette::Disabled, QPalette::Base, window);
    return p;
}

QPalette darkPalette()
{
    const QColor window(0x35, 0x36, 0x3a);
    const QColor base(0x23, 0x24, 0x27);
    const QColor text(0xea, 0xea, 0xea);
    const QColor disabledText(0x80, 0x80, 0x80);
    const QColor highlight(0x4d, 0x7f, 0xc4);

    QPalette p = standardPaletteOf(Fusion);
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        const bool disabled = group == QPalette::Disabled;
        p.setColor(group, QPalette::Window, window);
        p.setColor(group, QPalette::WindowText, disabled ? disabledText : text);
        p.setColor(group, QPalette::Base, disabled ? window : base);
        p.setColor(group, QPalette::AlternateBase, window.darker(110));
        p.setColor(group, QPalette::ToolTipBase, base);
        p.setColor(group, QPalette::ToolTipText, text);
        p.setColor(group, QPalette::PlaceholderText, disabledText);
        p.setColor(group, QPalette::Text, disabled ? disabledText : text);
        p.setColor(group, QPalette::Button, window.lighter(112));
        p.setColor(group, QPalette::ButtonText, disabled ? disabledText : text);
        p.setColor(group, QPalette::BrightText, Qt::white);
        p.setColor(group, QPalette::Light, window.lighter(160));
        p.setColor(group, QPalette::Midlight, window.lighter(130));
        p.setColor(group, QPalette::Mid, window.darker(120));
        p.setColor(group, QPalette::Dark, window.darker(160));
        p.setColor(group, QPalette::Shadow, Qt::black);
        p.setColor(group, QPalette::Link, highlight.lighter(140));
        p.setColor(group, QPalette::LinkVisited, highlight.lighter(120));
        p.setColor(group, QPalette::Highlight, disabled ? window.lighter(130) : highlight);
        p.setColor(group, QPalette::HighlightedText, disabled ? disabledText : Qt::white);
    }
    p.setColor(QPalette::Inactive, QPalette::Highlight, highlight.darker(130));
    return p;
}

Look office2007(Tint tint)
{
    switch (tint) {
    case Tint::Black:
        return {Fusion, darkPalette(), tint};
    case Tint::Silver:
        return {Fusion, lightTint(Fusion, QColor(0xe6, 0xe8, 0xec), QColor(0xd6, 0xda, 0xe0), QColor(0x6b, 0x7c, 0x93)), tint};
    case Tint::Aqua:
        return {Fusion, lightTint(Fusion, QColor(0xdc, 0xf0, 0xf2), QColor(0xc4, 0xe6, 0xea), QColor(0x1f, 0x8f, 0xa3)), tint};
    case Tint::Blue:
        break;
    }
    return {Fusion, lightTint(Fusion, QColor(0xd8, 0xe6, 0xf5), QColor(0xc5, 0xd9, 0xf1), QColor(0x2f, 0x6e, 0xc2)), Tint::Blue};
}

} // namespace

Look lookFor(int id, Tint currentTint)
{
    switch (id) {
    case 205: // the classic grey chrome
        return {Windows, standardPaletteOf(Windows), currentTint};
    case 206:
        return {Fusion, lightTint(Fusion, QColor(0xf6, 0xf5, 0xf3), QColor(0xec, 0xea, 0xe6), QColor(0x31, 0x6a, 0xc5)), currentTint};
    case 207: // the beige of the XP era
        return {Windows, lightTint(Windows, QColor(0xec, 0xe9, 0xd8), QColor(0xec, 0xe9, 0xd8), QColor(0x31, 0x6a, 0xc5)), currentTint};
    case 208:
        return {Fusion, lightTint(Fusion, QColor(0xe3, 0xef, 0xff), QColor(0xc4, 0xda, 0xfa), QColor(0x3a, 0x6e, 0xa5)), currentTint};
    case 209:
        return {Fusion, lightTint(Fusion, QColor(0xee, 0xed, 0xe5), QColor(0xe5, 0xe3, 0xd9), QColor(0x31, 0x6a, 0xc5)), currentTint};
    case 210: // the plain light look, the default
        return {Fusion, standardPaletteOf(Fusion), currentTint};
    case 215:
    case 216:
    case 217:
    case 218:
        return office2007(static_cast<Tint>(id));
    case 219:
        return {Fusion, lightTint(Fusion, QColor(0xf0, 0xf0, 0xf0), QColor(0xe8, 0xed, 0xf4), QColor(0x33, 0x99, 0xff)), currentTint};
    default:
        return office2007(currentTint);
    }
}

void applyToApplication(const Look &look)
{
    if (QApplication::style()->name().compare(look.styleKey, Qt::CaseInsensitive) != 0) {
        if (QStyle *style = QStyleFactory::create(look.styleKey))
            QApplication::setStyle(style); // takes ownership, deletes the old one
    }
    QApplication::setPalette(look.palette);
    // Widgets take a new application palette through posted events; the
    // look is to be complete when the command returns.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::ApplicationPaletteChange);
}

} // namespace Looks
