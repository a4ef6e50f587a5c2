#include "ui/kit/db_grid_delegate.h"

#include "ui/kit/db_grid_model.h"
#include "data/db_table.h"
#include "ui/kit/field_link.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPainter>

DbGridDelegate::DbGridDelegate(DbGridModel &model, QObject *parent) : QStyledItemDelegate(parent), m_model(model) {}

void DbGridDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const std::optional<RowStyle> style = m_model.rowStyle(index.row());
    if (!style) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    painter->save();
    painter->fillRect(option.rect, style->background);
    painter->setPen(style->foreground);
    painter->setFont(option.font);
    const QRect textRect = option.rect.adjusted(2, 2, 0, 0);
    painter->drawText(textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                      m_model.cellText(index.row(), index.column()));
    painter->restore();
}

QWidget *DbGridDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &index) const
{
    const GridColumn &column = m_model.column(index.column());
    QLineEdit *line = nullptr;
    QWidget *editor = nullptr;
    if (!column.pickList.isEmpty()) {
        auto *combo = new QComboBox(parent);
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->setCompleter(nullptr);
        combo->addItems(column.pickList);
        // A chosen item is the user's input: the row goes into editing with it at once, so
        // the navigator's post button stores it.
        connect(combo, &QComboBox::activated, this, [this, combo] { commitOpenEditor(combo); });
        line = combo->lineEdit();
        editor = combo;
    } else {
        line = new QLineEdit(parent);
        line->setFrame(false);
        editor = line;
    }
    line->setMaxLength(FieldLink::maxLength(m_model.table(), column.field));
    // Every key the user types goes into the pending row at once, as in a bound box: the
    // first one puts the row into editing, so the navigator's post and cancel apply to it
    // and a periodic re-read leaves the row alone while the cell is still open.
    connect(line, &QLineEdit::textEdited, this, [this, editor] { commitOpenEditor(editor); });
    m_openEditor = editor;
    return editor;
}

// An editor already closed (a drop-down reporting its item as it loses the focus) has
// nothing more to give.
void DbGridDelegate::commitOpenEditor(QWidget *editor) const
{
    if (editor && m_openEditor == editor)
        emit const_cast<DbGridDelegate *>(this)->commitData(editor);
}

void DbGridDelegate::destroyEditor(QWidget *editor, const QModelIndex &index) const
{
    if (m_openEditor == editor)
        m_openEditor = nullptr;
    QStyledItemDelegate::destroyEditor(editor, index);
}

void DbGridDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    const QString text = m_model.cellText(index.row(), index.column());
    if (auto *combo = qobject_cast<QComboBox *>(editor)) {
        // The row told of the key just typed: the editor already shows it, and setting
        // it again would move the cursor away from where the user types.
        if (combo->currentText() == text)
            return;
        combo->setCurrentIndex(combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive));
        combo->setEditText(text);
    } else if (auto *line = qobject_cast<QLineEdit *>(editor)) {
        if (line->text() != text)
            line->setText(text);
    }
}

void DbGridDelegate::setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    QString text;
    if (auto *combo = qobject_cast<QComboBox *>(editor))
        text = combo->currentText();
    else if (auto *line = qobject_cast<QLineEdit *>(editor))
        text = line->text();
    if (text == m_model.cellText(index.row(), index.column()))
        return;
    model->setData(index, text, Qt::EditRole);
}
