#pragma once
// A message seam for the core layers' tests (the commands that take a Messages&): it
// answers every confirmation with `answer` and records the questions and the
// information shown. Screens' tests use ScriptedMessages / ExpectedBoxes of the screens'
// own seam instead; the two never clash, so one test program may use both.
#include "messages.h"

#include <QStringList>

class RecordedMessages : public Messages {
public:
    bool answer = true;
    QStringList questions;
    QStringList informed;
    void inform(const QString &text) override { informed << text; }
    bool confirm(const QString &text) override
    {
        questions << text;
        return answer;
    }
};
