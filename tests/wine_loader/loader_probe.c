/* Loads a layout library through the Win32 loader and reports what a
 * program running on it sees: the descriptor export, every record reached
 * from KBDTABLES through the loader's real pointers, and the version
 * resource.
 *
 *   loader_probe LIBRARY.dll
 *
 * The library is loaded twice: at its preferred base, then with that base
 * reserved so that the loader must relocate it. Each load prints
 * "load <preferred|relocated> <base>" and the table dump in the form of
 * platform/table_dump.h; the version report follows. A broken promise of
 * the export (name and ordinal 1 differ, two calls differ, the address lies
 * outside the module) is printed as "error: ..." on stderr with exit code 1.
 */
#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <string.h>
#include <windows.h>

/* The layout records, version-0 KBDTABLES, as a 32-bit program sees them.
 * Natural C alignment gives the record layouts of the layout libraries. */
typedef struct {
  BYTE Vk;
  BYTE ModBits;
} VK_TO_BIT;

typedef struct {
  VK_TO_BIT *pVkToBit;
  WORD wMaxModBits;
  BYTE ModNumber[];
} MODIFIERS;

typedef struct {
  BYTE *pVkToWchars; /* rows of 2 + 2 * nModifications bytes */
  BYTE nModifications;
  BYTE cbSize;
} VK_TO_WCHAR_TABLE;

typedef struct {
  DWORD dwBoth;
  WCHAR wchComposed;
  USHORT uFlags;
} DEADKEY;

typedef struct {
  BYTE vsc;
  WCHAR *pwsz;
} VSC_LPWSTR;

typedef struct {
  BYTE Vsc;
  USHORT Vk;
} VSC_VK;

typedef struct {
  MODIFIERS *pCharModifiers;
  VK_TO_WCHAR_TABLE *pVkToWcharTable;
  DEADKEY *pDeadKey;
  VSC_LPWSTR *pKeyNames;
  VSC_LPWSTR *pKeyNamesExt;
  WCHAR **pKeyNamesDead;
  USHORT *pusVSCtoVK;
  BYTE bMaxVSCtoVK;
  VSC_VK *pVSCtoVK_E0;
  VSC_VK *pVSCtoVK_E1;
  DWORD fLocaleFlags;
} KBDTABLES;

_Static_assert(sizeof(KBDTABLES) == 44, "version-0 KBDTABLES is 44 bytes");
_Static_assert(sizeof(VK_TO_WCHAR_TABLE) == 8 && sizeof(DEADKEY) == 8 && sizeof(VSC_LPWSTR) == 8 &&
                   sizeof(VSC_VK) == 4,
               "record sizes");

typedef KBDTABLES *(WINAPI *Descriptor)(void);

static const DWORD kPreferredBase = 0x5FF40000;

static DWORD g_base;

/* An address as its offset from the image base, or null. */
static void offset(const void *p) {
  if (p == NULL)
    printf("null");
  else
    printf("+0x%08lx", (unsigned long)((DWORD)(UINT_PTR)p - g_base));
}

static void address(const void *p) {
  putchar(' ');
  offset(p);
}

static void field(const char *name, const void *p) {
  printf(" %s=", name);
  offset(p);
}

static void string(const WCHAR *s) {
  printf(" \"");
  for (; *s != 0; ++s) {
    if (*s >= 0x20 && *s < 0x7F && *s != '"' && *s != '\\')
      putchar((char)*s);
    else
      printf("\\u%04x", (unsigned)*s);
  }
  printf("\"");
}

static void keyNames(const char *list, const VSC_LPWSTR *e) {
  for (;; ++e) {
    printf("%s VSC_LPWSTR", list);
    address(e);
    printf(" vsc=0x%02x", e->vsc);
    field("pwsz", e->pwsz);
    if (e->pwsz != NULL) string(e->pwsz);
    printf("\n");
    if (e->vsc == 0) return;
  }
}

static void scanCodeList(const char *list, const VSC_VK *e) {
  for (;; ++e) {
    printf("%s VSC_VK", list);
    address(e);
    printf(" Vsc=0x%02x Vk=0x%04x\n", e->Vsc, e->Vk);
    if (e->Vsc == 0) return;
  }
}

static void dumpTables(const KBDTABLES *t) {
  printf("KBDTABLES");
  address(t);
  field("pCharModifiers", t->pCharModifiers);
  field("pVkToWcharTable", t->pVkToWcharTable);
  field("pDeadKey", t->pDeadKey);
  field("pKeyNames", t->pKeyNames);
  field("pKeyNamesExt", t->pKeyNamesExt);
  field("pKeyNamesDead", t->pKeyNamesDead);
  field("pusVSCtoVK", t->pusVSCtoVK);
  printf(" bMaxVSCtoVK=0x%02x", t->bMaxVSCtoVK);
  field("pVSCtoVK_E0", t->pVSCtoVK_E0);
  field("pVSCtoVK_E1", t->pVSCtoVK_E1);
  printf(" fLocaleFlags=0x%08lx\n", (unsigned long)t->fLocaleFlags);

  const MODIFIERS *m = t->pCharModifiers;
  printf("pCharModifiers MODIFIERS");
  address(m);
  field("pVkToBit", m->pVkToBit);
  printf(" wMaxModBits=0x%04x ModNumber=", m->wMaxModBits);
  for (unsigned i = 0; i <= m->wMaxModBits; ++i) printf("%s0x%02x", i ? "," : "", m->ModNumber[i]);
  printf("\n");
  for (const VK_TO_BIT *b = m->pVkToBit;; ++b) {
    printf("pVkToBit VK_TO_BIT");
    address(b);
    printf(" Vk=0x%02x ModBits=0x%02x\n", b->Vk, b->ModBits);
    if (b->Vk == 0) break;
  }

  const VK_TO_WCHAR_TABLE *list = t->pVkToWcharTable;
  for (const VK_TO_WCHAR_TABLE *e = list;; ++e) {
    printf("pVkToWcharTable VK_TO_WCHAR_TABLE");
    address(e);
    field("pVkToWchars", e->pVkToWchars);
    printf(" nModifications=0x%02x cbSize=0x%02x\n", e->nModifications, e->cbSize);
    if (e->pVkToWchars == NULL) break;
  }
  for (unsigned n = 0; list[n].pVkToWchars != NULL; ++n) {
    const unsigned cells = list[n].nModifications;
    for (const BYTE *row = list[n].pVkToWchars;; row += 2 + 2 * cells) {
      const WCHAR *wch = (const WCHAR *)(row + 2);
      printf("pVkToWchars[%u] VK_TO_WCHARS%u", n, cells);
      address(row);
      printf(" VirtualKey=0x%02x Attributes=0x%02x wch=", row[0], row[1]);
      for (unsigned i = 0; i < cells; ++i) printf("%s0x%04x", i ? "," : "", wch[i]);
      printf("\n");
      if (row[0] == 0) break;
    }
  }

  if (t->pDeadKey != NULL) {
    for (const DEADKEY *d = t->pDeadKey;; ++d) {
      printf("pDeadKey DEADKEY");
      address(d);
      printf(" dwBoth=0x%08lx wchComposed=0x%04x uFlags=0x%04x\n", (unsigned long)d->dwBoth,
             d->wchComposed, d->uFlags);
      if (d->dwBoth == 0) break;
    }
  }

  keyNames("pKeyNames", t->pKeyNames);
  keyNames("pKeyNamesExt", t->pKeyNamesExt);

  if (t->pKeyNamesDead != NULL) {
    for (WCHAR *const *p = t->pKeyNamesDead;; ++p) {
      printf("pKeyNamesDead LPWSTR");
      address(p);
      field("pwsz", *p);
      if (*p == NULL) {
        printf("\n");
        break;
      }
      string(*p);
      printf("\n");
    }
  }

  for (unsigned s = 0; s < t->bMaxVSCtoVK; ++s) {
    printf("pusVSCtoVK USHORT");
    address(&t->pusVSCtoVK[s]);
    printf(" T%02X=0x%04x\n", s, t->pusVSCtoVK[s]);
  }
  scanCodeList("pVSCtoVK_E0", t->pVSCtoVK_E0);
  scanCodeList("pVSCtoVK_E1", t->pVSCtoVK_E1);
}

static int fail(const char *what) {
  fflush(stdout);
  fprintf(stderr, "error: %s\n", what);
  return 1;
}

static DWORD sizeOfImage(HMODULE module) {
  const BYTE *image = (const BYTE *)module;
  const IMAGE_NT_HEADERS32 *nt =
      (const IMAGE_NT_HEADERS32 *)(image + ((const IMAGE_DOS_HEADER *)image)->e_lfanew);
  return nt->OptionalHeader.SizeOfImage;
}

/* Loads the library, checks the export's promises and prints the dump. */
static int loadAndDump(const char *path, const char *how, DWORD expectBase) {
  HMODULE module = LoadLibraryA(path);
  if (module == NULL) return fail("LoadLibrary failed");
  g_base = (DWORD)(UINT_PTR)module;
  printf("load %s 0x%08lx\n", how, (unsigned long)g_base);
  if (expectBase != 0 && g_base != expectBase) return fail("not loaded at the preferred base");
  if (expectBase == 0 && g_base == kPreferredBase) return fail("loaded at a reserved address");

  FARPROC named = GetProcAddress(module, "KbdLayerDescriptor");
  FARPROC ordinal = GetProcAddress(module, MAKEINTRESOURCEA(1));
  if (named == NULL || ordinal == NULL) return fail("KbdLayerDescriptor not exported");
  if (named != ordinal) return fail("KbdLayerDescriptor by name and by ordinal 1 differ");
  /* The descriptor takes no arguments, so the cast changes nothing of the call. */
  Descriptor descriptor = (Descriptor)(void (*)(void))named;
  KBDTABLES *first = descriptor();
  KBDTABLES *second = descriptor();
  if (first != second) return fail("two calls of KbdLayerDescriptor returned different addresses");
  DWORD rva = (DWORD)(UINT_PTR)first - g_base;
  if ((DWORD)(UINT_PTR)first < g_base || rva + sizeof(KBDTABLES) > sizeOfImage(module))
    return fail("KbdLayerDescriptor returned an address outside the module");

  dumpTables(first);
  if (!FreeLibrary(module)) return fail("FreeLibrary failed");
  return 0;
}

static void versionString(const BYTE *info, const char *key) {
  char query[64];
  snprintf(query, sizeof query, "\\StringFileInfo\\000004b0\\%s", key);
  WCHAR wquery[64];
  MultiByteToWideChar(CP_ACP, 0, query, -1, wquery, 64);
  void *value = NULL;
  UINT length = 0;
  if (!VerQueryValueW(info, wquery, &value, &length)) {
    printf("version %s missing\n", key);
    return;
  }
  printf("version %s length=%u", key, length);
  if (length > 0) string((const WCHAR *)value);
  printf("\n");
}

static int versionReport(const char *path) {
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeA(path, &ignored);
  if (size == 0) return fail("GetFileVersionInfoSize found no version resource");
  static BYTE info[16384];
  if (size > sizeof info) return fail("version resource too large");
  if (!GetFileVersionInfoA(path, 0, size, info)) return fail("GetFileVersionInfo failed");

  VS_FIXEDFILEINFO *fixed = NULL;
  UINT length = 0;
  if (!VerQueryValueA(info, "\\", (void **)&fixed, &length) || length != sizeof *fixed)
    return fail("no VS_FIXEDFILEINFO");
  printf(
      "version fixed signature=0x%08lx strucversion=0x%08lx file=%lu.%lu.%lu.%lu "
      "product=%lu.%lu.%lu.%lu "
      "flagsmask=0x%02lx flags=0x%02lx os=0x%08lx type=%lu subtype=%lu date=%lu.%lu\n",
      fixed->dwSignature, fixed->dwStrucVersion, fixed->dwFileVersionMS >> 16,
      fixed->dwFileVersionMS & 0xFFFF, fixed->dwFileVersionLS >> 16,
      fixed->dwFileVersionLS & 0xFFFF, fixed->dwProductVersionMS >> 16,
      fixed->dwProductVersionMS & 0xFFFF, fixed->dwProductVersionLS >> 16,
      fixed->dwProductVersionLS & 0xFFFF, fixed->dwFileFlagsMask, fixed->dwFileFlags,
      fixed->dwFileOS, fixed->dwFileType, fixed->dwFileSubtype, fixed->dwFileDateMS,
      fixed->dwFileDateLS);

  WORD *translation = NULL;
  if (!VerQueryValueA(info, "\\VarFileInfo\\Translation", (void **)&translation, &length))
    return fail("no translation");
  printf("version Translation length=%u", length);
  for (UINT i = 0; i < length / 4; ++i)
    printf(" 0x%04x/%u", translation[2 * i], translation[2 * i + 1]);
  printf("\n");

  static const char *const keys[] = {"Comments",        "CompanyName",      "FileDescription",
                                     "FileVersion",     "InternalName",     "LegalCopyright",
                                     "LegalTrademarks", "OriginalFilename", "PrivateBuild",
                                     "ProductName",     "ProductVersion",   "SpecialBuild"};
  for (unsigned i = 0; i < sizeof keys / sizeof keys[0]; ++i) versionString(info, keys[i]);
  return 0;
}

int main(int argc, char **argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  if (argc != 2) {
    fprintf(stderr, "usage: loader_probe LIBRARY.dll\n");
    return 2;
  }
  const char *path = argv[1];

  if (loadAndDump(path, "preferred", kPreferredBase) != 0) return 1;

  if (VirtualAlloc((void *)(UINT_PTR)kPreferredBase, 0x10000, MEM_RESERVE, PAGE_NOACCESS) == NULL)
    return fail("could not reserve the preferred base");
  if (loadAndDump(path, "relocated", 0) != 0) return 1;

  return versionReport(path);
}
