// The yardsticks for the game's start-up: the least a Qt Widgets program does to show a
// window, and (built with QRV_WITH_TEXT) the same window showing one line of text, which adds
// the font set-up that any window with text pays for.
#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare window"));
#if defined(QRV_WITH_TEXT)
    auto* text = new QLabel(QStringLiteral("A line of text"), &window);
    text->move(10, 10);
#endif
    window.resize(300, 300);
    window.show();
    return QApplication::exec();
}
