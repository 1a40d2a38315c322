/*
 * A host built the way Microsoft's toolchain builds one, without any of its
 * files: clang for the msvc target, freestanding (no C runtime), linked by
 * lld-link against Korvex.lib alone for the module. It calls the exports
 * through the import library's thunks and prints what they answer.
 */
#include "korvex.h"

typedef void *Handle;
__declspec(dllimport) Handle __stdcall GetStdHandle(unsigned long which);
__declspec(dllimport) int __stdcall WriteFile(Handle file, const void *bytes, unsigned long count,
                                              unsigned long *written, void *overlapped);
__declspec(dllimport) void __stdcall ExitProcess(unsigned int code);

static void print(const char *text) {
  unsigned long length = 0, written;
  while (text[length] != '\0') ++length;
  WriteFile(GetStdHandle((unsigned long)-11), text, length, &written, 0);
}

/* The text up to its first line break: GetInfo's first line. */
static void print_line(const char *text) {
  char line[64];
  int i;
  for (i = 0; i < 63 && text[i] != '\0' && text[i] != '\r'; ++i) line[i] = text[i];
  line[i] = '\0';
  print(line);
}

static void print_number(int32_t value) {
  char digits[12];
  int i = 11;
  uint32_t magnitude = value < 0 ? 0u - (uint32_t)value : (uint32_t)value;
  digits[i] = '\0';
  do {
    digits[--i] = (char)('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (value < 0) digits[--i] = '-';
  print(digits + i);
}

void host_main(void) {
  int round;

  print("GetInfo: ");
  print_line(GetInfo());
  print("\n");

  /* A cdecl callee leaves the arguments to the caller: a convention mismatch
     would move the stack a little on every call and crash within these. */
  for (round = 0; round < 1000; ++round) Draw(round, 1, 2, 3, 4);

  ListDrives();
  print(GetData() > 0 ? "ListDrives: at least one drive\n" : "ListDrives: none\n");
  SetData(0);
  SelectDrive();
  GetDriveLetter();
  print("first drive: ");
  print(GetFile());
  print("\n");

  SetData(0);
  GetHddInfo();
  print("GetHddInfo(0): error ");
  print_number(GetData());
  GetErrorMessage();
  print(", ");
  print(GetFile());
  print("\n");
  ExitProcess(0);
}
