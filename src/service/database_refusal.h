#pragma once
// The database server's refusals as the user reads them: an Italian sentence for the
// refusals a request can meet, followed by the server's own text.
#include <QString>

class DbError;

QString databaseRefusal(const DbError &error);
