// Scaling windows between display densities.
#include "win32/scaling/window_scaling.h"

#include <commctrl.h>

#include <map>
#include <vector>

#include "core/failure.h"
#include "win32/scaling/display_density.h"

namespace win32scaling {
namespace {

constexpr wchar_t kDensityProperty[] = L"QueueOperator.Density";
constexpr wchar_t kFontsProperty[] = L"QueueOperator.ScaledFonts";
constexpr UINT_PTR kDensitySubclass = 0x51B0;

// The fonts the scaling made for one window, freed when they are replaced or the window goes.
struct ScaledFonts {
  std::vector<HFONT> made;

  ~ScaledFonts() {
    for (HFONT font : made) DeleteObject(font);
  }
};

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

bool IsClass(HWND window, const wchar_t* name) {
  return CompareStringOrdinal(ClassOf(window).c_str(), -1, name, -1, TRUE) == CSTR_EQUAL;
}

int TextHeight(HWND window, HFONT font) {
  HDC dc = GetDC(window);
  HGDIOBJ old = SelectObject(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(window, dc);
  return metrics.tmHeight;
}

HFONT FontOf(HWND window) {
  return reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
}

BOOL CALLBACK CollectControl(HWND child, LPARAM list) {
  auto& found = *reinterpret_cast<std::vector<HWND>*>(list);
  if (!IsClass(GetParent(child), L"ComboBox")) found.push_back(child);
  return TRUE;
}

// Every control of the window, nested ones included; the parts a control makes of itself (the
// field of an editable list) move with it.
std::vector<HWND> ControlsOf(HWND window) {
  std::vector<HWND> controls;
  EnumChildWindows(window, CollectControl, reinterpret_cast<LPARAM>(&controls));
  return controls;
}

LRESULT CALLBACK DensityProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                             DWORD_PTR ref);

// The window's font store, held by its density handling (attached now if it was not, so
// that the fonts are freed with the window); null when the system refused the attachment.
ScaledFonts* FontStoreOf(HWND window) {
  if (!GetPropW(window, kFontsProperty)) AttachDensityHandling(window);
  return static_cast<ScaledFonts*>(GetPropW(window, kFontsProperty));
}

// A font like `font` at its height scaled from `from` to `to`.
HFONT RescaledFont(HFONT font, UINT to, UINT from) {
  LOGFONTW description{};
  if (!font || !GetObjectW(font, sizeof description, &description)) return nullptr;
  description.lfHeight = MulDiv(description.lfHeight, static_cast<int>(to), static_cast<int>(from));
  return CreateFontIndirectW(&description);
}

// The outer size for a client size, with the frame the window has now: the system draws the
// frame at the window's density already (or at the system's, where it cannot scale frames).
SIZE OuterSizeFor(HWND window, int client_width, int client_height) {
  RECT outer, client;
  GetWindowRect(window, &outer);
  GetClientRect(window, &client);
  return {client_width + (outer.right - outer.left) - client.right,
          client_height + (outer.bottom - outer.top) - client.bottom};
}

}  // namespace

UINT CurrentDensity(HWND window) {
  const auto stored = reinterpret_cast<UINT_PTR>(GetPropW(window, kDensityProperty));
  return stored ? static_cast<UINT>(stored) : kDesignDensity;
}

void MarkDensity(HWND window, UINT density) {
  SetPropW(window, kDensityProperty, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(density)));
}

int Scaled(HWND window, int design_length) {
  return MulDiv(design_length, static_cast<int>(CurrentDensity(window)),
                static_cast<int>(kDesignDensity));
}

RECT ScaleByEdges(const RECT& rect, UINT to, UINT from) {
  const int n = static_cast<int>(to), d = static_cast<int>(from);
  return {MulDiv(rect.left, n, d), MulDiv(rect.top, n, d), MulDiv(rect.right, n, d),
          MulDiv(rect.bottom, n, d)};
}

void ScaleWindowTo(HWND window, UINT to, bool resize_client) {
  const UINT from = CurrentDensity(window);
  if (to < kLowestDensity || to == from) return;
  ScaledFonts* store = FontStoreOf(window);
  if (!store) return;

  // One new font for each font in use, shared by the controls that shared the old one.
  std::map<HFONT, HFONT> renewed;
  const auto renew = [&](HFONT old) -> HFONT {
    if (!old) return nullptr;
    auto [entry, fresh] = renewed.try_emplace(old, nullptr);
    if (fresh) {
      entry->second = RescaledFont(old, to, from);
      if (entry->second) store->made.push_back(entry->second);
    }
    return entry->second;
  };

  const std::vector<HWND> controls = ControlsOf(window);
  HDWP positions = BeginDeferWindowPos(static_cast<int>(controls.size()));
  for (HWND control : controls) {
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    RECT scaled = ScaleByEdges(r, to, from);
    const HFONT old_font = FontOf(control);
    const HFONT new_font = renew(old_font);
    const bool single_line_edit =
        IsClass(control, L"Edit") && !(GetWindowLongPtrW(control, GWL_STYLE) & ES_MULTILINE);
    if (single_line_edit && new_font) {
      // Its height is its font's and its frame's: the frame keeps its pixels.
      scaled.bottom = scaled.top + (r.bottom - r.top) - TextHeight(control, old_font) +
                      TextHeight(control, new_font);
    }
    if (new_font) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(new_font), FALSE);
    // A drop-down list's field takes its height from the font just given; the rectangle set
    // here is the extent of its open list.
    if (positions)
      positions = DeferWindowPos(positions, control, nullptr, scaled.left, scaled.top,
                                 scaled.right - scaled.left, scaled.bottom - scaled.top,
                                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (positions) EndDeferWindowPos(positions);
  if (HFONT own = renew(FontOf(window)))
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(own), FALSE);

  // The fonts made before and now replaced go; any a control still uses stay.
  for (auto it = store->made.begin(); it != store->made.end();) {
    const bool replaced = renewed.count(*it) != 0;
    if (replaced) {
      DeleteObject(*it);
      it = store->made.erase(it);
    } else {
      ++it;
    }
  }

  MarkDensity(window, to);
  if (resize_client) {
    RECT client;
    GetClientRect(window, &client);
    const SIZE outer =
        OuterSizeFor(window, MulDiv(client.right, static_cast<int>(to), static_cast<int>(from)),
                     MulDiv(client.bottom, static_cast<int>(to), static_cast<int>(from)));
    SetWindowPos(window, nullptr, 0, 0, outer.cx, outer.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
}

void AttachDensityHandling(HWND window) {
  if (GetPropW(window, kFontsProperty)) return;
  auto* fonts = new ScaledFonts;
  if (!SetPropW(window, kFontsProperty, fonts)) {
    delete fonts;
    return;
  }
  if (!SetWindowSubclass(window, DensityProc, kDensitySubclass,
                         reinterpret_cast<DWORD_PTR>(fonts))) {
    RemovePropW(window, kFontsProperty);
    delete fonts;
  }
}

namespace {

LRESULT CALLBACK DensityProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                             DWORD_PTR ref) {
  switch (message) {
    case WM_NCCREATE:
      EnableFrameScaling(window);
      break;
    case kDensityChangedMessage: {
      const UINT to = LOWORD(wparam);
      if (to < kLowestDensity || to == CurrentDensity(window)) return 0;
      ScaleWindowTo(window, to, false);
      const RECT& suggested = *reinterpret_cast<const RECT*>(lparam);
      SetWindowPos(window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                   suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
    case WM_NCDESTROY: {
      RemoveWindowSubclass(window, DensityProc, id);
      RemovePropW(window, kDensityProperty);
      RemovePropW(window, kFontsProperty);
      const LRESULT result = DefSubclassProc(window, message, wparam, lparam);
      // The controls are gone with the window; their fonts can go now.
      delete reinterpret_cast<ScaledFonts*>(ref);
      return result;
    }
    default:
      break;
  }
  return DefSubclassProc(window, message, wparam, lparam);
}

HHOOK hook = nullptr;

LRESULT CALLBACK OnWindowCreated(int code, WPARAM wparam, LPARAM lparam) {
  if (code == HCBT_CREATEWND) {
    const CREATESTRUCTW& create = *reinterpret_cast<CBT_CREATEWNDW*>(lparam)->lpcs;
    if (!(create.style & WS_CHILD) && create.hInstance == GetModuleHandleW(nullptr))
      AttachDensityHandling(reinterpret_cast<HWND>(wparam));
  }
  return CallNextHookEx(hook, code, wparam, lparam);
}

}  // namespace

void InstallDensityHook() {
  if (hook) return;
  hook = SetWindowsHookExW(WH_CBT, OnWindowCreated, nullptr, GetCurrentThreadId());
  if (!hook)
    throw queue::Failure(queue::CoreFailure::kGeneric, "The window creation hook was refused");
}

void RemoveDensityHook() {
  if (hook) UnhookWindowsHookEx(hook);
  hook = nullptr;
}

}  // namespace win32scaling
