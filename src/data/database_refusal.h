#pragma once
// The database server's refusals as the user reads them: an Italian sentence for the
// refusals a writing can meet (a value that does not fit, a lock waited for too long...),
// followed by the server's own text.
#include <QString>

class DbError;

QString databaseRefusal(const DbError &error);
