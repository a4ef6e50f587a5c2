#pragma once
// Fields with their caption above them, placed in a grid: field row r takes the grid
// rows 2r (caption) and 2r + 1 (field).
#include <QString>

class QGridLayout;
class QLabel;
class QWidget;

QLabel *addLabelled(QGridLayout *grid, int row, int column, const QString &caption, QWidget *field,
                    int columnSpan = 1);
