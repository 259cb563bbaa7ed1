#pragma once
// The dictionary's tables written from what the postal service's files
// hold, in one transaction, into a database opened for it.

#include "postal/import/DictionaryImport.h"

#include <sqlite3.h>

#include <memory>

namespace DictionaryImport {

struct DbClose {
    void operator()(sqlite3 *db) const { sqlite3_close(db); }
};
using Db = std::unique_ptr<sqlite3, DbClose>;

// False, with the reason in r->error, when a table cannot be written.
bool writeTables(sqlite3 *db, const Source &source, Result *r);

}  // namespace DictionaryImport
