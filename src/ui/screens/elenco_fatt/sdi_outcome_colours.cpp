#include "ui/screens/elenco_fatt/sdi_outcome_colours.h"

#include "data/app_error.h"
#include "data/columns.h"
#include "data/db_connection.h"
#include "data/db_table.h"

#include <QWidget>

SdiOutcomeColours::SdiOutcomeColours(DbConnection &conn, QWidget *view, QObject *parent)
    : QObject(parent), m_conn(conn), m_view(view)
{
    m_timer.setInterval(10000);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        if (m_view && m_view->isVisible())
            refresh();
    });
    m_timer.start();
}

void SdiOutcomeColours::refresh()
{
    // Never waits for a server that went away: that is for the list's re-reading to find.
    if (!m_conn.isConnected() || m_conn.isBroken())
        return;
    QHash<int, Sdi::Latest> latest;
    try {
        latest = Sdi::latestAnswers(m_conn);
    } catch (const AppError &) {
        return;
    }
    bool changed = latest.size() != m_latest.size();
    for (auto it = latest.cbegin(); !changed && it != latest.cend(); ++it) {
        const auto held = m_latest.constFind(it.key());
        changed = held == m_latest.constEnd() || held->type != it->type || held->outcome != it->outcome || held->nomeFile != it->nomeFile;
    }
    m_latest = std::move(latest);
    if (changed && m_view)
        m_view->update();
}

Sdi::Outcome SdiOutcomeColours::outcome(const DbTable &testata, int row) const
{
    const int id = testata.fieldIndex(col::testata::id_invio);
    const int name = testata.fieldIndex(col::testata::nome_file);
    if (id < 0 || name < 0)
        return Sdi::Outcome::None;
    const auto it = m_latest.constFind(testata.valueAt(row, id).toInt());
    if (it == m_latest.constEnd())
        return Sdi::Outcome::None;
    return Sdi::outcomeFor(*it, testata.valueAt(row, name).toString());
}

std::optional<RowStyle> SdiOutcomeColours::style(const DbTable &testata, int row) const
{
    switch (outcome(testata, row)) {
    case Sdi::Outcome::Rejected:
        return Rejected;
    case Sdi::Outcome::Refused:
        return Refused;
    default:
        return std::nullopt;
    }
}
