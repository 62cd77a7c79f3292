#pragma once

namespace tavi {

// The SQL that makes an empty notes database (assets/schema.sql).
const char *notesSchemaSql();

} // namespace tavi
