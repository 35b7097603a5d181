#pragma once
#include <string>

// Splits text at vertical bars into three fields: the part before the first bar, the part
// between the first and the second bar (empty when there is only one bar), and all the rest,
// further bars included. Text that is empty or holds no bar produces nothing: the outputs
// keep what they held, and the function returns false.
bool SplitThreeFields(const std::wstring& text, std::wstring& field1, std::wstring& field2, std::wstring& field3);
