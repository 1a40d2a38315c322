/*
 * korvex.h: the exports of Korvex.dll, for hosts written in C or C++.
 *
 * Every export is cdecl. A question is: push the inputs (SetData for an
 * integer, SetFile for a text; slot 0 is the value pushed last), call the
 * query, read the answer with GetData (the result slot) or GetFile (the text
 * result). Reading never pops a slot, and a query with nothing to report
 * leaves both cells as they were. docs/reference.md has the whole protocol.
 *
 * Link with the import library (libKorvex.dll.a for mingw, Korvex.lib for
 * Microsoft's linker), or load the DLL with LoadLibrary and take each export
 * with GetProcAddress into the matching Korvex...Proc type below.
 *
 * windows.h and this header may be included in either order. windows.h
 * defines two of the exports' names as macros: GetDriveType (it means
 * GetDriveTypeA) and GetFreeSpace(w). This header declares the real exports
 * all the same, and offers KorvexGetDriveType() and KorvexGetFreeSpace(),
 * which always reach the DLL: call those wherever windows.h is in sight. (A
 * plain GetDriveType() there does not compile: it becomes GetDriveTypeA(),
 * which needs an argument, and the compiler may show the error at a line of
 * this header. A plain GetFreeSpace() compiles to a constant, with at most a
 * warning that the statement has no effect, and calls nothing.)
 *
 * The header is C89 and C++98 and later, and needs nothing defined first.
 */
#ifndef KORVEX_H
#define KORVEX_H

#include <stdint.h>

#if defined(_WIN32) && !defined(_WIN64)
#define KORVEX_CALL __cdecl
#else
#define KORVEX_CALL
#endif

#if defined(__cplusplus)
#define KORVEX_INLINE static inline
#elif defined(__GNUC__)
#define KORVEX_INLINE static __inline__
#elif defined(_MSC_VER)
#define KORVEX_INLINE static __inline
#else
#define KORVEX_INLINE static inline
#endif

#ifdef __cplusplus
extern "C" {
#endif

#pragma push_macro("GetDriveType")
#pragma push_macro("GetFreeSpace")
#undef GetDriveType
#undef GetFreeSpace

/* Value exchange. */
void KORVEX_CALL SetData(int32_t value);        /* pushes an integer; slot 0 := value */
int32_t KORVEX_CALL GetData(void);              /* the result slot */
void KORVEX_CALL SetFile(const char *text);     /* pushes a copy of the text (NULL: empty); "Quex" opens a modal box */
const char *KORVEX_CALL GetFile(void);          /* the text result; never NULL, valid until the next text answer */
const char *KORVEX_CALL GetInfo(void);          /* "Korvex v1.0", CR LF, two contact lines */
const char *KORVEX_CALL Copyright(void);        /* the copyright notice, one line */

/* The host's window, path, drawing area, events; the system's error text. */
void KORVEX_CALL SetParentWindow(uintptr_t window);  /* pass (uintptr_t)hwnd; hooks the window until WM_DESTROY */
void KORVEX_CALL SetPath(const char *path);     /* kept, never read */
void KORVEX_CALL Draw(int32_t unused, int32_t x, int32_t y, int32_t width, int32_t height); /* kept */
void KORVEX_CALL RenameEvent(void);             /* push "ID_OnEnum", then the new name */
void KORVEX_CALL GetErrorMessage(void);         /* text := the system's text of this thread's last error */

/* Drives: ListDrives, then push an index and SelectDrive, then the getters. */
void KORVEX_CALL ListDrives(void);              /* result := number of drives listed; selects none */
void KORVEX_CALL SelectDrive(void);             /* slot 0: index from 0; out of range selects none */
void KORVEX_CALL SetAlign(void);                /* push decimals (0..5) first, then mode (-1 auto, 0 B, 1 KB, 2 MB, 3 GB) */
void KORVEX_CALL GetDriveLetter(void);          /* text := "C" (selected drive only, like every drive getter) */
void KORVEX_CALL GetDriveFileSystem(void);      /* text := "NTFS", ... */
void KORVEX_CALL GetVolumeLabel(void);          /* text := the label, empty for none */
void KORVEX_CALL GetVolumeSerial(void);         /* text := the serial in signed decimal; see KorvexSerialText */
void KORVEX_CALL GetDriveType(void);            /* text := "DRIVE_FIXED", ...; see KorvexGetDriveType */
void KORVEX_CALL GetTotalSpace(void);           /* text := the size, such as "74.53 GB" */
void KORVEX_CALL GetFreeSpace(void);            /* text := free space for the caller; see KorvexGetFreeSpace */
void KORVEX_CALL GetUsedSpace(void);            /* text := total minus free */
void KORVEX_CALL GetUsedPercent(void);          /* text := whole percentage, "75" */
void KORVEX_CALL GetFreePercent(void);          /* text := whole percentage, "25" */

/* Disks: push a disk number and GetHddInfo, then the GetHdd getters. */
void KORVEX_CALL GetHddInfo(void);              /* slot 0: disk number; text := serial, result := error code */
void KORVEX_CALL GetHddGenConfig(void);         /* result := word 0 */
void KORVEX_CALL GetHddNumCyls(void);           /* result := word 1, cylinders */
void KORVEX_CALL GetHddNumHeads(void);          /* result := word 3, heads */
void KORVEX_CALL GetHddBytesPerTrack(void);     /* result := word 4 */
void KORVEX_CALL GetHddBytesPerSector(void);    /* result := word 5 */
void KORVEX_CALL GetHddSectorsPerTrack(void);   /* result := word 6 */
void KORVEX_CALL GetHddVendorUnique(void);      /* text := empty, always */
void KORVEX_CALL GetHddPhysicalSerial(void);    /* text := the serial number, words 10-19 */
void KORVEX_CALL GetHddBufferType(void);        /* text := word 20 in decimal */
void KORVEX_CALL GetHddBufferSize(void);        /* text := word 21 in decimal */
void KORVEX_CALL GetHddECCSize(void);           /* text := word 22 in decimal */
void KORVEX_CALL GetHddFirmwareRev(void);       /* text := the firmware revision, words 23-26 */
void KORVEX_CALL GetHddModelNumber(void);       /* text := the model, words 27-46 */
void KORVEX_CALL GetHddMoreVendorUnique(void);  /* text := word 47 in decimal */
void KORVEX_CALL GetHddCapabilities(void);      /* text := word 49 in decimal */
void KORVEX_CALL GetHddPIOTiming(void);         /* text := word 51 in decimal */
void KORVEX_CALL GetHddDMATiming(void);         /* text := word 52 in decimal */
void KORVEX_CALL GetHddBS(void);                /* text := word 53 in decimal */
void KORVEX_CALL GetHddNumCurrentCyls(void);    /* text := word 54 in decimal */
void KORVEX_CALL GetHddNumCurrentHeads(void);   /* text := word 55 in decimal */
void KORVEX_CALL GetHddNumCurrentSectorsPerTrack(void); /* text := word 56 in decimal */
void KORVEX_CALL GetHddCurrentSectorCapacity(void);     /* text := words 57-58, signed decimal */
void KORVEX_CALL GetHddMultSectorStuff(void);   /* text := word 59 in decimal */
void KORVEX_CALL GetHddTotalAddressableSectors(void);   /* text := words 60-61, signed decimal */
void KORVEX_CALL GetHddSingleWordDMA(void);     /* text := word 62 in decimal */
void KORVEX_CALL GetHddMultiWordDMA(void);      /* text := word 63 in decimal */

/* The exports as GetProcAddress gives them: KorvexNameProc is the type of Name. */
typedef void (KORVEX_CALL *KorvexSetDataProc)(int32_t value);
typedef int32_t (KORVEX_CALL *KorvexGetDataProc)(void);
typedef void (KORVEX_CALL *KorvexSetFileProc)(const char *text);
typedef const char *(KORVEX_CALL *KorvexGetFileProc)(void);
typedef const char *(KORVEX_CALL *KorvexGetInfoProc)(void);
typedef const char *(KORVEX_CALL *KorvexCopyrightProc)(void);
typedef void (KORVEX_CALL *KorvexSetParentWindowProc)(uintptr_t window);
typedef void (KORVEX_CALL *KorvexSetPathProc)(const char *path);
typedef void (KORVEX_CALL *KorvexDrawProc)(int32_t unused, int32_t x, int32_t y, int32_t width, int32_t height);
typedef void (KORVEX_CALL *KorvexRenameEventProc)(void);
typedef void (KORVEX_CALL *KorvexGetErrorMessageProc)(void);
typedef void (KORVEX_CALL *KorvexListDrivesProc)(void);
typedef void (KORVEX_CALL *KorvexSelectDriveProc)(void);
typedef void (KORVEX_CALL *KorvexSetAlignProc)(void);
typedef void (KORVEX_CALL *KorvexGetDriveLetterProc)(void);
typedef void (KORVEX_CALL *KorvexGetDriveFileSystemProc)(void);
typedef void (KORVEX_CALL *KorvexGetVolumeLabelProc)(void);
typedef void (KORVEX_CALL *KorvexGetVolumeSerialProc)(void);
typedef void (KORVEX_CALL *KorvexGetDriveTypeProc)(void);
typedef void (KORVEX_CALL *KorvexGetTotalSpaceProc)(void);
typedef void (KORVEX_CALL *KorvexGetFreeSpaceProc)(void);
typedef void (KORVEX_CALL *KorvexGetUsedSpaceProc)(void);
typedef void (KORVEX_CALL *KorvexGetUsedPercentProc)(void);
typedef void (KORVEX_CALL *KorvexGetFreePercentProc)(void);
typedef void (KORVEX_CALL *KorvexGetHddInfoProc)(void);
typedef void (KORVEX_CALL *KorvexGetHddGenConfigProc)(void);
typedef void (KORVEX_CALL *KorvexGetHddNumCylsProc)(void);
typedef void (KORVEX_CALL *KorvexGetHddNumHeadsProc)(void);
typedef void (KORVEX_CALL *KorvexGetHddBytesPerTrackProc)(void);
typedef void (KORVEX_CALL *KorvexGetHddBytesPerSectorProc)(void);
typedef void (KORVEX_CALL *KorvexGetHddSectorsPerTrackProc)(void);
typedef void (KORVEX_CALL *KorvexGetHddVendorUniqueProc)(void);
typedef void (KORVEX_CALL *KorvexGetHddPhysicalSerialProc)(void);
typedef void (KORVEX_CALL *KorvexGetHddBufferTypeProc)(void);
typedef void (KORVEX_CALL *KorvexGetHddBufferSizeProc)(void);
typedef void (KORVEX_CALL *KorvexGetHddECCSizeProc)(void);
typedef void (KORVEX_CALL *KorvexGetHddFirmwareRevProc)(void);
typedef void (KORVEX_CALL *KorvexGetHddModelNumberProc)(void);
typedef void (KORVEX_CALL *KorvexGetHddMoreVendorUniqueProc)(void);
typedef void (KORVEX_CALL *KorvexGetHddCapabilitiesProc)(void);
typedef void (KORVEX_CALL *KorvexGetHddPIOTimingProc)(void);
typedef void (KORVEX_CALL *KorvexGetHddDMATimingProc)(void);
typedef void (KORVEX_CALL *KorvexGetHddBSProc)(void);
typedef void (KORVEX_CALL *KorvexGetHddNumCurrentCylsProc)(void);
typedef void (KORVEX_CALL *KorvexGetHddNumCurrentHeadsProc)(void);
typedef void (KORVEX_CALL *KorvexGetHddNumCurrentSectorsPerTrackProc)(void);
typedef void (KORVEX_CALL *KorvexGetHddCurrentSectorCapacityProc)(void);
typedef void (KORVEX_CALL *KorvexGetHddMultSectorStuffProc)(void);
typedef void (KORVEX_CALL *KorvexGetHddTotalAddressableSectorsProc)(void);
typedef void (KORVEX_CALL *KorvexGetHddSingleWordDMAProc)(void);
typedef void (KORVEX_CALL *KorvexGetHddMultiWordDMAProc)(void);

/* Reach GetDriveType and GetFreeSpace even where windows.h made them macros. */
KORVEX_INLINE void KorvexGetDriveType(void) { GetDriveType(); }
KORVEX_INLINE void KorvexGetFreeSpace(void) { GetFreeSpace(); }

#pragma pop_macro("GetFreeSpace")
#pragma pop_macro("GetDriveType")

/*
 * GetVolumeSerial's signed decimal text ("-1531723055") in the form Windows
 * shows a volume serial ("A4B3-C2D1"): out receives 9 characters and a NUL.
 * Returns out, or NULL (out untouched) when the text is not a 32-bit decimal.
 */
KORVEX_INLINE char *KorvexSerialText(const char *decimal, char out[10]) {
  static const char digits[] = "0123456789ABCDEF";
  const char *at = decimal;
  int negative = 0;
  uint32_t magnitude = 0;
  uint32_t serial;
  int shift, i;
  if (decimal == 0) return 0;
  if (*at == '-') {
    negative = 1;
    ++at;
  }
  if (*at == '\0') return 0;
  for (; *at != '\0'; ++at) {
    if (*at < '0' || *at > '9') return 0;
    if (magnitude > ((uint32_t)0x80000000UL - (uint32_t)(*at - '0')) / 10) return 0;
    magnitude = magnitude * 10 + (uint32_t)(*at - '0');
  }
  if (!negative && magnitude > (uint32_t)0x7FFFFFFFUL) return 0;
  serial = negative ? 0u - magnitude : magnitude;
  for (i = 0, shift = 28; shift >= 0; shift -= 4) {
    if (i == 4) out[i++] = '-';
    out[i++] = digits[(serial >> shift) & 0xF];
  }
  out[i] = '\0';
  return out;
}

#ifdef __cplusplus
}
#endif

#endif /* KORVEX_H */
