#pragma once
// Qt's own Italian texts for the standard dialogs and boxes (print dialog, page set-up,
// file dialog, the buttons of message boxes), from the translations installed with Qt.
class QCoreApplication;

// Installs the Italian translations of Qt on `app`; false when none are installed on
// this computer (the dialogs then keep Qt's English).
bool installQtTranslations(QCoreApplication &app);
