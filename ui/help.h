#pragma once

#include <QString>

#include <functional>

class QWidget;
class QApplication;

// The help system: the program's own file AIDE.HLP beside the executable,
// one topic per help context number, shown in the help window. Widgets and
// menu items carry their number in the dynamic int property "helpContext".
namespace help {

inline constexpr int MainWindowContext = 1;

void setHelpFile(const QString &path);
QString helpFile();

// Shows the topic of `context` (the main window's topic when the file has
// none for it) in the modal help window.
void showTopic(int context, QWidget *parent = nullptr);

// Replaces what showTopic does (tests); an empty function restores the
// help window.
using TopicViewer = std::function<void(int context, QWidget *parent)>;
void setTopicViewer(TopicViewer viewer);

// The help context of a widget: its own "helpContext", else that of its
// nearest parent that has one, else the main window's.
int contextOf(const QWidget *widget);

// The help context of what the user is on now: the highlighted item of an
// open menu (its own number, else its menu's), else the focused widget.
int currentContext();

// Makes F1 open the help topic of what the user is on, in every window.
void installF1Handler(QApplication &application);

} // namespace help
