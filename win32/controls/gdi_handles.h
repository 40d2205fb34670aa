// Owners of GDI objects and device contexts: each kind is made and freed in one place, its
// release in the owner's destructor (DeleteObject, DeleteDC, ReleaseDC, EndPaint, RestoreDC), so
// no early return or failure leaves one behind.
#pragma once

#include <windows.h>

#include <utility>

namespace win32 {

// A GDI object (brush, pen, font, bitmap, region) owned alone: deleted with its owner.
template <typename Handle>
class GdiObject {
 public:
  GdiObject() = default;
  explicit GdiObject(Handle handle) : handle_(handle) {}
  ~GdiObject() { reset(); }
  GdiObject(GdiObject&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  GdiObject& operator=(GdiObject&& other) noexcept {
    if (this != &other) reset(std::exchange(other.handle_, nullptr));
    return *this;
  }
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  // Deletes the object held, if any, and holds `handle` instead.
  void reset(Handle handle = nullptr) {
    if (handle_ != nullptr) DeleteObject(handle_);
    handle_ = handle;
  }

 private:
  Handle handle_ = nullptr;
};

using Brush = GdiObject<HBRUSH>;
using Pen = GdiObject<HPEN>;
using Font = GdiObject<HFONT>;
using Bitmap = GdiObject<HBITMAP>;
using Region = GdiObject<HRGN>;

// A window's device context (GetDC, or GetWindowDC for the whole window with its frame; the
// screen's for a null window), released when the scope ends.
class WindowDc {
 public:
  enum class Area { kClient, kWhole };
  explicit WindowDc(HWND window, Area area = Area::kClient)
      : window_(window), dc_(area == Area::kWhole ? GetWindowDC(window) : GetDC(window)) {}
  ~WindowDc() {
    if (dc_ != nullptr) ReleaseDC(window_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// The device context of one WM_PAINT: BeginPaint and EndPaint.
class PaintDc {
 public:
  explicit PaintDc(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
  ~PaintDc() { EndPaint(window_, &paint_); }
  PaintDc(const PaintDc&) = delete;
  PaintDc& operator=(const PaintDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
  HDC dc_;
};

// A memory device context compatible with another, deleted when the scope ends.
class MemoryDc {
 public:
  explicit MemoryDc(HDC compatible_with) : dc_(CreateCompatibleDC(compatible_with)) {}
  ~MemoryDc() {
    if (dc_ != nullptr) DeleteDC(dc_);
  }
  MemoryDc(const MemoryDc&) = delete;
  MemoryDc& operator=(const MemoryDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

// A device context's state (selected objects, clipping, colours) saved for one drawing and put
// back when the scope ends, so objects selected meanwhile can be freed.
class SavedDcState {
 public:
  explicit SavedDcState(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {}
  ~SavedDcState() {
    if (saved_ != 0) RestoreDC(dc_, saved_);
  }
  SavedDcState(const SavedDcState&) = delete;
  SavedDcState& operator=(const SavedDcState&) = delete;

 private:
  HDC dc_;
  int saved_;
};

}  // namespace win32
