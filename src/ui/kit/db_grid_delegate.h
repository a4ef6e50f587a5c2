#pragma once
// Cell drawing and editing of a DbGrid: a row with a style from the model's row hook is
// repainted whole (cell filled, text left-aligned 2 pixels in from the top-left corner),
// selected or not; a column with a pick list is edited in a drop-down that also accepts
// typed text; other cells in a line edit limited to the column's width. A cell editor
// closed without a change writes nothing; each key typed into a cell and an item chosen in
// a drop-down are written at once, as a key typed into a bound box is.
#include <QPointer>
#include <QStyledItemDelegate>

class DbGridModel;

class DbGridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    DbGridDelegate(DbGridModel &model, QObject *parent);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;
    void destroyEditor(QWidget *editor, const QModelIndex &index) const override;

    // The cell editor now open, or nullptr.
    QWidget *openEditor() const { return m_openEditor; }

private:
    void commitOpenEditor(QWidget *editor) const;

    DbGridModel &m_model;
    mutable QPointer<QWidget> m_openEditor;
};
