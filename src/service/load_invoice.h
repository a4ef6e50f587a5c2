#pragma once
// One request of the loading address (/Fatt_Acq/read_xml.php): a received file, named by
// its bare name in the received-invoices folder, is loaded into test_car and dett_car.
#include "service/html_page.h"

#include <QString>
#include <optional>

class DbConnection;

ServiceAnswer loadInvoice(DbConnection &conn, const QString &receivedFolder, const std::optional<QString> &nomeFile);
