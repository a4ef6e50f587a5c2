// The general error box and the scripted message seam that the GUI tests rely on.
#include "data/app_error.h"
#include "ui/kit/command.h"
#include "ui/kit/scripted_messages.h"

#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

using Kind = ScriptedMessages::Kind;

TEST(GeneralErrorBox, AnUncaughtErrorStopsTheCommandAndShowsItsText)
{
    ScriptedMessages msgs;
    msgs.expectError(QStringLiteral("Lost connection to server during query"));
    msgs.expectError(QStringLiteral("plain failure"));
    int reached = 0;
    EXPECT_FALSE(runCommand([&] {
        ++reached;
        throw DbError(QStringLiteral("Lost connection to server during query"), 2013);
        ++reached;
    }));
    EXPECT_FALSE(runCommand([] { throw std::runtime_error("plain failure"); }));
    EXPECT_TRUE(runCommand([&] { ++reached; }));
    EXPECT_EQ(reached, 2);
    EXPECT_EQ(msgs.pending(), 0);
    EXPECT_TRUE(msgs.unexpected().isEmpty());
}

TEST(GeneralErrorBox, AButtonCommandThatFailsLeavesTheProgramGoingOn)
{
    ScriptedMessages msgs;
    msgs.expectError(QStringLiteral("'abc' is not a valid floating point value"));
    QPushButton button;
    int clicks = 0;
    onClick(&button, [&] {
        if (++clicks == 1)
            throw ConversionError(QStringLiteral("'abc' is not a valid floating point value"));
    });
    QTest::mouseClick(&button, Qt::LeftButton);
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(msgs.shownTexts(), QStringList{QStringLiteral("'abc' is not a valid floating point value")});
    EXPECT_TRUE(msgs.unexpected().isEmpty());
}

TEST(ScriptedMessagesSeam, AnswersInOrderAndRecordsEveryBox)
{
    ScriptedMessages msgs;
    msgs.expectConfirm(QStringLiteral("Confermi invio a SDI ?"), false);
    msgs.expectConfirm(QStringLiteral("Confermi invio a SDI ?"), true);
    msgs.expectOkCancel(QStringLiteral("Delete record?"), true);
    msgs.expectInform(QStringLiteral("Mancanza Dati"));
    Messages &seam = uiMessages();
    EXPECT_FALSE(seam.confirm(QStringLiteral("Confermi invio a SDI ?")));
    EXPECT_TRUE(seam.confirm(QStringLiteral("Confermi invio a SDI ?")));
    EXPECT_TRUE(uiMessages().confirmOkCancel(QStringLiteral("Delete record?")));
    seam.inform(QStringLiteral("Mancanza Dati"));
    EXPECT_EQ(msgs.shown().size(), 4);
    EXPECT_EQ(msgs.shown().at(2).kind, Kind::OkCancel);
    EXPECT_EQ(msgs.pending(), 0);
    EXPECT_TRUE(msgs.unexpected().isEmpty());
}

TEST(ScriptedMessagesSeam, AnUnexpectedBoxIsReportedAndAnsweredNoInsteadOfWaiting)
{
    QStringList reported;
    ScriptedMessages msgs([&](const QString &what) { reported << what; });
    msgs.expectConfirm(QStringLiteral("Confermi Eliminazione Fattura: ?"), true);
    // A different text than expected, then a box with nothing expected at all.
    EXPECT_FALSE(uiMessages().confirm(QStringLiteral("Confermi Eliminazione Riga: ?")));
    EXPECT_FALSE(uiMessages().confirmOkCancel(QStringLiteral("Delete record?")));
    ASSERT_EQ(reported.size(), 2);
    EXPECT_TRUE(reported[0].contains(QStringLiteral("Confermi Eliminazione Riga: ?")));
    EXPECT_TRUE(reported[0].contains(QStringLiteral("expected confirmation box \"Confermi Eliminazione Fattura: ?\"")));
    EXPECT_EQ(msgs.unexpected(), reported);
    EXPECT_EQ(msgs.pending(), 1);
}

TEST(ScriptedMessagesSeam, InstallsItselfForItsLifetimeOnly)
{
    UiMessages *outer = &uiMessages();
    {
        ScriptedMessages first;
        EXPECT_EQ(&uiMessages(), &first);
        {
            ScriptedMessages second;
            EXPECT_EQ(&uiMessages(), &second);
        }
        EXPECT_EQ(&uiMessages(), &first);
    }
    EXPECT_EQ(&uiMessages(), outer);
}

} // namespace
