#include "window_icon.h"

#include <QPainter>
#include <QPixmap>

namespace tavrin {

namespace {

// Colours of the classic 16-colour palette, as the board itself uses them.
const QColor kIconBoard(0xFF, 0xC0, 0x80);
const QColor kIconGrid(0x00, 0xFF, 0xFF);
const QColor kIconWhite(0xFF, 0xFF, 0xFF);
const QColor kIconBlack(0x00, 0x00, 0x00);
const QColor kIconOutline(0x80, 0x80, 0x80);

QPixmap iconImage(int size)
{
    QPixmap image(size, size);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    const int cell = size / 4;
    painter.fillRect(0, 0, size, size, kIconBoard);
    painter.setPen(kIconGrid);
    for (int i = 0; i <= 4; ++i) {
        const int at = qMin(i * cell, size - 1);
        painter.drawLine(at, 0, at, size - 1);
        painter.drawLine(0, at, size - 1, at);
    }
    // Two stones side by side across the middle of the picture.
    const int stone = cell * 2 - 2;
    painter.setPen(kIconOutline);
    painter.setBrush(kIconWhite);
    painter.drawEllipse(1, cell, stone - 1, stone - 1);
    painter.setPen(kIconBlack);
    painter.setBrush(kIconBlack);
    painter.drawEllipse(cell * 2 + 1, cell, stone - 1, stone - 1);
    return image;
}

} // namespace

QIcon tavrinIcon()
{
    QIcon icon;
    icon.addPixmap(iconImage(32));
    icon.addPixmap(iconImage(16));
    return icon;
}

} // namespace tavrin
