{ Lists the drives with their sizes and asks disk 0, through Korvex.dll's
  exports as the unit Korvex declares them. Korvex.dll must lie beside the
  program. Build with Free Pascal for win32 or with Delphi:
    fpc -Twin32 -Fu../../include list_drives.pas
    dcc32 -U..\..\include list_drives.pas }
program list_drives;

{$IFDEF FPC}
  {$MODE DELPHI}
{$ENDIF}
{$APPTYPE CONSOLE}

uses
  Korvex;

type
  { Every procedure type that meets an export says cdecl, as the unit's do. }
  TGetter = procedure; cdecl;

{ Calls a getter and returns a copy of its text, which the next getter would
  overwrite. }
function Ask(Getter: TGetter): AnsiString;
begin
  Getter();
  Result := GetFile;
end;

function Padded(const Text: AnsiString; Width: Integer): AnsiString;
begin
  Result := Text;
  while Length(Result) < Width do
    Result := Result + ' ';
end;

var
  Count, Index, Error: LongInt;
begin
  SetData(2);   { two decimals at most }
  SetData(-1);  { the unit that fits each size }
  SetAlign;

  ListDrives;
  Count := GetData;
  WriteLn(Count, ' drives');
  for Index := 0 to Count - 1 do
  begin
    SetData(Index);
    SelectDrive;
    { The Windows unit has a GetDriveType of its own: in a unit that uses
      Windows after Korvex, only Korvex.GetDriveType reaches the export. }
    WriteLn(Ask(GetDriveLetter), ': ',
      Padded(Ask(Korvex.GetDriveType), 14), ' ',
      Padded(Ask(GetDriveFileSystem), 5), ' ',
      KorvexSerialText(Ask(GetVolumeSerial)),
      ' total ', Ask(GetTotalSpace),
      ', free ', Ask(GetFreeSpace), ' (', Ask(GetFreePercent), '%)',
      ', label "', Ask(GetVolumeLabel), '"');
  end;

  SetData(0);  { the first physical disk }
  GetHddInfo;
  Error := GetData;
  if GetFile^ = #0 then
  begin
    GetErrorMessage;
    WriteLn('disk 0 did not answer: error ', Error, ', ', GetFile);
  end
  else
    WriteLn('disk 0: serial ', GetFile);
end.
