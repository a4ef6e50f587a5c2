#pragma once
// Commands run from the event loop. An error that a command does not catch stops the
// command and reaches the general error box, which shows the error's text with an OK
// button; the program goes on.
#include <QAbstractButton>
#include <QString>
#include <exception>
#include <functional>

// Shows the general error box.
void showGeneralError(const QString &text);
// Runs `command`; an uncaught error goes to the general error box. True when the
// command finished without error.
bool runCommand(const std::function<void()> &command);
// Runs an event delivery with the same net; false when it ended with an error.
bool deliverCatching(const std::function<bool()> &delivery);

// Runs `command` on every click of `button`, through runCommand().
template <typename F>
void onClick(QAbstractButton *button, F command)
{
    QObject::connect(button, &QAbstractButton::clicked, button, [command] { runCommand(command); });
}
