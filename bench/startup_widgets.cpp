// The least a Qt Widgets program does before its window is shown: one main
// window holding one line edit. The program's start-up is held against it.

#include <QApplication>
#include <QLineEdit>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("widgets"));
    window.setCentralWidget(new QLineEdit(&window));
    window.resize(1177, 496);
    window.show();
    return app.exec();
}
