#include "ui/main/navigation_images.h"

#include <QPixmap>

namespace {

QRgb Greyed(QRgb pixel) {
    int level = ((qRed(pixel) + qGreen(pixel) + qBlue(pixel)) / 3) / 2 + 96;
    return qRgba(level, level, level, qAlpha(pixel));
}

} // namespace

QImage WithDisabledImage(const QImage& image) {
    if (image.isNull() || image.width() != image.height())
        return image;
    QImage source = image.convertToFormat(QImage::Format_ARGB32);
    int size = source.width();
    QImage strip(size * 2, size, QImage::Format_ARGB32);
    for (int y = 0; y < size; ++y) {
        const QRgb* in = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        QRgb* out = reinterpret_cast<QRgb*>(strip.scanLine(y));
        for (int x = 0; x < size; ++x) {
            out[x] = in[x];
            out[size + x] = Greyed(in[x]);
        }
    }
    return strip;
}

QIcon NavigationIcon(const QImage& strip) {
    QIcon icon;
    if (strip.width() != strip.height() * 2) {
        icon.addPixmap(QPixmap::fromImage(strip));
        return icon;
    }
    int size = strip.height();
    icon.addPixmap(QPixmap::fromImage(strip.copy(0, 0, size, size)), QIcon::Normal);
    icon.addPixmap(QPixmap::fromImage(strip.copy(size, 0, size, size)), QIcon::Disabled);
    return icon;
}
