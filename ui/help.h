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

// The topics of the windows and commands that the menu does not number
// (the menu's own are 1 to 16); a form carries its window's number too.
inline constexpr int SearchContext = 17;            // the search and its result grid
inline constexpr int UsedCardsContext = 18;         // "Cartes utilisées" in the inventory window
inline constexpr int ExchangeViewerContext = 19;    // a received exchange table in the inventory window
inline constexpr int BackupsContext = 20;           // the backups and their restore
inline constexpr int ExportContext = 21;            // "Exporter…" and its file dialog
inline constexpr int ChartContext = 22;             // the "Graphique…" windows
inline constexpr int ParadoxConversionContext = 23; // the conversion of Paradox tables at start-up
inline constexpr int CsvImportContext = 24;         // the CSV import and its report
inline constexpr int CompletionContext = 25;        // completion by edition
inline constexpr int PrintingContext = 26;          // "Imprimer…" and the print preview
inline constexpr int PictureContext = 27;           // the picture window of a card

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
