// The system's libraries the scaling looks functions up in come from the system folder only:
// this program's folder holds a planted shcore.dll, which a bare name would load first.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "win32/scaling/display_density.h"

namespace {

std::wstring FolderOf(const std::wstring& path) {
  return path.substr(0, path.find_last_of(L'\\'));
}

std::wstring ModulePath(HMODULE module) {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(module, path, MAX_PATH);
  return path;
}

std::wstring SystemFolder() {
  wchar_t folder[MAX_PATH] = {};
  GetSystemDirectoryW(folder, MAX_PATH);
  return folder;
}

bool SameFolder(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

TEST(SystemLibraryTest, ScalingLibraryComesFromTheSystemFolderNotTheProgramsOwn) {
  const std::wstring planted = FolderOf(ModulePath(nullptr)) + L"\\shcore.dll";
  ASSERT_NE(GetFileAttributesW(planted.c_str()), INVALID_FILE_ATTRIBUTES)
      << "the planted library is missing beside the test";

  // The way taken on a Vista or 7 without the update that lets a load search the system
  // folder alone; freed again, so that the density below loads the library itself.
  const HMODULE by_path = win32scaling::SystemLibraryByPath(L"shcore.dll");
  ASSERT_NE(by_path, nullptr);
  EXPECT_TRUE(SameFolder(FolderOf(ModulePath(by_path)), SystemFolder()));
  FreeLibrary(by_path);
  ASSERT_EQ(GetModuleHandleW(L"shcore.dll"), nullptr);

  const UINT density =
      win32scaling::DensityOfMonitor(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY));
  EXPECT_NE(density, 7u) << "the planted library answered";
  EXPECT_EQ(density, win32scaling::SystemDensity());

  const HMODULE loaded = GetModuleHandleW(L"shcore.dll");
  ASSERT_NE(loaded, nullptr);
  EXPECT_TRUE(SameFolder(FolderOf(ModulePath(loaded)), SystemFolder()))
      << "shcore.dll loaded from the program's folder";
}

}  // namespace
