#include "ui/kit/scripted_messages.h"

ScriptedMessages::ScriptedMessages(std::function<void(const QString &)> onUnexpected)
    : m_onUnexpected(std::move(onUnexpected)), m_previous(installUiMessages(this))
{
}

ScriptedMessages::~ScriptedMessages() { installUiMessages(m_previous); }

void ScriptedMessages::expect(Kind kind, const std::optional<QString> &text, bool answer)
{
    m_expected.append({kind, text, answer});
}

QStringList ScriptedMessages::shownTexts() const
{
    QStringList out;
    for (const Box &b : m_shown)
        out << b.text;
    return out;
}

void ScriptedMessages::clear()
{
    m_expected.clear();
    m_shown.clear();
    m_unexpected.clear();
}

QString ScriptedMessages::kindName(Kind kind)
{
    switch (kind) {
    case Kind::Inform:
        return QStringLiteral("information");
    case Kind::Confirm:
        return QStringLiteral("confirmation");
    case Kind::OkCancel:
        return QStringLiteral("OK/Cancel question");
    case Kind::Error:
        return QStringLiteral("error");
    }
    return QString();
}

bool ScriptedMessages::answer(Kind kind, const QString &text)
{
    m_shown.append({kind, text});
    if (!m_expected.isEmpty()) {
        const Expected &next = m_expected.front();
        if (next.kind == kind && (!next.text || *next.text == text)) {
            const bool reply = next.answer;
            m_expected.removeFirst();
            return reply;
        }
    }
    QString what = QStringLiteral("unexpected %1 box: \"%2\"").arg(kindName(kind), text);
    if (!m_expected.isEmpty()) {
        const Expected &next = m_expected.front();
        what += QStringLiteral(" (expected %1 box%2)")
                    .arg(kindName(next.kind), next.text ? QStringLiteral(" \"%1\"").arg(*next.text) : QString());
    }
    m_unexpected << what;
    if (m_onUnexpected)
        m_onUnexpected(what);
    return false;
}

void ScriptedMessages::inform(const QString &text) { answer(Kind::Inform, text); }
bool ScriptedMessages::confirm(const QString &text) { return answer(Kind::Confirm, text); }
void ScriptedMessages::error(const QString &text) { answer(Kind::Error, text); }
bool ScriptedMessages::confirmOkCancel(const QString &text) { return answer(Kind::OkCancel, text); }
