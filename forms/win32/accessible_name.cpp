#include "forms/win32/accessible_name.h"

#include <oleacc.h>

#include "forms/controls.h"
#include "forms/win32/text_view.h"
#include "forms/win32/wide.h"

namespace win32 {
namespace {

// The standard accessible object of a window with another name: every call
// but the name of the object itself goes to the standard one. Once the
// control has gone, what only the control knows is an error.
class NamedAccessible final : public IAccessible {
 public:
  NamedAccessible(IAccessible* inner, std::shared_ptr<const forms::Control*> control)
      : inner_(inner), control_(std::move(control)) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IAccessible) {
      *out = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    return inner_->QueryInterface(iid, out);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&refs_); }
  ULONG STDMETHODCALLTYPE Release() override {
    LONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return left;
  }

  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    if (child.vt != VT_I4 || child.lVal != CHILDID_SELF) return inner_->get_accName(child, name);
    if (!name) return E_POINTER;
    if (!*control_) return RPC_E_DISCONNECTED;
    std::wstring text = Wide((*control_)->accessibleName());
    *name = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *name ? S_OK : E_OUTOFMEMORY;
  }

  // A view of the project's own is a read-only text to assistive tools,
  // its value the whole text.
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    if (!*control_) return RPC_E_DISCONNECTED;
    if (!ownView(child)) return inner_->get_accRole(child, role);
    role->vt = VT_I4;
    role->lVal = ROLE_SYSTEM_TEXT;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
    if (!*control_) return RPC_E_DISCONNECTED;
    if (!ownView(child)) return inner_->get_accValue(child, value);
    std::wstring text = Wide((*control_)->text());
    *value = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *value ? S_OK : E_OUTOFMEMORY;
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    if (!*control_) return RPC_E_DISCONNECTED;
    HRESULT r = inner_->get_accState(child, state);
    if (ownView(child) && SUCCEEDED(r) && state->vt == VT_I4) state->lVal |= STATE_SYSTEM_READONLY;
    return r;
  }

#define VORLANE_FORWARD(method, params, args) \
  HRESULT STDMETHODCALLTYPE method params override { return inner_->method args; }
  VORLANE_FORWARD(GetTypeInfoCount, (UINT* n), (n))
  VORLANE_FORWARD(GetTypeInfo, (UINT i, LCID l, ITypeInfo** t), (i, l, t))
  VORLANE_FORWARD(GetIDsOfNames, (REFIID r, LPOLESTR* n, UINT c, LCID l, DISPID* d), (r, n, c, l, d))
  VORLANE_FORWARD(Invoke,
                  (DISPID d, REFIID r, LCID l, WORD f, DISPPARAMS* p, VARIANT* v, EXCEPINFO* e, UINT* a),
                  (d, r, l, f, p, v, e, a))
  VORLANE_FORWARD(get_accParent, (IDispatch** p), (p))
  VORLANE_FORWARD(get_accChildCount, (LONG* n), (n))
  VORLANE_FORWARD(get_accChild, (VARIANT c, IDispatch** d), (c, d))
  VORLANE_FORWARD(get_accDescription, (VARIANT c, BSTR* d), (c, d))
  VORLANE_FORWARD(get_accHelp, (VARIANT c, BSTR* h), (c, h))
  VORLANE_FORWARD(get_accHelpTopic, (BSTR* f, VARIANT c, LONG* t), (f, c, t))
  VORLANE_FORWARD(get_accKeyboardShortcut, (VARIANT c, BSTR* k), (c, k))
  VORLANE_FORWARD(get_accFocus, (VARIANT* c), (c))
  VORLANE_FORWARD(get_accSelection, (VARIANT* c), (c))
  VORLANE_FORWARD(get_accDefaultAction, (VARIANT c, BSTR* a), (c, a))
  VORLANE_FORWARD(accSelect, (LONG f, VARIANT c), (f, c))
  VORLANE_FORWARD(accLocation, (LONG* x, LONG* y, LONG* w, LONG* h, VARIANT c), (x, y, w, h, c))
  VORLANE_FORWARD(accNavigate, (LONG d, VARIANT s, VARIANT* e), (d, s, e))
  VORLANE_FORWARD(accHitTest, (LONG x, LONG y, VARIANT* c), (x, y, c))
  VORLANE_FORWARD(accDoDefaultAction, (VARIANT c), (c))
  VORLANE_FORWARD(put_accName, (VARIANT c, BSTR n), (c, n))
  VORLANE_FORWARD(put_accValue, (VARIANT c, BSTR v), (c, v))
#undef VORLANE_FORWARD

 private:
  ~NamedAccessible() { inner_->Release(); }
  bool ownView(const VARIANT& child) const {
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF && IsTextView(**control_);
  }
  IAccessible* inner_;
  std::shared_ptr<const forms::Control*> control_;
  LONG refs_ = 1;
};

}  // namespace

LRESULT AccessibleLink::answer(HWND hwnd, WPARAM wp, LPARAM lp) {
  if (static_cast<LONG>(static_cast<DWORD>(lp)) != OBJID_CLIENT || !*control_) return 0;
  IAccessible* standard = nullptr;
  if (FAILED(CreateStdAccessibleObject(hwnd, OBJID_CLIENT, IID_IAccessible,
                                       reinterpret_cast<void**>(&standard))))
    return 0;
  auto* named = new NamedAccessible(standard, control_);
  LRESULT result = LresultFromObject(IID_IAccessible, wp, named);
  named->Release();
  return result;
}

}  // namespace win32
