#pragma once

#include <QDialog>
#include <QStringList>

#include <memory>

class QListWidget;

namespace Ui {
class Importation;
}

// The report window of the update: a plain list of lines in the order added.
class TImportation : public QDialog
{
    Q_OBJECT

public:
    explicit TImportation(QWidget *parent = nullptr);
    ~TImportation() override;

    // Sets the caption, empties the list and puts the lines in it.
    void setReport(const QString &caption, const QStringList &lines);
    QListWidget *listBox1() const;

private:
    std::unique_ptr<Ui::Importation> ui;
};
