// The accessible object a named control hands a screen reader: the system's standard one for the
// control, wrapped, with the name, description and link role answered from the program's texts.
#include "win32/controls/accessible_name.h"

#include <commctrl.h>
#include <oleacc.h>

#include <atomic>
#include <memory>
#include <new>
#include <string>
#include <utility>

#include "core/failure.h"
#include "win32/controls/wide_text.h"
#include "win32/shell/libraries_on_use.h"

namespace win32 {
namespace {

constexpr UINT_PTR kAccessibleNameId = 20;
// The interfaces' identifiers are written as __uuidof(...), never IID_...: the program links
// neither oleacc.dll (whose MinGW import library names the DLL's exported data of that name, an
// address of which taken without an import declaration is a jump stub's, not the identifier)
// nor the system's COM libraries, which are loaded at the first screen reader's request.

struct Texts {
  std::wstring name;
  std::wstring description;
  bool link = false;
};

using SharedTexts = std::shared_ptr<const Texts>;

bool IsSelf(const VARIANT& child) {
  return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

// A COM call returns its failure as an error code: none may unwind into the caller.
HRESULT Answer(const std::wstring& text, BSTR* out) noexcept {
  if (out == nullptr) return E_POINTER;
  try {
    *out = win32::AllocateBstr(text.data(), static_cast<UINT>(text.size()));
  } catch (const queue::Failure&) {
    *out = nullptr;
    return E_FAIL;
  }
  return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

// Holds one reference to the standard object and shares the control's texts, so that it may
// outlive the control (a screen reader keeps what it was given); the standard object then
// answers for a window that is gone as it always does.
class NamedAccessible final : public IAccessible, public IOleWindow {
 public:
  NamedAccessible(HWND control, IAccessible* standard, SharedTexts texts) noexcept
      : control_(control), standard_(standard), texts_(std::move(texts)) {}
  NamedAccessible(const NamedAccessible&) = delete;
  NamedAccessible& operator=(const NamedAccessible&) = delete;

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    if (iid == __uuidof(IUnknown) || iid == __uuidof(IDispatch) || iid == __uuidof(IAccessible)) {
      *out = static_cast<IAccessible*>(this);
    } else if (iid == __uuidof(IOleWindow)) {
      *out = static_cast<IOleWindow*>(this);
    } else {
      // Another interface of the standard object would answer QueryInterface without this
      // object's names: a screen reader falls back on IAccessible for everything it needs.
      *out = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

  // IOleWindow: the control, as the standard object says.
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
    if (window == nullptr) return E_POINTER;
    *window = control_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

  // IDispatch: the standard object's.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    return standard_->GetTypeInfoCount(count);
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
    return standard_->GetTypeInfo(index, locale, info);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                          DISPID* ids) override {
    return standard_->GetIDsOfNames(iid, names, count, locale, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags,
                                   DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception,
                                   UINT* argument) override {
    return standard_->Invoke(id, iid, locale, flags, parameters, result, exception, argument);
  }

  // IAccessible: the control's own answers for itself, the standard object's for the rest.
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    if (IsSelf(child) && !texts_->name.empty()) return Answer(texts_->name, name);
    return standard_->get_accName(child, name);
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
    if (IsSelf(child) && !texts_->description.empty()) {
      return Answer(texts_->description, description);
    }
    return standard_->get_accDescription(child, description);
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    if (IsSelf(child) && texts_->link) {
      if (role == nullptr) return E_POINTER;
      *role = VARIANT{};
      role->vt = VT_I4;
      role->lVal = ROLE_SYSTEM_LINK;
      return S_OK;
    }
    return standard_->get_accRole(child, role);
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    const HRESULT result = standard_->get_accState(child, state);
    if (SUCCEEDED(result) && IsSelf(child) && texts_->link && state->vt == VT_I4) {
      state->lVal |= STATE_SYSTEM_LINKED | STATE_SYSTEM_FOCUSABLE;
    }
    return result;
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    if (IsSelf(child) && texts_->link) {
      // Posted, not sent: the call may come from another process inside a COM call, during
      // which the click's shell call must not run.
      HWND parent = ::GetParent(control_);
      const int id = GetDlgCtrlID(control_);
      return parent != nullptr && PostMessageW(parent, WM_COMMAND, MAKEWPARAM(id, STN_CLICKED),
                                               reinterpret_cast<LPARAM>(control_))
                 ? S_OK
                 : E_FAIL;
    }
    return standard_->accDoDefaultAction(child);
  }
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    return standard_->get_accParent(parent);
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
    return standard_->get_accChildCount(count);
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** dispatch) override {
    return standard_->get_accChild(child, dispatch);
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
    return standard_->get_accValue(child, value);
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
    return standard_->get_accHelp(child, help);
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
    return standard_->get_accHelpTopic(file, child, topic);
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
    return standard_->get_accKeyboardShortcut(child, shortcut);
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override {
    return standard_->get_accFocus(child);
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
    return standard_->get_accSelection(children);
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
    return standard_->get_accDefaultAction(child, action);
  }
  HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
    return standard_->accSelect(flags, child);
  }
  HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                        VARIANT child) override {
    return standard_->accLocation(left, top, width, height, child);
  }
  HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
    return standard_->accNavigate(direction, start, end);
  }
  HRESULT STDMETHODCALLTYPE accHitTest(long left, long top, VARIANT* child) override {
    return standard_->accHitTest(left, top, child);
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
    return standard_->put_accName(child, name);
  }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
    return standard_->put_accValue(child, value);
  }

 private:
  ~NamedAccessible() { standard_->Release(); }

  std::atomic<ULONG> references_{1};
  HWND control_;
  IAccessible* standard_;
  SharedTexts texts_;
};

// The object for WM_GETOBJECT, or 0 (the system's own object then) when it cannot be made. The
// libraries it needs are loaded at the first request; where the system cannot give them, the
// control is read as the system reads it, without its names, rather than not at all.
LRESULT AccessibleObject(HWND control, WPARAM flags, const SharedTexts& texts) noexcept {
  try {
    EnterComApartment();
    IAccessible* standard = nullptr;
    if (FAILED(StandardAccessibleObject(control, OBJID_CLIENT, __uuidof(IAccessible),
                                        reinterpret_cast<void**>(&standard))) ||
        standard == nullptr) {
      return 0;
    }
    auto* named = new (std::nothrow) NamedAccessible(control, standard, texts);
    if (named == nullptr) {
      standard->Release();
      return 0;
    }
    // ResultFromObject keeps a reference of its own for the caller; a failure comes back as the
    // error code the caller expects. The one reference held here is let go however it ends.
    LRESULT result = 0;
    try {
      result = ResultFromObject(__uuidof(IAccessible), flags, static_cast<IAccessible*>(named));
    } catch (const queue::Failure&) {
      named->Release();
      return 0;
    }
    named->Release();
    return result;
  } catch (const queue::Failure&) {
    return 0;
  }
}

LRESULT CALLBACK AccessibleNameProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                    UINT_PTR, DWORD_PTR data) {
  auto* texts = reinterpret_cast<SharedTexts*>(data);
  // The object's identifier is a DWORD: on 64-bit Windows the rest of lparam is not its sign.
  if (message == WM_GETOBJECT &&
      static_cast<LONG>(static_cast<DWORD>(lparam)) == static_cast<LONG>(OBJID_CLIENT)) {
    const LRESULT object = AccessibleObject(window, wparam, *texts);
    if (object != 0) return object;
  }
  if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(window, &AccessibleNameProc, kAccessibleNameId);
    delete texts;
  }
  return DefSubclassProc(window, message, wparam, lparam);
}

}  // namespace

void NameForScreenReader(HWND control, const ScreenReaderText& text) {
  auto texts = std::make_unique<SharedTexts>(std::make_shared<const Texts>(
      Texts{WideString(text.name), WideString(text.description), text.link}));
  if (!SetWindowSubclass(control, &AccessibleNameProc, kAccessibleNameId,
                         reinterpret_cast<DWORD_PTR>(texts.get()))) {
    throw queue::Failure(queue::CoreFailure::kGeneric,
                         "A control cannot be named for screen readers");
  }
  texts.release();  // the subclass frees it with the control
}

}  // namespace win32
