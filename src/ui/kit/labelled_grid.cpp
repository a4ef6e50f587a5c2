#include "ui/kit/labelled_grid.h"

#include <QGridLayout>
#include <QLabel>

QLabel *addLabelled(QGridLayout *grid, int row, int column, const QString &caption, QWidget *field, int columnSpan)
{
    auto *label = new QLabel(caption, grid->parentWidget());
    label->setBuddy(field);
    grid->addWidget(label, 2 * row, column, 1, columnSpan);
    grid->addWidget(field, 2 * row + 1, column, 1, columnSpan);
    return label;
}
