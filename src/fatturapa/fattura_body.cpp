#include "fatturapa/fattura_body.h"

#include "fatturapa/body_blocks.h"
#include "data/diz.h"

void writeFatturaBody(XmlLines &out, TDiz &diz, const FatturaHeader &header, XmlFormat format)
{
    out.write(QStringLiteral("<FatturaElettronicaBody>"));
    writeDatiGenerali(out, diz, header, format);
    writeDettaglioLinee(out, diz.Detta);
    const Decimal taxableTotal = writeDatiRiepilogo(out, diz.Testata, format);
    if (format == XmlFormat::FPR12)
        writeDatiPagamento(out, diz.Testata, diz.AziendaT, header);
    else
        writeDatiPagamentoPA(out, diz.AziendaT, header, taxableTotal);
    out.write(QStringLiteral("</FatturaElettronicaBody>"));
    out.write(format == XmlFormat::FPR12 ? QStringLiteral("</p:FatturaElettronica>")
                                         : QStringLiteral("</ns3:FatturaElettronica>"));
}
