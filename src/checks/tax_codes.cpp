#include "checks/tax_codes.h"

#include <array>

namespace TaxCodes {

namespace {

bool allDigits(const QString &s)
{
    for (QChar c : s)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return !s.isEmpty();
}

bool isUpperLetter(QChar c)
{
    return c >= QLatin1Char('A') && c <= QLatin1Char('Z');
}

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Values of a character in an odd position (first, third, ...) of a personal fiscal code,
// for the digits 0-9 and the letters A-Z alike (a digit counts as the letter of its rank).
constexpr std::array<int, 26> OddValues = {1, 0, 5, 7, 9, 13, 15, 17, 19, 21, 2, 4, 18,
                                           20, 11, 3, 6, 8, 12, 14, 16, 10, 22, 25, 24, 23};

// The letters that stand for the digits 0-9 in a code changed for omocodia.
constexpr const char *OmocodiaLetters = "LMNPQRSTUV";
// The positions (from 0) of a personal code that hold digits, or their omocodia letters.
constexpr std::array<int, 7> DigitPositions = {6, 7, 9, 10, 12, 13, 14};
// The month letters, January to December.
constexpr const char *MonthLetters = "ABCDEHLMPRST";

// The digit of a position that may carry an omocodia letter; -1 when it is neither.
int digitAt(QChar c)
{
    if (isDigit(c))
        return c.unicode() - '0';
    const char *letters = OmocodiaLetters;
    for (int i = 0; letters[i]; ++i)
        if (c == QLatin1Char(letters[i]))
            return i;
    return -1;
}

QString personalCodeFault(const QString &code)
{
    for (int i : {0, 1, 2, 3, 4, 5, 8, 11, 15})
        if (!isUpperLetter(code[i]))
            return QStringLiteral("il carattere %1 deve essere una lettera maiuscola").arg(i + 1);
    for (int i : DigitPositions)
        if (digitAt(code[i]) < 0)
            return QStringLiteral("il carattere %1 deve essere una cifra o una lettera di omocodia (LMNPQRSTUV)").arg(i + 1);
    if (!QString::fromLatin1(MonthLetters).contains(code[8]))
        return QStringLiteral("la lettera del mese \"%1\" non è una di ABCDEHLMPRST").arg(code[8]);
    const int day = digitAt(code[9]) * 10 + digitAt(code[10]);
    if (!((day >= 1 && day <= 31) || (day >= 41 && day <= 71)))
        return QStringLiteral("il giorno di nascita %1 non è tra 01 e 31 (uomini) o tra 41 e 71 (donne)").arg(day, 2, 10, QLatin1Char('0'));
    const char expected = fiscalCodeCheckCharacter(code.left(15));
    if (code[15] != QLatin1Char(expected))
        return QStringLiteral("il carattere di controllo è %1, dovrebbe essere %2").arg(code[15]).arg(QLatin1Char(expected));
    return {};
}

} // namespace

int vatCheckDigit(const QString &firstTen)
{
    if (firstTen.size() != 10 || !allDigits(firstTen))
        return -1;
    int sum = 0;
    for (int i = 0; i < 10; ++i) {
        int d = firstTen[i].unicode() - '0';
        if (i % 2 == 1) {
            d *= 2;
            if (d > 9)
                d -= 9;
        }
        sum += d;
    }
    return (10 - sum % 10) % 10;
}

char fiscalCodeCheckCharacter(const QString &firstFifteen)
{
    if (firstFifteen.size() != 15)
        return '\0';
    int sum = 0;
    for (int i = 0; i < 15; ++i) {
        const QChar c = firstFifteen[i];
        int rank = 0;
        if (isDigit(c))
            rank = c.unicode() - '0';
        else if (isUpperLetter(c))
            rank = c.unicode() - 'A';
        else
            return '\0';
        // Positions counted from 1: odd ones take the table, even ones their rank.
        sum += i % 2 == 0 ? OddValues[size_t(rank)] : rank;
    }
    return char('A' + sum % 26);
}

QString vatNumberFault(const QString &code)
{
    if (code.size() != 11 || !allDigits(code))
        return QStringLiteral("la partita IVA \"%1\" non è di 11 cifre").arg(code);
    const int expected = vatCheckDigit(code.left(10));
    if (code[10].unicode() - '0' != expected)
        return QStringLiteral("la cifra di controllo della partita IVA \"%1\" è %2, dovrebbe essere %3")
            .arg(code)
            .arg(code[10])
            .arg(expected);
    return {};
}

QString fiscalCodeFault(const QString &code)
{
    if (code.size() == 11) {
        if (!allDigits(code))
            return QStringLiteral("il codice fiscale \"%1\" di 11 caratteri non è di sole cifre").arg(code);
        const int expected = vatCheckDigit(code.left(10));
        if (code[10].unicode() - '0' != expected)
            return QStringLiteral("la cifra di controllo del codice fiscale \"%1\" è %2, dovrebbe essere %3")
                .arg(code)
                .arg(code[10])
                .arg(expected);
        return {};
    }
    if (code.size() != 16)
        return QStringLiteral("il codice fiscale \"%1\" non è di 11 cifre né di 16 caratteri").arg(code);
    const QString fault = personalCodeFault(code);
    return fault.isEmpty() ? QString() : QStringLiteral("codice fiscale \"%1\": %2").arg(code, fault);
}

} // namespace TaxCodes
