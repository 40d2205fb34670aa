// resource_edit: takes a resource out of a copy of an executable, or puts other bytes in its
// place, with the system's resource-update functions, so the Windows desktop test can start the
// program without its theme or with a damaged one.
//
//   resource_edit list EXE TYPE            prints the names of the resources of that type
//   resource_edit remove EXE TYPE NAME
//   resource_edit replace EXE TYPE NAME FILE
//
// Exit status 0 when done, 1 when the system refused, 2 for a usage error.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <iterator>
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

struct Reading {
  HMODULE module;
  std::vector<Resource> resources;
  std::wstring type;
  std::wstring name;
};

BOOL CALLBACK ReadLanguage(HMODULE module, LPCWSTR type, LPCWSTR name, WORD language,
                           LONG_PTR state) {
  auto& reading = *reinterpret_cast<Reading*>(state);
  HRSRC found = FindResourceExW(module, type, name, language);
  HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
  const char* bytes = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
  if (!bytes) return FALSE;
  reading.resources.push_back({NameText(type), NameText(name), language,
                               std::vector<char>(bytes, bytes + SizeofResource(module, found))});
  return TRUE;
}

BOOL CALLBACK ReadName(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR state) {
  return EnumResourceLanguagesW(module, type, name, ReadLanguage, state);
}

BOOL CALLBACK ReadType(HMODULE module, LPWSTR type, LONG_PTR state) {
  return EnumResourceNamesW(module, type, ReadName, state);
}

std::vector<Resource> ReadAll(const wchar_t* exe) {
  Reading reading{LoadLibraryExW(exe, nullptr, LOAD_LIBRARY_AS_DATAFILE), {}, {}, {}};
  if (reading.module) {
    EnumResourceTypesW(reading.module, ReadType, reinterpret_cast<LONG_PTR>(&reading));
    FreeLibrary(reading.module);
  }
  return reading.resources;
}

bool SameName(const std::wstring& a, const wchar_t* b) {
  return CompareStringOrdinal(a.c_str(), -1, b, -1, TRUE) == CSTR_EQUAL;
}

// Writes the executable's resources anew: all of them as they were, the named one with `bytes`
// in place of its own, or without it when there are none. Writing them all anew rather than
// deleting one is what every system's resource update carries out alike.
bool Update(const wchar_t* exe, const wchar_t* type, const wchar_t* name,
            const std::vector<char>* bytes) {
  const std::vector<Resource> resources = ReadAll(exe);
  bool found = false;
  HANDLE update = BeginUpdateResourceW(exe, TRUE);
  if (!update) return false;
  for (const Resource& resource : resources) {
    const bool target = SameName(resource.type, type) && SameName(resource.name, name);
    found = found || target;
    if (target && !bytes) continue;
    const std::vector<char>& data = target ? *bytes : resource.bytes;
    if (!UpdateResourceW(update, NameArgument(resource.type), NameArgument(resource.name),
                         resource.language, const_cast<char*>(data.data()),
                         static_cast<DWORD>(data.size()))) {
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

BOOL CALLBACK PrintName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR) {
  if (IS_INTRESOURCE(name))
    std::printf("#%u\n", static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(name)));
  else
    std::printf("%ls\n", name);
  return TRUE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring command = argc > 1 ? argv[1] : L"";
  if (command == L"list" && argc == 4) {
    HMODULE module = LoadLibraryExW(argv[2], nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) return 1;
    EnumResourceNamesW(module, argv[3], PrintName, 0);
    FreeLibrary(module);
    return 0;
  }
  if (command == L"remove" && argc == 5) {
    if (Update(argv[2], argv[3], argv[4], nullptr)) return 0;
  } else if (command == L"replace" && argc == 6) {
    std::ifstream in(argv[5], std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.eof() && !in) return 1;
    if (Update(argv[2], argv[3], argv[4], &bytes)) return 0;
  } else {
    std::fputs("usage: resource_edit remove EXE TYPE NAME | replace EXE TYPE NAME FILE\n", stderr);
    return 2;
  }
  std::fprintf(stderr, "resource_edit: the system refused (error %lu)\n", GetLastError());
  return 1;
}
