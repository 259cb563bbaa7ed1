// The yardstick for the program's start-up: the least a Qt program with one
// browser view does before its window is shown.

#include <QApplication>
#include <QWebEngineView>

int main(int argc, char *argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QWebEngineView view;
    view.setWindowTitle(QStringLiteral("baseline"));
    view.resize(1177, 496);
    view.setUrl(QUrl(QStringLiteral("about:blank")));
    view.show();
    return app.exec();
}
