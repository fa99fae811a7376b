#include "Dictionary2.h"

#include <algorithm>

void CDictionary2::DoFieldExchange(tw::odbc::FieldExchange& fx) {
    fx.Text("[Keyword]", m_Keyword);
    fx.Text("[POS1]", m_POS1);
    fx.Text("[POS2]", m_POS2);
    fx.Text("[POS3]", m_POS3);
    fx.Text("[POS4]", m_POS4);
    fx.Text("[POS5]", m_POS5);
    fx.Text("[POS6]", m_POS6);
    fx.Text("[POS7]", m_POS7);
    fx.Text("[POS8]", m_POS8);
    fx.Text("[POS9]", m_POS9);
    fx.Text("[POS10]", m_POS10);
}

std::string CDictionary2::LookUpKeyword(const std::string& keyword) {
    std::string word = keyword;
    word.erase(std::remove(word.begin(), word.end(), '_'), word.end());
    // The keyword is a bound parameter: a quote in it is an ordinary character.
    m_strFilter = "[Keyword] = ?";
    m_filterParams = {word};
    if (!Requery() || GetRecordCount() == 0) {
        return std::string();
    }
    MoveFirst();
    return IsEOF() ? std::string() : m_POS1;
}
