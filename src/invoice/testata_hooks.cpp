#include "testata_hooks.h"

#include "diz.h"
#include "testata_calc_fields.h"
#include "testata_new_record.h"

void installTestataHooks(TDiz &diz)
{
    diz.Testata.addCalculatedField(QStringLiteral("prot"), DbField::Kind::Text, 20);
    diz.Testata.setCalcFieldsHook(TestataCalcFields);
    diz.Testata.setNewRecordHook(TestataNewRecord);
}
