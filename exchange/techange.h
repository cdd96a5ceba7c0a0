#pragma once

#include <QDialog>
#include <QString>

#include <memory>

class Session;

namespace Ui {
class Echange;
}

// The exchange table writer: Creation rewrites ECHANGE.DB of the database
// directory from the card source and tells the user where it is.
class TEchange : public QDialog
{
    Q_OBJECT

public:
    explicit TEchange(Session &session, QWidget *parent = nullptr);
    ~TEchange() override;

    // Writes the table; an error is shown by the standard error box and
    // leaves the previous table as it was. Returns false when it failed.
    bool Creation();

    // The empty ECHANGE.DB installed with the program, named in the message
    // that refuses an unusable exchange table as the way to get a fresh one.
    void setInstalledTable(const QString &path) { m_installedTable = path; }

private:
    std::unique_ptr<Ui::Echange> ui;
    Session &m_session;
    QString m_installedTable;
};
