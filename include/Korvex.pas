{
  Korvex.pas: the exports of Korvex.dll, for hosts written in Free Pascal or
  Delphi.

  Every export is cdecl, and so is every declaration here: Pascal's default
  convention (register) and stdcall would pass the arguments where the module
  does not look for them, or leave the stack unbalanced. A question is: push
  the inputs (SetData for an integer, SetFile for a text; slot 0 is the value
  pushed last), call the query, read the answer with GetData (the result slot)
  or GetFile (the text result). Reading never pops a slot, and a query with
  nothing to report leaves both cells as they were. docs/reference.md has the
  whole protocol.

  Two ways to reach the module:

  * Static: call the procedures below by name. The program then imports
    Korvex.dll and does not start without it. Only the exports the program
    calls are imported.

        ListDrives;
        WriteLn(GetData, ' drives');

  * Dynamic: LoadKorvex loads the DLL and takes every export by name into a
    TKorvexLibrary, whose fields have the exports' names and cdecl procedure
    types (TKorvexNameProc is the type of Name). A program that calls only
    these does not import Korvex.dll at all.

        var Lib: TKorvexLibrary;
        if LoadKorvex('Korvex.dll', Lib) then
        begin
          Lib.ListDrives();
          WriteLn(Lib.GetData(), ' drives');
          UnloadKorvex(Lib);
        end;

    Write the empty parentheses: in ObjFPC mode Lib.GetData without them is
    the procedure variable, not its result.

  Names: the Windows unit declares GetDriveType (a function of one argument),
  so in a unit that uses both, GetDriveType is whichever of the two comes later
  in the uses clause; where it is Windows', a plain "GetDriveType;" does not
  compile. Put Korvex after Windows, or write Korvex.GetDriveType. Inside a
  method, a member of the class with an export's name (Draw, SetData, ...)
  hides the export the same way. Korvex.Name always reaches the export, and so
  does Lib.Name of a TKorvexLibrary.

  The unit compiles in Delphi mode whatever the host's mode is, so Free Pascal
  and Delphi read it alike. Texts are PAnsiChar in the system's ANSI code page,
  also in Unicode Delphi.
}
unit Korvex;

{$IFDEF FPC}
  {$MODE DELPHI}
{$ENDIF}

interface

uses
  Windows;

const
  KorvexDll = 'Korvex.dll';

{ Value exchange. }
procedure SetData(Value: LongInt); cdecl; external KorvexDll;      { pushes an integer; slot 0 := value }
function GetData: LongInt; cdecl; external KorvexDll;              { the result slot }
procedure SetFile(Text: PAnsiChar); cdecl; external KorvexDll;     { pushes a copy of the text (nil: empty); 'Quex' opens a modal box }
function GetFile: PAnsiChar; cdecl; external KorvexDll;            { the text result; never nil, valid until the next text answer }
function GetInfo: PAnsiChar; cdecl; external KorvexDll;            { 'Korvex v1.0', CR LF, two contact lines }
function Copyright: PAnsiChar; cdecl; external KorvexDll;          { the copyright notice, one line }

{ The host's window, path, drawing area, events; the system's error text. }
procedure SetParentWindow(Window: HWND); cdecl; external KorvexDll; { hooks the window until WM_DESTROY }
procedure SetPath(Path: PAnsiChar); cdecl; external KorvexDll;     { kept, never read }
procedure Draw(Unused, X, Y, Width, Height: LongInt); cdecl; external KorvexDll; { kept }
procedure RenameEvent; cdecl; external KorvexDll;                  { push 'ID_OnEnum', then the new name }
procedure GetErrorMessage; cdecl; external KorvexDll;              { text := the system's text of this thread's last error }

{ Drives: ListDrives, then push an index and SelectDrive, then the getters. }
procedure ListDrives; cdecl; external KorvexDll;                   { result := number of drives listed; selects none }
procedure SelectDrive; cdecl; external KorvexDll;                  { slot 0: index from 0; out of range selects none }
procedure SetAlign; cdecl; external KorvexDll;                     { push decimals (0..5) first, then mode (-1 auto, 0 B, 1 KB, 2 MB, 3 GB) }
procedure GetDriveLetter; cdecl; external KorvexDll;               { text := 'C' (selected drive only, like every drive getter) }
procedure GetDriveFileSystem; cdecl; external KorvexDll;           { text := 'NTFS', ... }
procedure GetVolumeLabel; cdecl; external KorvexDll;               { text := the label, empty for none }
procedure GetVolumeSerial; cdecl; external KorvexDll;              { text := the serial in signed decimal; see KorvexSerialText }
procedure GetDriveType; cdecl; external KorvexDll;                 { text := 'DRIVE_FIXED', ...; Windows has one too: see above }
procedure GetTotalSpace; cdecl; external KorvexDll;                { text := the size, such as '74.53 GB' }
procedure GetFreeSpace; cdecl; external KorvexDll;                 { text := free space for the caller }
procedure GetUsedSpace; cdecl; external KorvexDll;                 { text := total minus free }
procedure GetUsedPercent; cdecl; external KorvexDll;               { text := whole percentage, '75' }
procedure GetFreePercent; cdecl; external KorvexDll;               { text := whole percentage, '25' }

{ Disks: push a disk number and GetHddInfo, then the GetHdd getters. }
procedure GetHddInfo; cdecl; external KorvexDll;                   { slot 0: disk number; text := serial, result := error code }
procedure GetHddGenConfig; cdecl; external KorvexDll;              { result := word 0 }
procedure GetHddNumCyls; cdecl; external KorvexDll;                { result := word 1, cylinders }
procedure GetHddNumHeads; cdecl; external KorvexDll;               { result := word 3, heads }
procedure GetHddBytesPerTrack; cdecl; external KorvexDll;          { result := word 4 }
procedure GetHddBytesPerSector; cdecl; external KorvexDll;         { result := word 5 }
procedure GetHddSectorsPerTrack; cdecl; external KorvexDll;        { result := word 6 }
procedure GetHddVendorUnique; cdecl; external KorvexDll;           { text := empty, always }
procedure GetHddPhysicalSerial; cdecl; external KorvexDll;         { text := the serial number, words 10-19 }
procedure GetHddBufferType; cdecl; external KorvexDll;             { text := word 20 in decimal }
procedure GetHddBufferSize; cdecl; external KorvexDll;             { text := word 21 in decimal }
procedure GetHddECCSize; cdecl; external KorvexDll;                { text := word 22 in decimal }
procedure GetHddFirmwareRev; cdecl; external KorvexDll;            { text := the firmware revision, words 23-26 }
procedure GetHddModelNumber; cdecl; external KorvexDll;            { text := the model, words 27-46 }
procedure GetHddMoreVendorUnique; cdecl; external KorvexDll;       { text := word 47 in decimal }
procedure GetHddCapabilities; cdecl; external KorvexDll;           { text := word 49 in decimal }
procedure GetHddPIOTiming; cdecl; external KorvexDll;              { text := word 51 in decimal }
procedure GetHddDMATiming; cdecl; external KorvexDll;              { text := word 52 in decimal }
procedure GetHddBS; cdecl; external KorvexDll;                     { text := word 53 in decimal }
procedure GetHddNumCurrentCyls; cdecl; external KorvexDll;         { text := word 54 in decimal }
procedure GetHddNumCurrentHeads; cdecl; external KorvexDll;        { text := word 55 in decimal }
procedure GetHddNumCurrentSectorsPerTrack; cdecl; external KorvexDll; { text := word 56 in decimal }
procedure GetHddCurrentSectorCapacity; cdecl; external KorvexDll;  { text := words 57-58, signed decimal }
procedure GetHddMultSectorStuff; cdecl; external KorvexDll;        { text := word 59 in decimal }
procedure GetHddTotalAddressableSectors; cdecl; external KorvexDll; { text := words 60-61, signed decimal }
procedure GetHddSingleWordDMA; cdecl; external KorvexDll;          { text := word 62 in decimal }
procedure GetHddMultiWordDMA; cdecl; external KorvexDll;           { text := word 63 in decimal }

type
  { The exports as GetProcAddress gives them: TKorvexNameProc is the type of Name. }
  TKorvexSetDataProc = procedure(Value: LongInt); cdecl;
  TKorvexGetDataProc = function: LongInt; cdecl;
  TKorvexSetFileProc = procedure(Text: PAnsiChar); cdecl;
  TKorvexGetFileProc = function: PAnsiChar; cdecl;
  TKorvexGetInfoProc = function: PAnsiChar; cdecl;
  TKorvexCopyrightProc = function: PAnsiChar; cdecl;
  TKorvexSetParentWindowProc = procedure(Window: HWND); cdecl;
  TKorvexSetPathProc = procedure(Path: PAnsiChar); cdecl;
  TKorvexDrawProc = procedure(Unused, X, Y, Width, Height: LongInt); cdecl;
  TKorvexRenameEventProc = procedure; cdecl;
  TKorvexGetErrorMessageProc = procedure; cdecl;
  TKorvexListDrivesProc = procedure; cdecl;
  TKorvexSelectDriveProc = procedure; cdecl;
  TKorvexSetAlignProc = procedure; cdecl;
  TKorvexGetDriveLetterProc = procedure; cdecl;
  TKorvexGetDriveFileSystemProc = procedure; cdecl;
  TKorvexGetVolumeLabelProc = procedure; cdecl;
  TKorvexGetVolumeSerialProc = procedure; cdecl;
  TKorvexGetDriveTypeProc = procedure; cdecl;
  TKorvexGetTotalSpaceProc = procedure; cdecl;
  TKorvexGetFreeSpaceProc = procedure; cdecl;
  TKorvexGetUsedSpaceProc = procedure; cdecl;
  TKorvexGetUsedPercentProc = procedure; cdecl;
  TKorvexGetFreePercentProc = procedure; cdecl;
  TKorvexGetHddInfoProc = procedure; cdecl;
  TKorvexGetHddGenConfigProc = procedure; cdecl;
  TKorvexGetHddNumCylsProc = procedure; cdecl;
  TKorvexGetHddNumHeadsProc = procedure; cdecl;
  TKorvexGetHddBytesPerTrackProc = procedure; cdecl;
  TKorvexGetHddBytesPerSectorProc = procedure; cdecl;
  TKorvexGetHddSectorsPerTrackProc = procedure; cdecl;
  TKorvexGetHddVendorUniqueProc = procedure; cdecl;
  TKorvexGetHddPhysicalSerialProc = procedure; cdecl;
  TKorvexGetHddBufferTypeProc = procedure; cdecl;
  TKorvexGetHddBufferSizeProc = procedure; cdecl;
  TKorvexGetHddECCSizeProc = procedure; cdecl;
  TKorvexGetHddFirmwareRevProc = procedure; cdecl;
  TKorvexGetHddModelNumberProc = procedure; cdecl;
  TKorvexGetHddMoreVendorUniqueProc = procedure; cdecl;
  TKorvexGetHddCapabilitiesProc = procedure; cdecl;
  TKorvexGetHddPIOTimingProc = procedure; cdecl;
  TKorvexGetHddDMATimingProc = procedure; cdecl;
  TKorvexGetHddBSProc = procedure; cdecl;
  TKorvexGetHddNumCurrentCylsProc = procedure; cdecl;
  TKorvexGetHddNumCurrentHeadsProc = procedure; cdecl;
  TKorvexGetHddNumCurrentSectorsPerTrackProc = procedure; cdecl;
  TKorvexGetHddCurrentSectorCapacityProc = procedure; cdecl;
  TKorvexGetHddMultSectorStuffProc = procedure; cdecl;
  TKorvexGetHddTotalAddressableSectorsProc = procedure; cdecl;
  TKorvexGetHddSingleWordDMAProc = procedure; cdecl;
  TKorvexGetHddMultiWordDMAProc = procedure; cdecl;

const
  KorvexExportCount = 51;

  { The exports' names by ordinal. }
  KorvexExportNames: array[1..KorvexExportCount] of PAnsiChar = (
    'RenameEvent', 'ListDrives', 'SelectDrive', 'SetAlign', 'GetDriveLetter',
    'GetDriveFileSystem', 'GetVolumeLabel', 'GetVolumeSerial', 'GetDriveType',
    'GetTotalSpace', 'GetFreeSpace', 'GetUsedSpace', 'GetUsedPercent',
    'GetFreePercent', 'GetHddInfo', 'GetErrorMessage', 'GetHddGenConfig',
    'GetHddNumCyls', 'GetHddNumHeads', 'GetHddBytesPerTrack',
    'GetHddBytesPerSector', 'GetHddSectorsPerTrack', 'GetHddVendorUnique',
    'GetHddPhysicalSerial', 'GetHddBufferType', 'GetHddBufferSize',
    'GetHddECCSize', 'GetHddFirmwareRev', 'GetHddModelNumber',
    'GetHddMoreVendorUnique', 'GetHddCapabilities', 'GetHddPIOTiming',
    'GetHddDMATiming', 'GetHddBS', 'GetHddNumCurrentCyls',
    'GetHddNumCurrentHeads', 'GetHddNumCurrentSectorsPerTrack',
    'GetHddCurrentSectorCapacity', 'GetHddMultSectorStuff',
    'GetHddTotalAddressableSectors', 'GetHddSingleWordDMA',
    'GetHddMultiWordDMA', 'Copyright', 'GetInfo', 'SetPath',
    'SetParentWindow', 'Draw', 'SetFile', 'GetFile', 'SetData', 'GetData');

type
  { Korvex.dll loaded by LoadKorvex: Handle and every export. The fields come
    in ordinal order, so that ByOrdinal[N] is the export of ordinal N and
    KorvexExportNames[N] its name. }
  TKorvexLibrary = record
    Handle: HMODULE;
    case Integer of
      0: (ByOrdinal: array[1..KorvexExportCount] of Pointer);
      1: (
        RenameEvent: TKorvexRenameEventProc;
        ListDrives: TKorvexListDrivesProc;
        SelectDrive: TKorvexSelectDriveProc;
        SetAlign: TKorvexSetAlignProc;
        GetDriveLetter: TKorvexGetDriveLetterProc;
        GetDriveFileSystem: TKorvexGetDriveFileSystemProc;
        GetVolumeLabel: TKorvexGetVolumeLabelProc;
        GetVolumeSerial: TKorvexGetVolumeSerialProc;
        GetDriveType: TKorvexGetDriveTypeProc;
        GetTotalSpace: TKorvexGetTotalSpaceProc;
        GetFreeSpace: TKorvexGetFreeSpaceProc;
        GetUsedSpace: TKorvexGetUsedSpaceProc;
        GetUsedPercent: TKorvexGetUsedPercentProc;
        GetFreePercent: TKorvexGetFreePercentProc;
        GetHddInfo: TKorvexGetHddInfoProc;
        GetErrorMessage: TKorvexGetErrorMessageProc;
        GetHddGenConfig: TKorvexGetHddGenConfigProc;
        GetHddNumCyls: TKorvexGetHddNumCylsProc;
        GetHddNumHeads: TKorvexGetHddNumHeadsProc;
        GetHddBytesPerTrack: TKorvexGetHddBytesPerTrackProc;
        GetHddBytesPerSector: TKorvexGetHddBytesPerSectorProc;
        GetHddSectorsPerTrack: TKorvexGetHddSectorsPerTrackProc;
        GetHddVendorUnique: TKorvexGetHddVendorUniqueProc;
        GetHddPhysicalSerial: TKorvexGetHddPhysicalSerialProc;
        GetHddBufferType: TKorvexGetHddBufferTypeProc;
        GetHddBufferSize: TKorvexGetHddBufferSizeProc;
        GetHddECCSize: TKorvexGetHddECCSizeProc;
        GetHddFirmwareRev: TKorvexGetHddFirmwareRevProc;
        GetHddModelNumber: TKorvexGetHddModelNumberProc;
        GetHddMoreVendorUnique: TKorvexGetHddMoreVendorUniqueProc;
        GetHddCapabilities: TKorvexGetHddCapabilitiesProc;
        GetHddPIOTiming: TKorvexGetHddPIOTimingProc;
        GetHddDMATiming: TKorvexGetHddDMATimingProc;
        GetHddBS: TKorvexGetHddBSProc;
        GetHddNumCurrentCyls: TKorvexGetHddNumCurrentCylsProc;
        GetHddNumCurrentHeads: TKorvexGetHddNumCurrentHeadsProc;
        GetHddNumCurrentSectorsPerTrack: TKorvexGetHddNumCurrentSectorsPerTrackProc;
        GetHddCurrentSectorCapacity: TKorvexGetHddCurrentSectorCapacityProc;
        GetHddMultSectorStuff: TKorvexGetHddMultSectorStuffProc;
        GetHddTotalAddressableSectors: TKorvexGetHddTotalAddressableSectorsProc;
        GetHddSingleWordDMA: TKorvexGetHddSingleWordDMAProc;
        GetHddMultiWordDMA: TKorvexGetHddMultiWordDMAProc;
        Copyright: TKorvexCopyrightProc;
        GetInfo: TKorvexGetInfoProc;
        SetPath: TKorvexSetPathProc;
        SetParentWindow: TKorvexSetParentWindowProc;
        Draw: TKorvexDrawProc;
        SetFile: TKorvexSetFileProc;
        GetFile: TKorvexGetFileProc;
        SetData: TKorvexSetDataProc;
        GetData: TKorvexGetDataProc);
  end;

{ Loads the DLL (a file name or path, as LoadLibrary takes it) and takes all
  51 exports by name. False, with Lib all nil and nothing left loaded, when the
  DLL does not load or lacks an export: GetLastError then says why. }
function LoadKorvex(const FileName: string; out Lib: TKorvexLibrary): Boolean;

{ Frees the DLL that LoadKorvex loaded and sets Lib all nil. }
procedure UnloadKorvex(var Lib: TKorvexLibrary);

{ GetVolumeSerial's signed decimal text ('-1531723055') in the form Windows
  shows a volume serial ('A4B3-C2D1'); '' when the text is not a 32-bit
  decimal. }
function KorvexSerialText(const Decimal: AnsiString): AnsiString;

implementation

function LoadKorvex(const FileName: string; out Lib: TKorvexLibrary): Boolean;
var
  Ordinal: Integer;
  Error: DWORD;
begin
  FillChar(Lib, SizeOf(Lib), 0);
  Lib.Handle := LoadLibrary(PChar(FileName));
  Result := Lib.Handle <> 0;
  Ordinal := 1;
  while Result and (Ordinal <= KorvexExportCount) do
  begin
    Lib.ByOrdinal[Ordinal] := GetProcAddress(Lib.Handle, KorvexExportNames[Ordinal]);
    Result := Lib.ByOrdinal[Ordinal] <> nil;
    Inc(Ordinal);
  end;
  if not Result and (Lib.Handle <> 0) then
  begin
    { FreeLibrary may overwrite the code that tells which export was missing. }
    Error := GetLastError;
    UnloadKorvex(Lib);
    SetLastError(Error);
  end;
end;

procedure UnloadKorvex(var Lib: TKorvexLibrary);
begin
  if Lib.Handle <> 0 then
    FreeLibrary(Lib.Handle);
  FillChar(Lib, SizeOf(Lib), 0);
end;

function KorvexSerialText(const Decimal: AnsiString): AnsiString;
const
  HexDigits: array[0..15] of AnsiChar = '0123456789ABCDEF';
var
  First, Index, Shift: Integer;
  Magnitude: Int64;
  Serial: Cardinal;
begin
  Result := '';
  First := 1;
  if (Length(Decimal) > 0) and (Decimal[1] = '-') then
    First := 2;
  if First > Length(Decimal) then
    Exit;
  Magnitude := 0;
  for Index := First to Length(Decimal) do
  begin
    if not (Decimal[Index] in ['0'..'9']) then
      Exit;
    Magnitude := Magnitude * 10 + (Ord(Decimal[Index]) - Ord('0'));
    if Magnitude > $80000000 then
      Exit;
  end;
  if First = 2 then
    Magnitude := -Magnitude
  else if Magnitude > $7FFFFFFF then
    Exit;
  { The serial is the 32-bit pattern of the signed number. }
  Serial := Cardinal(Magnitude and $FFFFFFFF);
  SetLength(Result, 9);
  Index := 1;
  Shift := 28;
  while Shift >= 0 do
  begin
    if Index = 5 then
    begin
      Result[Index] := '-';
      Inc(Index);
    end;
    Result[Index] := HexDigits[(Serial shr Shift) and $F];
    Inc(Index);
    Dec(Shift, 4);
  end;
end;

end.
