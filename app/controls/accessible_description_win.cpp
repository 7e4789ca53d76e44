#include "app/controls/accessible_description_win.h"

#include <oleacc.h>

#include <atomic>
#include <new>
#include <utility>

namespace {

using CreateStdAccessibleObjectFn = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);
using LresultFromObjectFn = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);
using SysAllocStringFn = BSTR(WINAPI*)(const OLECHAR*);

struct Oleacc {
  CreateStdAccessibleObjectFn create = nullptr;
  LresultFromObjectFn result = nullptr;
  SysAllocStringFn alloc = nullptr;
};

template <typename F>
F Function(HMODULE module, const char* name) {
  return module == nullptr
             ? nullptr
             : reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// Loaded once and kept: the objects handed out run their code.
const Oleacc& Libraries() {
  static const Oleacc libraries = [] {
    Oleacc l;
    const HMODULE oleacc = LoadLibraryW(L"oleacc.dll");
    const HMODULE oleaut = LoadLibraryW(L"oleaut32.dll");
    l.create = Function<CreateStdAccessibleObjectFn>(oleacc, "CreateStdAccessibleObject");
    l.result = Function<LresultFromObjectFn>(oleacc, "LresultFromObject");
    l.alloc = Function<SysAllocStringFn>(oleaut, "SysAllocString");
    return l;
  }();
  return libraries;
}

bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

// The system's object with another description; everything else is passed
// through unchanged.
class DescribedAccessible final : public IAccessible {
 public:
  DescribedAccessible(IAccessible* inner, std::wstring description, SysAllocStringFn alloc)
      : inner_(inner), description_(std::move(description)), alloc_(alloc) {}

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
        IsEqualIID(iid, __uuidof(IAccessible))) {
      *object = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    // The list's rows (IEnumVARIANT) and the window (IOleWindow) as the
    // system's object gives them.
    return inner_->QueryInterface(iid, object);
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
    if (!IsSelf(child)) return inner_->get_accDescription(child, description);
    if (description == nullptr) return E_POINTER;
    *description = alloc_(description_.c_str());
    return *description != nullptr ? S_OK : E_OUTOFMEMORY;
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
    return inner_->get_accName(child, name);
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

  IAccessible* inner_;
  std::wstring description_;
  SysAllocStringFn alloc_;
  std::atomic<ULONG> references_{1};
};

}  // namespace

std::optional<LRESULT> AnswerGetObject(HWND control, WPARAM wparam, LPARAM lparam,
                                       const std::wstring& description) {
  if (static_cast<LONG>(lparam) != OBJID_CLIENT) return std::nullopt;
  const Oleacc& oleacc = Libraries();
  if (oleacc.create == nullptr || oleacc.result == nullptr || oleacc.alloc == nullptr) {
    return std::nullopt;
  }
  IAccessible* standard = nullptr;
  if (FAILED(oleacc.create(control, OBJID_CLIENT, __uuidof(IAccessible),
                           reinterpret_cast<void**>(&standard))) ||
      standard == nullptr) {
    return std::nullopt;
  }
  auto* described = new (std::nothrow) DescribedAccessible(standard, description, oleacc.alloc);
  if (described == nullptr) {
    standard->Release();
    return std::nullopt;
  }
  // LresultFromObject takes its own reference.
  const LRESULT result = oleacc.result(__uuidof(IAccessible), wparam, described);
  described->Release();
  return result;
}
