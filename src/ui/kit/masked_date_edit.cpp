#include "ui/kit/masked_date_edit.h"

#include "data/text_forms.h"

// Qt's mask characters mean the opposite of the Delphi ones: here "0" is an optional
// digit and "9" a required one.
MaskedDateEdit::MaskedDateEdit(QWidget *parent) : QLineEdit(parent)
{
    setInputMask(QStringLiteral("00/00/99;_"));
}

QString MaskedDateEdit::maskedText() const
{
    QString t = displayText();
    t.replace(QLatin1Char('_'), QLatin1Char(' '));
    return t;
}

void MaskedDateEdit::setMaskedText(const QString &text) { setText(text); }

void MaskedDateEdit::setDate(const QDate &date) { setText(TextForms::formatShortDate(date)); }

bool MaskedDateEdit::isBlank() const { return maskedText().remove(QLatin1Char('/')).trimmed().isEmpty(); }
