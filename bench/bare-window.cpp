// The least a Qt Widgets program does to show a window: the yardstick for the
// program's start-up time and idle memory. Same size as the main window.
// With --text it also shows one line in 宋体, as any window with text must
// load a font first (run it with the program's FONTCONFIG_FILE to get the
// program's font).
#include <QApplication>
#include <QLabel>
#include <QWidget>

#include <cstring>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("bare-window"));
    window.resize(906, 540);
    if (argc > 1 && std::strcmp(argv[1], "--text") == 0) {
        auto *label = new QLabel(QStringLiteral("Tavi周记事本 星期一"), &window);
        QFont font(QStringLiteral("宋体"));
        font.setPixelSize(16);
        label->setFont(font);
        label->move(20, 20);
    }
    window.show();
    return QApplication::exec();
}
