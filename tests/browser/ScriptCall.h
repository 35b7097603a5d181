#pragma once
#include <windows.h>
#include <oleauto.h>

#include <string>
#include <vector>

// Builds the argument block page script would pass: arguments in the order the script wrote
// them, stored last first as IDispatch::Invoke expects. Owns its strings.
class ScriptCall {
public:
    explicit ScriptCall(std::vector<std::wstring> args)
    {
        vars_.resize(args.size());
        for (size_t i = 0; i < args.size(); ++i) {
            VARIANT& v = vars_[args.size() - 1 - i];
            VariantInit(&v);
            v.vt = VT_BSTR;
            v.bstrVal = SysAllocString(args[i].c_str());
        }
        Refresh();
    }
    ScriptCall(const ScriptCall&) = delete;
    ScriptCall& operator=(const ScriptCall&) = delete;
    ~ScriptCall()
    {
        for (VARIANT& v : vars_)
            VariantClear(&v);
    }
    // Element i of the stored block (0 = the last argument written).
    VARIANT& Stored(size_t i) { return vars_[i]; }
    DISPPARAMS* Params() { return &params_; }

private:
    void Refresh() { params_ = DISPPARAMS{vars_.empty() ? nullptr : vars_.data(), nullptr, static_cast<UINT>(vars_.size()), 0}; }

    std::vector<VARIANT> vars_;
    DISPPARAMS params_{};
};
