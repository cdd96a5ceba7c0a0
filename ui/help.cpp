#include "ui/help.h"

#include "ui/dialogs.h"
#include "ui/help_file.h"
#include "ui/taide.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>


namespace help {

namespace {

QString g_helpFile;
TopicViewer g_viewer;

int contextProperty(const QObject *object)
{
    if (!object)
        return 0;
    bool ok = false;
    const int context = object->property("helpContext").toInt(&ok);
    return ok && context > 0 ? context : 0;
}

HelpTopics loadTopics()
{
    QFile file(g_helpFile);
    if (g_helpFile.isEmpty() || !file.open(QIODevice::ReadOnly))
        return {};
    return parseHelpFile(QString::fromUtf8(file.readAll()));
}

void showInHelpWindow(int context, QWidget *parent)
{
    const HelpTopics topics = loadTopics();
    if (topics.empty()) {
        showError(QStringLiteral("Le fichier d'aide « %1 » est introuvable ou vide.").arg(g_helpFile));
        return;
    }
    TAide window(topics, parent);
    window.showContext(context);
    window.exec();
}

class F1Filter : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return QObject::eventFilter(watched, event);
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier)
            return QObject::eventFilter(watched, event);
        // F1 in the help window itself has nothing more to show.
        if (qobject_cast<TAide *>(QApplication::activeModalWidget()))
            return true;
        const int context = currentContext();
        QWidget *parent = QApplication::activeModalWidget();
        if (!parent)
            parent = QApplication::activeWindow();
        // An open menu would close under the help window anyway.
        while (QWidget *popup = QApplication::activePopupWidget())
            popup->close();
        showTopic(context, parent);
        return true;
    }
};

} // namespace

void setHelpFile(const QString &path)
{
    g_helpFile = path;
}

QString helpFile()
{
    return g_helpFile;
}

void showTopic(int context, QWidget *parent)
{
    if (context <= 0)
        context = MainWindowContext;
    if (g_viewer)
        g_viewer(context, parent);
    else
        showInHelpWindow(context, parent);
}

void setTopicViewer(TopicViewer viewer)
{
    g_viewer = std::move(viewer);
}

int contextOf(const QWidget *widget)
{
    for (const QWidget *w = widget; w; w = w->parentWidget()) {
        if (const int context = contextProperty(w))
            return context;
        if (auto *menu = qobject_cast<const QMenu *>(w)) {
            if (const int context = contextProperty(menu->menuAction()))
                return context;
        }
    }
    return MainWindowContext;
}

int currentContext()
{
    if (auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
        QAction *item = menu->activeAction();
        if (const int context = contextProperty(item))
            return context;
        if (item && item->menu()) {
            if (const int context = contextOf(item->menu()))
                return context;
        }
        return contextOf(menu);
    }
    QWidget *focus = QApplication::focusWidget();
    if (auto *bar = qobject_cast<QMenuBar *>(focus)) {
        if (QAction *item = bar->activeAction()) {
            if (const int context = contextProperty(item))
                return context;
            if (item->menu())
                return contextOf(item->menu());
        }
    }
    if (!focus)
        focus = QApplication::activeWindow();
    return contextOf(focus);
}

void installF1Handler(QApplication &application)
{
    static const QString name = QStringLiteral("tabrixF1Help");
    if (application.findChild<QObject *>(name, Qt::FindDirectChildrenOnly))
        return;
    auto *filter = new F1Filter(&application);
    filter->setObjectName(name);
    application.installEventFilter(filter);
}

} // namespace help
