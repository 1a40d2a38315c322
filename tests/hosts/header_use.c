/*
 * Uses korvex.h the way a host does, compiled by check-header in every
 * dialect it supports, as C and as C++, with windows.h included before it,
 * after it, or not at all (KORVEX_WINDOWS_H: 1 before, 2 after).
 */
#if KORVEX_WINDOWS_H == 1
#include <windows.h>
#endif
#include "korvex.h"
#if KORVEX_WINDOWS_H == 2
#include <windows.h>
#endif

int host_reads_serial(void);

int host_reads_serial(void) {
  char serial[10];
  KorvexGetDataProc get_data = GetData;
  KorvexSetParentWindowProc set_parent_window = SetParentWindow;
  SetData(0);
  SelectDrive();
  KorvexGetDriveType();
  KorvexGetFreeSpace();
  GetVolumeSerial();
  set_parent_window((uintptr_t)0);
  return KorvexSerialText(GetFile(), serial) != 0 && get_data() == 0;
}
