// fatture-view: a FatturaPA file (plain XML or signed .p7m) rendered with the revenue
// agency's stylesheet, outside the program.
//
//     fatture-view [--html OUT.html] [--pdf OUT.pdf] FILE
//
// Without --html and --pdf the page goes to the standard output. Every output file is
// written whole or not at all. Exit status: 0 done, 1 the file cannot be rendered or an
// output cannot be written (the Italian message on the standard error), 2 wrong usage.
#include "data/app_error.h"
#include "rendering/fattura_html.h"
#include "rendering/html_pdf.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSaveFile>
#include <QStringList>

#include <cstdio>
#include <memory>
#include <optional>

namespace {

struct Arguments {
    QString html, pdf, file;
};

void printError(const QString &text) { std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData()); }

int usage()
{
    printError(QStringLiteral("Uso: fatture-view [--html FILE.html] [--pdf FILE.pdf] FATTURA.xml|FATTURA.xml.p7m"));
    return 2;
}

std::optional<Arguments> parse(int argc, char **argv)
{
    Arguments a;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if ((arg == QLatin1String("--html") || arg == QLatin1String("--pdf")) && i + 1 < argc) {
            QString &target = arg == QLatin1String("--html") ? a.html : a.pdf;
            if (!target.isEmpty())
                return std::nullopt;
            target = QString::fromLocal8Bit(argv[++i]);
        } else if (arg.startsWith(QLatin1String("--")) || !a.file.isEmpty()) {
            return std::nullopt;
        } else {
            a.file = arg;
        }
    }
    if (a.file.isEmpty())
        return std::nullopt;
    return a;
}

void writeWhole(const QString &path, const QByteArray &bytes)
{
    QSaveFile out(path);
    out.setDirectWriteFallback(false);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit())
        throw AppError(QStringLiteral("Impossibile scrivere il file %1: %2").arg(QDir::toNativeSeparators(path), out.errorString()));
}

} // namespace

int main(int argc, char **argv)
{
    const std::optional<Arguments> args = parse(argc, argv);
    if (!args)
        return usage();
    // The PDF is laid out with the fonts of a GUI application, which needs no display here.
    std::unique_ptr<QCoreApplication> app;
    if (!args->pdf.isEmpty()) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }

    const Rendering::FatturaHtml rendered = Rendering::renderFatturaFile(args->file);
    if (!rendered.ok) {
        printError(rendered.error);
        return 1;
    }
    try {
        if (!args->html.isEmpty())
            writeWhole(args->html, rendered.html);
        if (!args->pdf.isEmpty())
            Rendering::writeHtmlPdf(rendered.html, args->pdf, QFileInfo(args->file).fileName());
        if (args->html.isEmpty() && args->pdf.isEmpty())
            std::fwrite(rendered.html.constData(), 1, size_t(rendered.html.size()), stdout);
    } catch (const AppError &e) {
        printError(e.text());
        return 1;
    }
    return 0;
}
