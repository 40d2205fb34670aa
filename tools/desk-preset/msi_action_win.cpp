// The MSI packages' custom actions (desk_preset_action.dll, run by Windows Installer from the
// package's own table): the desk's preset from the properties SERVER and WINDOW, checked before
// anything is installed and written once the program is in place. A bad value is reported
// through the installer, so its message shows in the installer's window and in its log, and the
// install stops with the installer's failure (msiexec's exit code 1603).
#include <windows.h>
// After windows.h, which they build on.
#include <msi.h>
#include <msiquery.h>

#include <optional>
#include <string>

#include "core/failure.h"
#include "settings/desk_preset.h"

namespace {

// A property's value; empty when it is not set.
std::u16string Property(MSIHANDLE install, const wchar_t* name) {
  wchar_t none[1] = L"";
  DWORD length = 0;
  if (MsiGetPropertyW(install, name, none, &length) != ERROR_MORE_DATA) return {};
  std::wstring value(length + 1, L'\0');
  DWORD size = length + 1;
  if (MsiGetPropertyW(install, name, value.data(), &size) != ERROR_SUCCESS) return {};
  value.resize(size);
  return std::u16string(value.begin(), value.end());
}

// Shows `text` as the installer's error (a box in a full interface, a line of the log always).
// The text goes in as a field, not as the record's template, so brackets in a value stay text.
void ReportError(MSIHANDLE install, const std::u16string& text) {
  const MSIHANDLE record = MsiCreateRecord(1);
  MsiRecordSetStringW(record, 0, L"[1]");
  MsiRecordSetStringW(record, 1, reinterpret_cast<const wchar_t*>(text.c_str()));
  MsiProcessMessage(install, INSTALLMESSAGE(INSTALLMESSAGE_ERROR | MB_OK | MB_ICONERROR), record);
  MsiCloseHandle(record);
}

settings::DeskPreset PresetOf(MSIHANDLE install) {
  return settings::CheckDeskPreset(Property(install, L"SERVER"), Property(install, L"WINDOW"));
}

}  // namespace

// Before InstallValidate: a bad SERVER or WINDOW stops the install before anything is written.
extern "C" __declspec(dllexport) UINT __stdcall CheckDeskPreset(MSIHANDLE install) {
  try {
    PresetOf(install);
    return ERROR_SUCCESS;
  } catch (const queue::Failure& failure) {
    ReportError(install, failure.message());
    return ERROR_INSTALL_FAILURE;
  }
}

// After InstallFinalize: writes the preset into INSTALLDIR's Operator.ini when there is none.
extern "C" __declspec(dllexport) UINT __stdcall WriteDeskPreset(MSIHANDLE install) {
  try {
    const std::u16string folder = Property(install, L"INSTALLDIR");
    settings::WriteDeskPresetIfMissing(folder + u"Operator.ini", PresetOf(install));
    return ERROR_SUCCESS;
  } catch (const queue::Failure& failure) {
    ReportError(install, failure.message());
    return ERROR_INSTALL_FAILURE;
  }
}
