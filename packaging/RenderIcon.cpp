// Renders the program's SVG icon as the PNG sizes desktops look up in the
// hicolor theme, so the PNGs never drift from the drawing.
//   tw_render_icon <icon.svg> <output folder> <icon name> <size>...
// writes <output folder>/<size>x<size>/apps/<icon name>.png for each size.
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

int main(int argc, char** argv) {
    // Drawing into an image needs no display, nor a platform plugin: the
    // build may run where there is none.
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 5) {
        std::fprintf(stderr, "usage: tw_render_icon ICON.svg OUTDIR NAME SIZE...\n");
        return 2;
    }
    QSvgRenderer svg(args[1]);
    if (!svg.isValid()) {
        std::fprintf(stderr, "tw_render_icon: %s is no SVG drawing\n", qPrintable(args[1]));
        return 1;
    }
    const QString strName = args[3] + ".png";
    for (qsizetype i = 4; i < args.size(); ++i) {
        bool blnOk = false;
        const int lngSize = args[i].toInt(&blnOk);
        if (!blnOk || lngSize <= 0) {
            std::fprintf(stderr, "tw_render_icon: bad size %s\n", qPrintable(args[i]));
            return 2;
        }
        QImage image(lngSize, lngSize, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        svg.render(&painter);
        painter.end();
        const QString strFolder = QStringLiteral("%1/%2x%2/apps").arg(args[2]).arg(lngSize);
        if (!QDir().mkpath(strFolder) || !image.save(strFolder + "/" + strName)) {
            std::fprintf(stderr, "tw_render_icon: cannot write %s\n", qPrintable(strFolder));
            return 1;
        }
    }
    return 0;
}
