#pragma once
// The one seam through which commands show information boxes and ask confirmations.
// The screens install a seam that shows real message boxes; tests install one that
// answers from a script and records what was shown.
#include <QString>

class Messages {
public:
    virtual ~Messages() = default;
    // An information box with an OK button.
    virtual void inform(const QString &text) = 0;
    // A confirmation box with Yes and No; true only for Yes.
    virtual bool confirm(const QString &text) = 0;
};
