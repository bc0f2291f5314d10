// The yardstick for the start-up benchmark: the least a Qt Widgets program does to
// show a window of the main window's size.

#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("quillnote_bench_trivial"));
    window.setGeometry(0, 0, 696, 480);
    window.show();
    return app.exec();
}
