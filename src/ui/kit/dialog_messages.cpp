#include "ui/kit/dialog_messages.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace {

QString boxTitle() { return QApplication::applicationName(); }

int showBox(QMessageBox::Icon icon, const QString &title, const QString &text,
            const QList<std::pair<QMessageBox::StandardButton, QString>> &buttons)
{
    QMessageBox box(icon, title, text, QMessageBox::NoButton, QApplication::activeWindow());
    for (const auto &[button, caption] : buttons)
        box.addButton(button)->setText(caption);
    box.setDefaultButton(buttons.front().first);
    return box.exec();
}

} // namespace

void DialogMessages::inform(const QString &text)
{
    showBox(QMessageBox::Information, boxTitle(), text, {{QMessageBox::Ok, QStringLiteral("OK")}});
}

bool DialogMessages::confirm(const QString &text)
{
    return showBox(QMessageBox::Question, QStringLiteral("Conferma"), text,
                   {{QMessageBox::Yes, QStringLiteral("Sì")}, {QMessageBox::No, QStringLiteral("No")}})
        == QMessageBox::Yes;
}

void DialogMessages::error(const QString &text)
{
    showBox(QMessageBox::Critical, boxTitle(), text, {{QMessageBox::Ok, QStringLiteral("OK")}});
}

bool DialogMessages::confirmOkCancel(const QString &text)
{
    return showBox(QMessageBox::Question, QStringLiteral("Conferma"), text,
                   {{QMessageBox::Ok, QStringLiteral("OK")}, {QMessageBox::Cancel, QStringLiteral("Annulla")}})
        == QMessageBox::Ok;
}
