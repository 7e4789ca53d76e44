#include "app/controls/accessible_description_win.h"

#include <oleacc.h>

#include <atomic>
#include <new>
#include <utility>

#include "base/system_library_win.h"

namespace {

using AllocFn = BSTR(WINAPI*)(const OLECHAR*);

bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

// The system's object with another name or description; everything else is
// passed through unchanged.
class DescribedAccessible final : public IAccessible {
 public:
  DescribedAccessible(IAccessible* inner, const AccessibleTexts& texts, AllocFn alloc)
      : inner_(inner), texts_(texts), alloc_(alloc) {}

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (IsEqualIID(iid, __uuidof(IUnknown)) || IsEqualIID(iid, __uuidof(IDispatch)) ||
        IsEqualIID(iid, __uuidof(IAccessible))) {
      *object = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    // The system's object has more (IEnumVARIANT, IOleWindow), but handed
    // out here they would be another object's: their IUnknown would not be
    // ours. Clients find the rows and the window without them.
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

  // IDispatch
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    return inner_->GetTypeInfoCount(count);
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
    return inner_->GetTypeInfo(index, locale, info);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                          DISPID* ids) override {
    return inner_->GetIDsOfNames(iid, names, count, locale, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags,
                                   DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                   UINT* bad_argument) override {
    return inner_->Invoke(id, iid, locale, flags, params, result, exception, bad_argument);
  }

  // IAccessible
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
    if (!IsSelf(child) || texts_.description.empty()) {
      return inner_->get_accDescription(child, description);
    }
    return Answer(texts_.description, description);
  }
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    return inner_->get_accParent(parent);
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
    return inner_->get_accChildCount(count);
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
    return inner_->get_accChild(child, object);
  }
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    if (!IsSelf(child) || texts_.name.empty()) return inner_->get_accName(child, name);
    return Answer(texts_.name, name);
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
    return inner_->get_accValue(child, value);
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    return inner_->get_accRole(child, role);
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    return inner_->get_accState(child, state);
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
    return inner_->get_accHelp(child, help);
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
    return inner_->get_accHelpTopic(file, child, topic);
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
    return inner_->get_accKeyboardShortcut(child, shortcut);
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override {
    return inner_->get_accFocus(child);
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
    return inner_->get_accSelection(children);
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
    return inner_->get_accDefaultAction(child, action);
  }
  HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override {
    return inner_->accSelect(flags, child);
  }
  HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                        VARIANT child) override {
    return inner_->accLocation(left, top, width, height, child);
  }
  HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
    return inner_->accNavigate(direction, start, end);
  }
  HRESULT STDMETHODCALLTYPE accHitTest(LONG left, LONG top, VARIANT* child) override {
    return inner_->accHitTest(left, top, child);
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    return inner_->accDoDefaultAction(child);
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
    return inner_->put_accName(child, name);
  }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
    return inner_->put_accValue(child, value);
  }

 private:
  ~DescribedAccessible() { inner_->Release(); }

  HRESULT Answer(const std::wstring& text, BSTR* answer) const {
    if (answer == nullptr) return E_POINTER;
    *answer = alloc_(text.c_str());
    return *answer != nullptr ? S_OK : E_OUTOFMEMORY;
  }

  IAccessible* inner_;
  AccessibleTexts texts_;
  AllocFn alloc_;
  std::atomic<ULONG> references_{1};
};

}  // namespace

const AccessibleCalls& SystemAccessibleCalls() {
  // Loaded once and kept: the objects handed out run their code.
  static const AccessibleCalls calls = [] {
    const HMODULE oleacc = LoadSystemLibrary(L"oleacc.dll");
    const HMODULE oleaut = LoadSystemLibrary(L"oleaut32.dll");
    AccessibleCalls c;
    c.create = LibraryFunction<decltype(c.create)>(oleacc, "CreateStdAccessibleObject");
    c.result = LibraryFunction<decltype(c.result)>(oleacc, "LresultFromObject");
    c.alloc = LibraryFunction<decltype(c.alloc)>(oleaut, "SysAllocString");
    return c;
  }();
  return calls;
}

std::optional<LRESULT> AnswerGetObject(HWND control, WPARAM wparam, LPARAM lparam,
                                       const AccessibleTexts& texts, const AccessibleCalls& calls) {
  if (static_cast<LONG>(lparam) != OBJID_CLIENT) return std::nullopt;
  if (calls.create == nullptr || calls.result == nullptr || calls.alloc == nullptr) {
    return std::nullopt;
  }
  IAccessible* standard = nullptr;
  if (FAILED(calls.create(control, OBJID_CLIENT, __uuidof(IAccessible),
                          reinterpret_cast<void**>(&standard))) ||
      standard == nullptr) {
    return std::nullopt;
  }
  auto* described = new (std::nothrow) DescribedAccessible(standard, texts, calls.alloc);
  if (described == nullptr) {
    standard->Release();
    return std::nullopt;
  }
  // LresultFromObject takes its own reference. It answers a failure (no
  // COM apartment on this thread, no memory) as a negative HRESULT, which
  // as our answer would leave the client with nothing.
  const LRESULT result = calls.result(__uuidof(IAccessible), wparam, described);
  described->Release();
  if (FAILED(static_cast<HRESULT>(result))) return std::nullopt;
  return result;
}

LRESULT DescribedControl::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_GETOBJECT) {
    if (const auto answer = AnswerGetObject(hwnd_, wparam, lparam, texts_)) return *answer;
  }
  return CallOriginal(message, wparam, lparam);
}
