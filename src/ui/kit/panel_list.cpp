#include "ui/kit/panel_list.h"

#include <QLineEdit>
#include <algorithm>

PanelList::PanelList(const QString &name, const QStringList &items, int typedMaxLength, QWidget *parent)
    : QComboBox(parent)
{
    setObjectName(name);
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);  // nothing is completed or chosen on the user's behalf
    addItems(items);
    int longest = typedMaxLength;
    for (const QString &item : items)
        longest = std::max(longest, int(item.size()));
    lineEdit()->setMaxLength(longest);
    setCurrentIndex(-1);
    connect(lineEdit(), &QLineEdit::textEdited, this, &PanelList::typed);
}

QString PanelList::selectedText() const
{
    return currentIndex() >= 0 ? itemText(currentIndex()) : QString();
}

void PanelList::selectExactly(const QString &text)
{
    setCurrentIndex(-1);
    setCurrentIndex(findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive));
}

void PanelList::typed(const QString &text)
{
    const int match = findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (match == currentIndex())
        return;
    // Selecting changes the edit part; the user's text and cursor stay as typed.
    const int cursor = lineEdit()->cursorPosition();
    setCurrentIndex(match);
    lineEdit()->setText(text);
    lineEdit()->setCursorPosition(cursor);
}
