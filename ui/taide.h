#pragma once

#include "ui/help_file.h"

#include <QDialog>

#include <memory>

namespace Ui {
class Aide;
}

// The help window: the list of topics of AIDE.HLP and the text of the one
// chosen.
class TAide : public QDialog
{
    Q_OBJECT

public:
    explicit TAide(const HelpTopics &topics, QWidget *parent = nullptr);
    ~TAide() override;

    // Shows the topic of `context`, or the first topic when there is none.
    void showContext(int context);
    int shownContext() const { return m_shown; }

private:
    void showRow(int row);

    std::unique_ptr<Ui::Aide> ui;
    HelpTopics m_topics;
    int m_shown = 0;
};
