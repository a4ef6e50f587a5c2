#pragma once
// A message seam for tests: installed for its lifetime, it answers boxes from a list of
// expected boxes given beforehand, in order, and records every box shown. A box that was
// not expected (or differs from the next expected one) is recorded as unexpected,
// reported to the failure hook and answered No / Cancel, so a test fails instead of
// waiting for a click that never comes.
#include "ui/kit/ui_messages.h"

#include <QList>
#include <QStringList>
#include <functional>
#include <optional>

class ScriptedMessages : public UiMessages {
public:
    enum class Kind { Inform, Confirm, OkCancel, Error };
    struct Box {
        Kind kind;
        QString text;
    };

    explicit ScriptedMessages(std::function<void(const QString &)> onUnexpected = {});
    ~ScriptedMessages() override;
    ScriptedMessages(const ScriptedMessages &) = delete;
    ScriptedMessages &operator=(const ScriptedMessages &) = delete;

    // The next box must be of this kind and (when given) show exactly this text;
    // `answer` is the reply to a question (Yes / OK when true).
    void expect(Kind kind, const std::optional<QString> &text = std::nullopt, bool answer = true);
    void expectInform(const QString &text) { expect(Kind::Inform, text); }
    void expectConfirm(const QString &text, bool yes) { expect(Kind::Confirm, text, yes); }
    void expectOkCancel(const QString &text, bool ok) { expect(Kind::OkCancel, text, ok); }
    void expectError(const std::optional<QString> &text = std::nullopt) { expect(Kind::Error, text); }

    const QList<Box> &shown() const { return m_shown; }
    QStringList shownTexts() const;
    const QStringList &unexpected() const { return m_unexpected; }
    // Expected boxes that have not been shown yet.
    int pending() const { return int(m_expected.size()); }
    void clear();

    void inform(const QString &text) override;
    bool confirm(const QString &text) override;
    void error(const QString &text) override;
    bool confirmOkCancel(const QString &text) override;

    static QString kindName(Kind kind);

private:
    struct Expected {
        Kind kind;
        std::optional<QString> text;
        bool answer;
    };
    bool answer(Kind kind, const QString &text);

    std::function<void(const QString &)> m_onUnexpected;
    UiMessages *m_previous;
    QList<Expected> m_expected;
    QList<Box> m_shown;
    QStringList m_unexpected;
};
