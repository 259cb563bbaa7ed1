// The module's entry: what QPluginLoader finds in it.

#include "browser/BrowserEngine.h"
#include "browser/engine/WebEngineBrowser.h"

#include <QCoreApplication>
#include <QObject>
#include <QQuickWindow>

class WebEnginePlugin : public QObject, public BrowserEngineFactory
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID BrowserEngineFactory_iid)
    Q_INTERFACES(BrowserEngineFactory)
public:
    std::unique_ptr<BrowserEngine> create(QWidget *pane, BrowserEngineHost &host) override
    {
        // The view draws with OpenGL only where the program set up shared
        // contexts at start. Otherwise it draws in software: the host window,
        // already on screen without OpenGL, would have to be destroyed and
        // made again to take an OpenGL child.
        if (!QCoreApplication::testAttribute(Qt::AA_ShareOpenGLContexts))
            QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
        return std::make_unique<WebEngineBrowser>(pane, host);
    }
};

#include "WebEnginePlugin.moc"
