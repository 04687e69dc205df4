#include "shell/CAboutDlg.h"

#include "Messages.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// A sheet with an outline on it: three heading bars at two levels.
QPixmap drawIcon(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    QPainterPath sheet;
    sheet.addRoundedRect(QRectF(s * 0.12, s * 0.06, s * 0.76, s * 0.88), s * 0.08, s * 0.08);
    p.fillPath(sheet, QColor(0xFA, 0xF7, 0xEE));
    p.setPen(QPen(QColor(0x2F, 0x4F, 0x7F), qMax(1.0, s / 24)));
    p.drawPath(sheet);
    const QColor bars[] = {QColor(0x2F, 0x4F, 0x7F), QColor(0x7F, 0x9F, 0xC8), QColor(0x7F, 0x9F, 0xC8)};
    const qreal lefts[] = {0.24, 0.36, 0.36};
    for (int i = 0; i < 3; ++i) {
        const QRectF bar(s * lefts[i], s * (0.22 + i * 0.22), s * (0.76 - lefts[i]), s * 0.1);
        p.fillRect(bar, bars[i]);
    }
    return pixmap;
}

} // namespace

QIcon CAboutDlg::programIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128})
        icon.addPixmap(drawIcon(size));
    return icon;
}

CAboutDlg::CAboutDlg(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QString::fromUtf16(Msg::AboutTitle));

    auto *iconLabel = new QLabel(this);
    iconLabel->setPixmap(programIcon().pixmap(48, 48));
    iconLabel->setAlignment(Qt::AlignTop);

    auto *text = new QVBoxLayout;
    text->addWidget(new QLabel(QString::fromUtf16(Msg::AboutVersion), this));
    text->addWidget(new QLabel(QString::fromUtf16(Msg::AboutRights), this));
    text->addStretch();

    auto *row = new QHBoxLayout;
    row->addWidget(iconLabel);
    row->addSpacing(12);
    row->addLayout(text, 1);

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *ok = buttons->addButton(QString::fromUtf16(Msg::AboutOk), QDialogButtonBox::AcceptRole);
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
