#pragma once
// The progress of "Importa Fatture": a dialog, opened at the first report of the import
// (after its confirmation), showing the documents done of the total, with a button that
// stops the import between two documents. While it is open the rest of the program takes
// no input, so no other command runs in the middle of the import.
#include "import/importa_fatture.h"

#include <QPointer>

class QProgressDialog;
class QWidget;

class ImportProgressDialog {
public:
    explicit ImportProgressDialog(QWidget *parent);
    ~ImportProgressDialog();
    ImportProgressDialog(const ImportProgressDialog &) = delete;
    ImportProgressDialog &operator=(const ImportProgressDialog &) = delete;

    // The callback to hand to ImportaFatture.
    ImportProgress callback();
    // The user pressed the stop button.
    bool stopped() const { return m_stopped; }

private:
    bool report(int done, int total);

    QWidget *m_parent;
    QPointer<QProgressDialog> m_dialog;
    bool m_stopped = false;
};
