#include "invoice/testata_hooks.h"

#include "data/diz.h"
#include "invoice/testata_calc_fields.h"
#include "invoice/testata_new_record.h"

void installTestataHooks(TDiz &diz)
{
    diz.Testata.addCalculatedField(QStringLiteral("prot"), DbField::Kind::Text, 20);
    diz.Testata.setCalcFieldsHook(TestataCalcFields);
    diz.Testata.setNewRecordHook(TestataNewRecord);
}
