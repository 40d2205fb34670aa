// resource_edit: takes a resource out of a copy of an executable with the system's
// resource-update functions, so the Windows desktop test can start the program without its
// theme.
//
//   resource_edit remove EXE TYPE NAME
//
// Exit status 0 when done, 1 when the resource is not there or the system refused, 2 for a
// usage error.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// One resource of the executable, its bytes copied out.
struct Resource {
  std::wstring type;  // a name, or "#N" for a number
  std::wstring name;
  WORD language;
  std::vector<char> bytes;
};

std::wstring NameText(LPCWSTR name) {
  return IS_INTRESOURCE(name)
             ? L"#" + std::to_wstring(static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(name)))
             : std::wstring(name);
}

LPCWSTR NameArgument(const std::wstring& text) {
  return text[0] == L'#' ? MAKEINTRESOURCEW(std::stoi(text.substr(1))) : text.c_str();
}

BOOL CALLBACK ReadLanguage(HMODULE module, LPCWSTR type, LPCWSTR name, WORD language,
                           LONG_PTR resources) {
  HRSRC found = FindResourceExW(module, type, name, language);
  HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
  const char* bytes = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
  if (!bytes) return FALSE;
  reinterpret_cast<std::vector<Resource>*>(resources)->push_back(
      {NameText(type), NameText(name), language,
       std::vector<char>(bytes, bytes + SizeofResource(module, found))});
  return TRUE;
}

BOOL CALLBACK ReadName(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR resources) {
  return EnumResourceLanguagesW(module, type, name, ReadLanguage, resources);
}

BOOL CALLBACK ReadType(HMODULE module, LPWSTR type, LONG_PTR resources) {
  return EnumResourceNamesW(module, type, ReadName, resources);
}

std::vector<Resource> ReadAll(const wchar_t* exe) {
  std::vector<Resource> resources;
  HMODULE module = LoadLibraryExW(exe, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (module) {
    EnumResourceTypesW(module, ReadType, reinterpret_cast<LONG_PTR>(&resources));
    FreeLibrary(module);
  }
  return resources;
}

bool SameName(const std::wstring& a, const wchar_t* b) {
  return CompareStringOrdinal(a.c_str(), -1, b, -1, TRUE) == CSTR_EQUAL;
}

// Writes the executable's resources anew without the named one, in every language it has.
// Writing them all anew is what Wine carries out as Windows does; deleting one resource in
// place, it leaves the resource where it was.
bool Remove(const wchar_t* exe, const wchar_t* type, const wchar_t* name) {
  const std::vector<Resource> resources = ReadAll(exe);
  bool found = false;
  HANDLE update = BeginUpdateResourceW(exe, TRUE);
  if (!update) return false;
  for (const Resource& resource : resources) {
    if (SameName(resource.type, type) && SameName(resource.name, name)) {
      found = true;
      continue;
    }
    if (!UpdateResourceW(update, NameArgument(resource.type), NameArgument(resource.name),
                         resource.language, const_cast<char*>(resource.bytes.data()),
                         static_cast<DWORD>(resource.bytes.size()))) {
      EndUpdateResourceW(update, TRUE);
      return false;
    }
  }
  if (!found) {
    EndUpdateResourceW(update, TRUE);
    return false;
  }
  return EndUpdateResourceW(update, FALSE) != FALSE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 5 || std::wstring(argv[1]) != L"remove") {
    std::fputs("usage: resource_edit remove EXE TYPE NAME\n", stderr);
    return 2;
  }
  if (Remove(argv[2], argv[3], argv[4])) return 0;
  std::fprintf(stderr, "resource_edit: not removed (error %lu)\n", GetLastError());
  return 1;
}
