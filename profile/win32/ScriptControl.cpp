#include "profile/win32/ScriptControl.h"

#include <windows.h>
// After windows.h, which they need.
#include <objbase.h>
#include <oleauto.h>

#include <vector>

#include "protocol/win32/WideText.h"

namespace zorvi {
namespace {

// A VARIANT cleared when it goes.
class Variant {
 public:
  Variant() { VariantInit(&value_); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  ~Variant() { VariantClear(&value_); }
  VARIANT* get() { return &value_; }

 private:
  VARIANT value_;
};

// A GBK text as a BSTR VARIANT (freed by VariantClear).
void setText(Variant& variant, std::string_view gbk) {
  const std::wstring wide = wideFromGbk(gbk);
  V_VT(variant.get()) = VT_BSTR;
  V_BSTR(variant.get()) = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
}

bool dispatchId(IDispatch* object, const wchar_t* name, DISPID& id) {
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  return SUCCEEDED(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id));
}

// Invokes `name`; `arguments` are in call order (IDispatch wants them reversed).
bool invoke(IDispatch* object, const wchar_t* name, WORD flags, std::vector<Variant>& arguments, VARIANT* result) {
  DISPID id = 0;
  if (!dispatchId(object, name, id)) {
    return false;
  }
  std::vector<VARIANT> reversed;
  for (auto it = arguments.rbegin(); it != arguments.rend(); ++it) {
    reversed.push_back(*it->get());  // shallow copies: the Variants keep ownership
  }
  DISPPARAMS parameters{};
  parameters.rgvarg = reversed.data();
  parameters.cArgs = static_cast<UINT>(reversed.size());
  DISPID namedPut = DISPID_PROPERTYPUT;
  if (flags == DISPATCH_PROPERTYPUT) {
    parameters.rgdispidNamedArgs = &namedPut;
    parameters.cNamedArgs = 1;
  }
  return SUCCEEDED(object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &parameters, result, nullptr, nullptr));
}

}  // namespace

ScriptControl::ScriptControl() {
  ownsComReference_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  CLSID classId{};
  if (FAILED(CLSIDFromProgID(L"ScriptControl", &classId))) {
    return;
  }
  void* created = nullptr;
  if (FAILED(CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, &created))) {
    return;
  }
  control_ = static_cast<IDispatch*>(created);
  std::vector<Variant> language(1);
  setText(language[0], "VBScript");
  if (!invoke(control_, L"Language", DISPATCH_PROPERTYPUT, language, nullptr)) {
    control_->Release();
    control_ = nullptr;
  }
}

ScriptControl::~ScriptControl() {
  if (control_ != nullptr) {
    control_->Release();
  }
  if (ownsComReference_) {
    CoUninitialize();
  }
}

bool ScriptControl::executeStatement(std::string_view statement) {
  std::vector<Variant> arguments(1);
  setText(arguments[0], statement);
  Variant ignored;
  return usable() && invoke(control_, L"ExecuteStatement", DISPATCH_METHOD, arguments, ignored.get());
}

std::string ScriptControl::run(std::string_view function, std::span<const std::string_view> arguments) {
  if (!usable()) {
    return {};
  }
  std::vector<Variant> callArguments(arguments.size() + 1);
  setText(callArguments[0], function);
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    setText(callArguments[i + 1], arguments[i]);
  }
  Variant result;
  if (!invoke(control_, L"Run", DISPATCH_METHOD, callArguments, result.get())) {
    return {};
  }
  Variant text;
  if (FAILED(VariantChangeType(text.get(), result.get(), 0, VT_BSTR)) || V_BSTR(text.get()) == nullptr) {
    return {};
  }
  return gbkFromWide(std::wstring_view(V_BSTR(text.get()), SysStringLen(V_BSTR(text.get()))));
}

}  // namespace zorvi
