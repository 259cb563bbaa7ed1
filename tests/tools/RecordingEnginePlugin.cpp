// A browser engine module for tests: its view is a plain widget, and every
// call the pane makes is recorded, in order, in the module's "calls"
// property, so a test can see what the pane asked of the engine and when.

#include "browser/BrowserEngine.h"

#include <QObject>
#include <QStringList>
#include <QVariant>
#include <QWidget>

namespace {

class RecordingEngine : public BrowserEngine
{
public:
    RecordingEngine(QWidget *pane, QObject *log) : view_(new QWidget(pane)), log_(log) { view_->hide(); }
    ~RecordingEngine() override { delete view_; }

    QWidget *view() const override { return view_; }
    QUrl url() const override { return url_; }
    void navigate(const QUrl &url) override
    {
        url_ = url;
        record(QStringLiteral("navigate ") + url.toString());
    }
    void reload() override { record(QStringLiteral("reload")); }
    void back() override { record(QStringLiteral("back")); }
    void forward() override { record(QStringLiteral("forward")); }
    void print() override { record(QStringLiteral("print")); }
    void pageSetup() override { record(QStringLiteral("pageSetup")); }
    void saveAs() override { record(QStringLiteral("saveAs")); }

private:
    void record(const QString &call)
    {
        log_->setProperty("calls", log_->property("calls").toStringList() << call);
    }
    QWidget *view_;
    QObject *log_;
    QUrl url_;
};

}  // namespace

class RecordingEnginePlugin : public QObject, public BrowserEngineFactory
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID BrowserEngineFactory_iid)
    Q_INTERFACES(BrowserEngineFactory)
public:
    std::unique_ptr<BrowserEngine> create(QWidget *pane, BrowserEngineHost &) override
    {
        return std::make_unique<RecordingEngine>(pane, this);
    }
};

#include "RecordingEnginePlugin.moc"
