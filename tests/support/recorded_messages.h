#pragma once
// A message seam for the core layers' tests (the commands that take a Messages&): it
// answers every confirmation with `answer` and records the questions and the
// information shown, each apart and all in order. Screens' tests use ScriptedMessages / ExpectedBoxes of the screens'
// own seam instead; the two never clash, so one test program may use both.
#include "data/messages.h"

#include <QStringList>

class RecordedMessages : public Messages {
public:
    bool answer = true;
    QStringList questions;
    QStringList informed;
    QStringList shown;  // every text, questions and information alike, in the order shown
    void inform(const QString &text) override
    {
        informed << text;
        shown << text;
    }
    bool confirm(const QString &text) override
    {
        questions << text;
        shown << text;
        return answer;
    }
};
