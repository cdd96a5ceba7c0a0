#pragma once

#include <QString>

// The one quoting helper for statements built from values. The local SQL
// reads a doubled quote inside a constant as one quote character, so any
// name or edition reaches the engine whole and never breaks the statement.
namespace sql {

// "value" with every double quote doubled.
QString quoteDouble(const QString &value);
// 'value' with every single quote doubled.
QString quoteSingle(const QString &value);

} // namespace sql
