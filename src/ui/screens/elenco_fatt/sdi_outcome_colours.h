#pragma once
// The colours of the invoice list that show the exchange system's latest answer: a rejected
// invoice (to be corrected and sent again) in orange, an invoice its public administration
// refused in purple; a sent invoice without either stays white on red. The latest answers
// are read from the server when the list is shown, every `interval`, and on request.
#include "ui/kit/db_grid_model.h"
#include "receiving/sdi_answers.h"

#include <QHash>
#include <QObject>
#include <QTimer>
#include <optional>

class DbConnection;
class DbTable;
class QWidget;

class SdiOutcomeColours : public QObject {
    Q_OBJECT
public:
    static inline const RowStyle Rejected{QColor(255, 140, 0), QColor(0, 0, 0)};
    static inline const RowStyle Refused{QColor(128, 0, 128), QColor(255, 255, 255)};

    // `view` is repainted when the answers change.
    SdiOutcomeColours(DbConnection &conn, QWidget *view, QObject *parent = nullptr);

    // Reads the latest answers again; a connection that is down keeps the ones read before
    // (the list's own re-reading reports the server's failures).
    void refresh();
    void setInterval(int ms) { m_timer.setInterval(ms); }

    // The outcome of the invoice in `row` of `testata`, for the file it carries now.
    Sdi::Outcome outcome(const DbTable &testata, int row) const;
    // The style of that row, when its outcome has a colour of its own.
    std::optional<RowStyle> style(const DbTable &testata, int row) const;

private:
    DbConnection &m_conn;
    QWidget *m_view;
    QTimer m_timer;
    QHash<int, Sdi::Latest> m_latest;
};
