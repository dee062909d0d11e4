// Writes the application icon, as the program draws it, into an icon theme's folder layout:
// render_icon <folder> <size>... gives <folder>/<size>x<size>/zqdlibrary.png for each size.
#include "core/widgets/Artwork.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>

#include <cstdio>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: render_icon <folder> <size>...\n");
        return 2;
    }
    const QDir root(QString::fromLocal8Bit(argv[1]));
    const QIcon icon = lms::Artwork::applicationIcon();
    for (int i = 2; i < argc; ++i) {
        const int size = QString::fromLocal8Bit(argv[i]).toInt();
        const QString folder = QStringLiteral("%1x%1").arg(size);
        // The icon's own pixmap for the size, scaled where the icon has none of that size.
        const QPixmap pixmap =
            icon.pixmap(size, size)
                .scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        if (size <= 0 || !root.mkpath(folder) ||
            !pixmap.save(root.filePath(folder + QStringLiteral("/zqdlibrary.png")), "PNG")) {
            std::fprintf(stderr, "render_icon: cannot write the %d pixel icon\n", size);
            return 1;
        }
    }
    return 0;
}
