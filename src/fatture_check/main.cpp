// fatture-check FILE...: checks FatturaPA files (.xml, or signed .xml.p7m) as the exchange
// system would, without sending them. One line per problem: file, code, element, message;
// with --json one JSON object per file. --received applies the rules for a received
// invoice. Exit status: 0 every file passes (warnings allowed), 1 a file would be rejected,
// 2 a file cannot be read (or the command is misused).
#include "fatture_check/checked_file.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <libxml/parser.h>

#include <cstdio>

namespace {

void printLine(const QString &text, FILE *to = stdout)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), to);
    std::fputc('\n', to);
}

QJsonObject asJson(const CheckedFile &file)
{
    QJsonArray problems;
    for (const PresendProblem &p : file.problems)
        problems.append(QJsonObject{{QStringLiteral("codice"), p.code},
                                    {QStringLiteral("elemento"), p.element},
                                    {QStringLiteral("messaggio"), p.detail},
                                    {QStringLiteral("gravita"), p.isWarning() ? QStringLiteral("avviso") : QStringLiteral("scarto")}});
    QString outcome = QStringLiteral("valido");
    if (!file.readable)
        outcome = QStringLiteral("non leggibile");
    else if (hasRefusals(file.problems))
        outcome = QStringLiteral("scartato");
    return {{QStringLiteral("file"), file.path}, {QStringLiteral("esito"), outcome}, {QStringLiteral("problemi"), problems}};
}

void printText(const CheckedFile &file)
{
    for (const PresendProblem &p : file.problems)
        printLine(QStringLiteral("%1: %2%3").arg(file.path, p.isWarning() ? QStringLiteral("avviso ") : QString(), describeProblem(p)));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    xmlInitParser();
    bool json = false, received = false;
    QStringList files;
    bool optionsEnded = false;
    for (const QString &arg : app.arguments().mid(1)) {
        if (!optionsEnded && arg == QLatin1String("--json"))
            json = true;
        else if (!optionsEnded && arg == QLatin1String("--received"))
            received = true;
        else if (!optionsEnded && arg == QLatin1String("--"))
            optionsEnded = true;
        else if (!optionsEnded && arg.startsWith(QLatin1String("--"))) {
            printLine(QStringLiteral("fatture-check: opzione sconosciuta %1").arg(arg), stderr);
            files.clear();
            break;
        } else
            files << arg;
    }
    if (files.isEmpty()) {
        printLine(QStringLiteral("uso: fatture-check [--json] [--received] FILE..."), stderr);
        return 2;
    }
    int status = 0;
    for (const QString &path : files) {
        const CheckedFile file = checkOneFile(path, received);
        if (json)
            printLine(QString::fromUtf8(QJsonDocument(asJson(file)).toJson(QJsonDocument::Compact)));
        else
            printText(file);
        if (!file.readable)
            status = 2;
        else if (status == 0 && hasRefusals(file.problems))
            status = 1;
    }
    std::fflush(stdout);
    return status;
}
