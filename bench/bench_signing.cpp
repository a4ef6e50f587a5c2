// Time to sign one invoice with the key of a certificate file, as the service does it for
// every public administration's invoice: the PKCS#12 file read and opened with its
// password, the certificate checked, the CAdES-BES envelope made and read back by the
// reader of received files. A test authority and certificate (RSA 2048) are made first.
//   build/bench/bench_signing [N] [invoice.xml] [signed.p7m]
// N signings (default 200) of the invoice (default: the demonstration FPA12 invoice of
// schema/ricevute); the last envelope is written to the third argument when given.
#include "service/cades_signature.h"
#include "service/invoice_signing.h"
#include "service/signing_file_key.h"
#include "test_pki.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int n = argc > 1 ? std::max(1, atoi(argv[1])) : 200;
    const QString invoicePath = argc > 2 ? QString::fromLocal8Bit(argv[2])
                                         : QStringLiteral(XN_DEFAULT_SCHEMA_DIR "/ricevute/IT01234567890_FPA03.xml");
    QFile invoice(invoicePath);
    if (!invoice.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(invoicePath));
        return 1;
    }
    const QByteArray bytes = invoice.readAll();

    QTemporaryDir dir;
    TestPki::Authority ca;
    TestPki::Signer signer(ca, "/C=IT/O=Alfa & Beta S.r.l./CN=Mario Rossi", -TestPki::Day, 365 * TestPki::Day);
    const QString p12 = dir.filePath(QStringLiteral("firma.p12"));
    TestPki::writeFile(p12, TestPki::pkcs12(signer.key.get(), signer.cert.get(), ca.cert.get(), "benchmark"));

    SigningSettings settings;
    settings.file = p12;
    settings.password = QStringLiteral("benchmark");
    InvoiceSigner invoiceSigner(settings);

    std::vector<double> whole, envelopeOnly;
    OutgoingFile last;
    const SigningIdentity identity = loadFileIdentity(p12, settings.password);
    for (int i = 0; i < n; ++i) {
        QElapsedTimer t;
        t.start();
        last = invoiceSigner.prepare(bytes, QStringLiteral("IT01234567890_FPA03.xml"));
        whole.push_back(double(t.nsecsElapsed()) / 1e6);
        t.restart();
        const QByteArray envelope = signCades(identity, bytes);
        envelopeOnly.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    auto report = [](const char *what, std::vector<double> ms) {
        std::sort(ms.begin(), ms.end());
        double sum = 0;
        for (double v : ms)
            sum += v;
        std::printf("%-58s mean %7.2f ms  median %7.2f ms  max %7.2f ms\n", what, sum / double(ms.size()), ms[ms.size() / 2], ms.back());
    };
    std::printf("%d signings of %s (%lld bytes) -> %s (%lld bytes)\n", n, qPrintable(invoicePath), qlonglong(bytes.size()),
                qPrintable(last.name), qlonglong(last.bytes.size()));
    report("whole step (file key loaded, checked, signed, read back)", whole);
    report("envelope only (key already loaded)", envelopeOnly);
    if (argc > 3) {
        QFile out(QString::fromLocal8Bit(argv[3]));
        if (!out.open(QIODevice::WriteOnly) || out.write(last.bytes) != last.bytes.size())
            return 1;
        std::printf("signed file written to %s\n", argv[3]);
    }
    return 0;
}
