#include "ui/kit/db_edit.h"

#include "data/db_table.h"
#include "ui/kit/field_link.h"
#include "data/text_forms.h"

#include <QValidator>

// Turns typed letters to the box's case, refuses more characters than the column holds
// (counted as the server counts them: a character outside the basic plane is one) and,
// in an integer column, lets through only an optional minus sign followed by digits.
class DbEditValidator : public QValidator {
public:
    using QValidator::QValidator;
    DbEdit::CharCase charCase = DbEdit::CharCase::AsTyped;
    bool integer = false;
    int width = 0;

    static bool hasLoneSurrogate(const QString &s)
    {
        for (qsizetype i = 0; i < s.size(); ++i) {
            if (s[i].isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate())
                ++i;
            else if (s[i].isSurrogate())
                return true;
        }
        return false;
    }

    State validate(QString &input, int &) const override
    {
        // A key that would add one character too many is refused; a longer paste keeps the
        // characters that fit, never half of one.
        if (width > 0) {
            const int count = TextForms::characterCount(input);
            if (count == width + 1)
                return Invalid;
            if (count > width)
                input = TextForms::cutToWidth(input, width);
        }
        if (hasLoneSurrogate(input))
            return Invalid;
        if (charCase == DbEdit::CharCase::Upper)
            input = input.toUpper();
        else if (charCase == DbEdit::CharCase::Lower)
            input = input.toLower();
        if (integer) {
            for (qsizetype i = 0; i < input.size(); ++i) {
                const QChar c = input[i];
                if (!(c.isDigit() || (i == 0 && c == QLatin1Char('-'))))
                    return Invalid;
            }
        }
        return Acceptable;
    }
};

DbEdit::DbEdit(DbTable &table, const QString &column, QWidget *parent)
    : QLineEdit(parent),
      m_link(new FieldLink(table, column, [this] { showColumn(); }, this)),
      m_validator(new DbEditValidator(this))
{
    setObjectName(column);
    setValidator(m_validator);
    connect(this, &QLineEdit::textEdited, this, &DbEdit::userEdited);
    showColumn();
}

void DbEdit::setCharCase(CharCase charCase)
{
    m_charCase = charCase;
    m_validator->charCase = charCase;
}

void DbEdit::setDataReadOnly(bool readOnly)
{
    m_dataReadOnly = readOnly;
    showColumn();
}

void DbEdit::showColumn()
{
    const bool active = m_link->isActive();
    setReadOnly(m_dataReadOnly || !active);
    // The box counts UTF-16 units, the column characters: room for the widest characters,
    // the validator keeps the count of characters.
    const int width = m_link->width();
    setMaxLength(width > 0 ? width * 2 : 32767);
    m_validator->width = width;
    if (const DbField *f = m_link->field())
        m_validator->integer = f->kind == DbField::Kind::Integer;
    const QString shown = m_link->text();
    if (shown != text()) {
        const int cursor = cursorPosition();
        setText(shown);
        if (hasFocus())
            setCursorPosition(std::min(cursor, int(shown.size())));
    }
}

int DbEdit::maxChars() const
{
    const int width = m_link->width();
    return width > 0 ? width : maxLength();
}

void DbEdit::userEdited(const QString &typed) { m_link->write(typed); }
