// Renders the application icon's SVG to a square PNG of the given size, for
// the icon theme folders: render_icon SOURCE.svg SIZE OUTPUT.png
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: render_icon SOURCE.svg SIZE OUTPUT.png\n");
        return 2;
    }
    QSvgRenderer renderer(QString::fromLocal8Bit(argv[1]));
    bool ok = false;
    int size = QString(argv[2]).toInt(&ok);
    if (!renderer.isValid() || !ok || size <= 0) {
        std::fprintf(stderr, "render_icon: cannot render %s at %s\n", argv[1], argv[2]);
        return 1;
    }
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    painter.end();
    QString output = QString::fromLocal8Bit(argv[3]);
    QDir().mkpath(QFileInfo(output).path());
    return image.save(output, "PNG") ? 0 : 1;
}
