#include "ui/screens/elenco_fatt/import_progress.h"

#include <QCoreApplication>
#include <QProgressDialog>
#include <algorithm>

ImportProgressDialog::ImportProgressDialog(QWidget *parent) : m_parent(parent) {}

ImportProgressDialog::~ImportProgressDialog() { delete m_dialog; }

ImportProgress ImportProgressDialog::callback()
{
    return [this](int done, int total) { return report(done, total); };
}

bool ImportProgressDialog::report(int done, int total)
{
    if (!m_dialog) {
        m_dialog = new QProgressDialog(m_parent);
        m_dialog->setObjectName(QStringLiteral("importProgress"));
        m_dialog->setWindowTitle(QStringLiteral("Importa Fatture"));
        // Wide enough for the whole title beside the window's own buttons.
        m_dialog->setMinimumWidth(std::max(420, m_dialog->fontMetrics().horizontalAdvance(m_dialog->windowTitle()) + 240));
        m_dialog->setCancelButtonText(QStringLiteral("Interrompi"));
        m_dialog->setWindowModality(Qt::ApplicationModal);
        m_dialog->setAutoClose(false);
        m_dialog->setAutoReset(false);
        m_dialog->setMinimumDuration(0);
        m_dialog->show();
    }
    m_dialog->setMaximum(std::max(total, 1));
    m_dialog->setValue(std::min(done, total));
    m_dialog->setLabelText(QStringLiteral("Documenti elaborati: %1 di %2").arg(done).arg(total));
    // Lets the dialog draw itself and take a click on its button.
    QCoreApplication::processEvents();
    m_stopped = m_stopped || m_dialog->wasCanceled();
    return !m_stopped;
}
