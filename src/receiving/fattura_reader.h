#pragma once
// Reading of a received FatturaPA document (FPR12 or FPA12, schema 1.2.x) into plain
// values: the supplier from the header, and per invoice body its document data, VAT
// summary, payment instalments and lines. Numbers stay exact (Decimal); texts are kept
// as written in the file. Nothing here touches the database.
#include "data/decimal.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>
#include <optional>

namespace Received {

struct Supplier {
    QString name;        // Denominazione, or Nome and Cognome
    QString address;     // Indirizzo and NumeroCivico
    QString town, postCode, province, country;
    QString vatNumber;   // IdFiscaleIVA/IdCodice
    QString taxCode;     // CodiceFiscale
};

struct Discount {
    QString kind;                    // "SC" or "MG"
    std::optional<Decimal> percent;
    std::optional<Decimal> amount;
};

struct VatSummary {
    Decimal rate;
    QString nature;
    Decimal expenses;                // SpeseAccessorie
    std::optional<Decimal> rounding; // Arrotondamento
    Decimal taxable;
    Decimal tax;
    QString chargeability;           // EsigibilitaIVA
    QString legalReference;          // RiferimentoNormativo
};

struct Instalment {
    QDate due;                       // invalid when the file gives none
    Decimal amount;
};

struct Line {
    int number = 0;
    QString codeType, codeValue;     // the first CodiceArticolo
    QString description;
    std::optional<Decimal> quantity;
    QString unit;
    Decimal unitPrice;
    std::optional<Discount> discount; // the first ScontoMaggiorazione
    Decimal total;
    Decimal rate;
    QString nature;
    QString kind;                    // TipoCessionePrestazione
    QString withholding;             // Ritenuta
    QString administrationRef;       // RiferimentoAmministrazione
};

struct Body {
    QString documentType;
    QDate date;
    QString number;
    std::optional<Decimal> documentTotal;  // ImportoTotaleDocumento
    std::optional<Discount> discount;      // the first document discount
    QList<VatSummary> summaries;
    QString paymentCondition;              // of the first DatiPagamento
    QString paymentMethod;                 // of its first instalment
    QList<Instalment> instalments;         // of every DatiPagamento, in file order
    QList<Line> lines;

    // ImportoTotaleDocumento, or the taxable amounts and taxes of the summary added up.
    Decimal total() const;
};

struct Document {
    QString format;             // FPR12 or FPA12
    QString recipientCode;      // CodiceDestinatario
    QString recipientPec;       // PECDestinatario
    Supplier supplier;
    QList<Body> bodies;
};

struct ReadResult {
    std::optional<Document> document;
    QString error;  // Italian, when document is empty
};

// Parses `xml`. Refuses a text over 5 MB, one that declares a document type (DTD or
// entities: a FatturaPA file has none), one that is not well-formed XML, whose root is not
// a FatturaPA document of the 1.2 namespace, that has no header or no body, or whose dates
// and amounts do not read.
ReadResult readFattura(const QByteArray &xml);

} // namespace Received
