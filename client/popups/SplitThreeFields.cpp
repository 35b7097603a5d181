#include "client/popups/SplitThreeFields.h"

bool SplitThreeFields(const std::wstring& text, std::wstring& field1, std::wstring& field2, std::wstring& field3)
{
    const size_t first = text.find(L'|');
    if (first == std::wstring::npos)
        return false;
    field1 = text.substr(0, first);
    std::wstring rest = text.substr(first + 1);
    const size_t second = rest.find(L'|');
    if (second == std::wstring::npos) {
        field2.clear();
    } else {
        field2 = rest.substr(0, second);
        rest = rest.substr(second + 1);
    }
    field3 = rest;
    return true;
}
