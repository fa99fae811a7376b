#include "SqlIdentifiers.h"

namespace tw::odbc {

std::string TranslateBrackets(const std::string& sql, char quote) {
    std::string out;
    out.reserve(sql.size());
    bool inLiteral = false;
    for (size_t i = 0; i < sql.size(); ++i) {
        char c = sql[i];
        if (inLiteral) {
            out += c;
            if (c == '\'') {
                inLiteral = false;  // a doubled '' re-enters on the next character
            }
            continue;
        }
        if (c == '\'') {
            inLiteral = true;
            out += c;
            continue;
        }
        size_t close = c == '[' ? sql.find(']', i + 1) : std::string::npos;
        if (close == std::string::npos) {
            out += c;
            continue;
        }
        const bool quoted = quote != ' ' && quote != '\0';
        if (quoted) {
            out += quote;
        }
        for (size_t j = i + 1; j < close; ++j) {
            if (quoted && sql[j] == quote) {
                out += quote;  // an embedded quote character is doubled
            }
            out += sql[j];
        }
        if (quoted) {
            out += quote;
        }
        i = close;
    }
    return out;
}

}  // namespace tw::odbc
