{ Checks the unit Korvex against the real Korvex.dll, from a host in ObjFPC
  mode, whose calls of procedure variables differ from Delphi mode's: every
  static declaration imports the export of its name, LoadKorvex takes every
  export into the field of its name, the arguments of the exports that take
  any arrive both ways, and KorvexSerialText gives the form Windows shows.
  Prints each failed check; exit status 1 when one failed. }
program unit_check;

{$MODE OBJFPC}
{$H+}

uses
  Windows, SysUtils, Korvex;

var
  Checks: Integer = 0;
  Failures: Integer = 0;
  Lib: TKorvexLibrary;

procedure Check(Passed: Boolean; const What: string);
begin
  Inc(Checks);
  if not Passed then
  begin
    WriteLn('FAIL: ', What);
    Inc(Failures);
  end;
end;

type
  TExportRow = record
    Name: PAnsiChar;
    Field: PPointer;  { the TKorvexLibrary field of that name }
    Static: Pointer;  { the static declaration of that name }
  end;

const
  { Windows comes before Korvex above; Korvex.GetDriveType is qualified all the
    same, as a host should wherever both units are in sight. }
  ExportRows: array[1..KorvexExportCount] of TExportRow = (
    (Name: 'RenameEvent'; Field: @Lib.RenameEvent; Static: @RenameEvent),
    (Name: 'ListDrives'; Field: @Lib.ListDrives; Static: @ListDrives),
    (Name: 'SelectDrive'; Field: @Lib.SelectDrive; Static: @SelectDrive),
    (Name: 'SetAlign'; Field: @Lib.SetAlign; Static: @SetAlign),
    (Name: 'GetDriveLetter'; Field: @Lib.GetDriveLetter; Static: @GetDriveLetter),
    (Name: 'GetDriveFileSystem'; Field: @Lib.GetDriveFileSystem; Static: @GetDriveFileSystem),
    (Name: 'GetVolumeLabel'; Field: @Lib.GetVolumeLabel; Static: @GetVolumeLabel),
    (Name: 'GetVolumeSerial'; Field: @Lib.GetVolumeSerial; Static: @GetVolumeSerial),
    (Name: 'GetDriveType'; Field: @Lib.GetDriveType; Static: @Korvex.GetDriveType),
    (Name: 'GetTotalSpace'; Field: @Lib.GetTotalSpace; Static: @GetTotalSpace),
    (Name: 'GetFreeSpace'; Field: @Lib.GetFreeSpace; Static: @GetFreeSpace),
    (Name: 'GetUsedSpace'; Field: @Lib.GetUsedSpace; Static: @GetUsedSpace),
    (Name: 'GetUsedPercent'; Field: @Lib.GetUsedPercent; Static: @GetUsedPercent),
    (Name: 'GetFreePercent'; Field: @Lib.GetFreePercent; Static: @GetFreePercent),
    (Name: 'GetHddInfo'; Field: @Lib.GetHddInfo; Static: @GetHddInfo),
    (Name: 'GetErrorMessage'; Field: @Lib.GetErrorMessage; Static: @GetErrorMessage),
    (Name: 'GetHddGenConfig'; Field: @Lib.GetHddGenConfig; Static: @GetHddGenConfig),
    (Name: 'GetHddNumCyls'; Field: @Lib.GetHddNumCyls; Static: @GetHddNumCyls),
    (Name: 'GetHddNumHeads'; Field: @Lib.GetHddNumHeads; Static: @GetHddNumHeads),
    (Name: 'GetHddBytesPerTrack'; Field: @Lib.GetHddBytesPerTrack; Static: @GetHddBytesPerTrack),
    (Name: 'GetHddBytesPerSector'; Field: @Lib.GetHddBytesPerSector; Static: @GetHddBytesPerSector),
    (Name: 'GetHddSectorsPerTrack'; Field: @Lib.GetHddSectorsPerTrack;
     Static: @GetHddSectorsPerTrack),
    (Name: 'GetHddVendorUnique'; Field: @Lib.GetHddVendorUnique; Static: @GetHddVendorUnique),
    (Name: 'GetHddPhysicalSerial'; Field: @Lib.GetHddPhysicalSerial; Static: @GetHddPhysicalSerial),
    (Name: 'GetHddBufferType'; Field: @Lib.GetHddBufferType; Static: @GetHddBufferType),
    (Name: 'GetHddBufferSize'; Field: @Lib.GetHddBufferSize; Static: @GetHddBufferSize),
    (Name: 'GetHddECCSize'; Field: @Lib.GetHddECCSize; Static: @GetHddECCSize),
    (Name: 'GetHddFirmwareRev'; Field: @Lib.GetHddFirmwareRev; Static: @GetHddFirmwareRev),
    (Name: 'GetHddModelNumber'; Field: @Lib.GetHddModelNumber; Static: @GetHddModelNumber),
    (Name: 'GetHddMoreVendorUnique'; Field: @Lib.GetHddMoreVendorUnique;
     Static: @GetHddMoreVendorUnique),
    (Name: 'GetHddCapabilities'; Field: @Lib.GetHddCapabilities; Static: @GetHddCapabilities),
    (Name: 'GetHddPIOTiming'; Field: @Lib.GetHddPIOTiming; Static: @GetHddPIOTiming),
    (Name: 'GetHddDMATiming'; Field: @Lib.GetHddDMATiming; Static: @GetHddDMATiming),
    (Name: 'GetHddBS'; Field: @Lib.GetHddBS; Static: @GetHddBS),
    (Name: 'GetHddNumCurrentCyls'; Field: @Lib.GetHddNumCurrentCyls; Static: @GetHddNumCurrentCyls),
    (Name: 'GetHddNumCurrentHeads'; Field: @Lib.GetHddNumCurrentHeads;
     Static: @GetHddNumCurrentHeads),
    (Name: 'GetHddNumCurrentSectorsPerTrack'; Field: @Lib.GetHddNumCurrentSectorsPerTrack;
     Static: @GetHddNumCurrentSectorsPerTrack),
    (Name: 'GetHddCurrentSectorCapacity'; Field: @Lib.GetHddCurrentSectorCapacity;
     Static: @GetHddCurrentSectorCapacity),
    (Name: 'GetHddMultSectorStuff'; Field: @Lib.GetHddMultSectorStuff;
     Static: @GetHddMultSectorStuff),
    (Name: 'GetHddTotalAddressableSectors'; Field: @Lib.GetHddTotalAddressableSectors;
     Static: @GetHddTotalAddressableSectors),
    (Name: 'GetHddSingleWordDMA'; Field: @Lib.GetHddSingleWordDMA; Static: @GetHddSingleWordDMA),
    (Name: 'GetHddMultiWordDMA'; Field: @Lib.GetHddMultiWordDMA; Static: @GetHddMultiWordDMA),
    (Name: 'Copyright'; Field: @Lib.Copyright; Static: @Copyright),
    (Name: 'GetInfo'; Field: @Lib.GetInfo; Static: @GetInfo),
    (Name: 'SetPath'; Field: @Lib.SetPath; Static: @SetPath),
    (Name: 'SetParentWindow'; Field: @Lib.SetParentWindow; Static: @SetParentWindow),
    (Name: 'Draw'; Field: @Lib.Draw; Static: @Draw),
    (Name: 'SetFile'; Field: @Lib.SetFile; Static: @SetFile),
    (Name: 'GetFile'; Field: @Lib.GetFile; Static: @GetFile),
    (Name: 'SetData'; Field: @Lib.SetData; Static: @SetData),
    (Name: 'GetData'; Field: @Lib.GetData; Static: @GetData));

{ What the loader bound a static declaration to: its address is a jump
  through its import table entry (jmp [entry]). Wine, unlike Windows, starts a
  program whose import is missing, with the entry pointing at a stub. }
function ImportTarget(Declaration: Pointer): Pointer;
begin
  if PWord(Declaration)^ = $25FF then
    Result := PPointer(PPointer(PByte(Declaration) + 2)^)^
  else
    Result := nil;
end;

procedure CheckLoadedExports;
var
  Ordinal: Integer;
  Row: TExportRow;
begin
  for Ordinal := 1 to KorvexExportCount do
  begin
    Check(Lib.ByOrdinal[Ordinal] = GetProcAddress(Lib.Handle, PAnsiChar(PtrUInt(Ordinal))),
      'the export of ordinal ' + IntToStr(Ordinal) + ' is ' + KorvexExportNames[Ordinal]);
    Row := ExportRows[Ordinal];
    Check(ImportTarget(Row.Static) = GetProcAddress(Lib.Handle, Row.Name),
      Row.Name + ' is imported');
    Check(Row.Field^ = GetProcAddress(Lib.Handle, Row.Name),
      'Lib.' + Row.Name + ' is that export');
  end;
end;

procedure CheckFailedLoads;
begin
  Check(not LoadKorvex('KorvexMissing.dll', Lib) and (GetLastError = ERROR_MOD_NOT_FOUND)
    and (Lib.Handle = 0), 'a DLL that is not there does not load');
  Check(not LoadKorvex('kernel32.dll', Lib) and (GetLastError = ERROR_PROC_NOT_FOUND)
    and (Lib.Handle = 0) and (Lib.ByOrdinal[1] = nil), 'a DLL without the exports is refused');
end;

{ The unit text of the selected drive's total size (' B ', ' KB', ...) after
  SetAlign with the two values pushed before it. }
function SizeUnitStatic(Decimals, Mode: LongInt): string;
begin
  SetData(Decimals);
  SetData(Mode);
  SetAlign;
  GetTotalSpace;
  Result := GetFile;
  Result := Copy(Result, Length(Result) - 2, 3);
end;

function SizeUnitDynamic(Decimals, Mode: LongInt): string;
begin
  Lib.SetData(Decimals);
  Lib.SetData(Mode);
  Lib.SetAlign();
  Lib.GetTotalSpace();
  Result := Lib.GetFile();
  Result := Copy(Result, Length(Result) - 2, 3);
end;

function Hooked(SetParent: TKorvexSetParentWindowProc): Boolean;
var
  Window: HWND;
  Before: LONG_PTR;
begin
  Window := CreateWindowA('STATIC', 'host', WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, 0, 0, 0, nil);
  Before := GetWindowLongPtrA(Window, GWLP_WNDPROC);
  SetParent(Window);
  Result := (Window <> 0) and (GetWindowLongPtrA(Window, GWLP_WNDPROC) <> Before);
  DestroyWindow(Window);
end;

{ The exports that take arguments, called both ways. SetPath and Draw keep
  what they get without showing it: they are only called. }
procedure CheckArguments;
begin
  ListDrives;
  Check(GetData >= 1, 'ListDrives lists drive C:');
  SetData(0);
  SelectDrive;
  GetDriveLetter;
  Check(string(GetFile) = 'C', 'SetData(0) selects drive C:');
  Check(SizeUnitStatic(5, 0) = ' B ', 'SetData and SetAlign, static: mode 0 gives bytes');
  Check(SizeUnitDynamic(3, 1) = ' KB', 'SetData and SetAlign, dynamic: mode 1 gives KB');
  Check(Pos('Korvex v', GetInfo) = 1, 'GetInfo, static');
  Check((Copyright^ <> #0) and (string(Lib.Copyright()) = string(Copyright)),
    'Copyright, both ways');
  SetFile('Korvex');
  Lib.SetFile('Korvex');
  SetPath('C:\host');
  Lib.SetPath('C:\host');
  Draw(0, 1, 2, 3, 4);
  Lib.Draw(0, 1, 2, 3, 4);
  Check(Hooked(@SetParentWindow), 'SetParentWindow, static, hooks the window');
  Check(Hooked(Lib.SetParentWindow), 'SetParentWindow, dynamic, hooks the window');
end;

procedure CheckSerialText;
type
  TCase = record
    Decimal, Shown: AnsiString;
  end;
const
  Cases: array[1..13] of TCase = (
    (Decimal: '-1531723055'; Shown: 'A4B3-C2D1'),
    (Decimal: '305441741'; Shown: '1234-ABCD'),
    (Decimal: '0'; Shown: '0000-0000'),
    (Decimal: '-1'; Shown: 'FFFF-FFFF'),
    (Decimal: '2147483647'; Shown: '7FFF-FFFF'),
    (Decimal: '-2147483648'; Shown: '8000-0000'),
    (Decimal: '2147483648'; Shown: ''),
    (Decimal: '-2147483649'; Shown: ''),
    (Decimal: '99999999999999999999'; Shown: ''),
    (Decimal: ''; Shown: ''),
    (Decimal: '-'; Shown: ''),
    (Decimal: '12a'; Shown: ''),
    (Decimal: '+1'; Shown: ''));
var
  Index: Integer;
begin
  for Index := Low(Cases) to High(Cases) do
    Check(KorvexSerialText(Cases[Index].Decimal) = Cases[Index].Shown,
      'KorvexSerialText(''' + Cases[Index].Decimal + ''') = ''' + Cases[Index].Shown + '''');
end;

begin
  if LoadKorvex('Korvex.dll', Lib) then
  begin
    CheckLoadedExports;
    CheckArguments;
    UnloadKorvex(Lib);
    Check((Lib.Handle = 0) and not Assigned(Lib.GetData), 'UnloadKorvex clears Lib');
  end
  else
    Check(False, 'LoadKorvex loads Korvex.dll');
  CheckFailedLoads;
  CheckSerialText;
  WriteLn('unit Korvex: ', Checks, ' checks, ', Failures, ' failed');
  if Failures > 0 then
    Halt(1);
end.
