unit DBTables;

{ Stand-in TTable whose CreateTable prints the definitions it was given, one per line,
  names as hexadecimal bytes so that any byte survives the trip:
    TABLE <database> <table>
    FIELD <name> <type code> <size> <0|1>
    INDEX <name> <fields> <option bits>
    END }

{$mode delphi}

interface

uses Classes, SysUtils, DB;

type
  TTableType = (ttDefault, ttParadox, ttDBase, ttFoxPro, ttASCII);

  TDefinitionList = class
  private
    FLines: TStringList;
  public
    constructor Create;
    destructor Destroy; override;
    procedure Clear;
    property Lines: TStringList read FLines;
  end;

  TFieldDefinitions = class(TDefinitionList)
  public
    procedure Add(const Name: string; DataType: TFieldType; Size: Integer; Required: Boolean);
  end;

  TIndexDefinitions = class(TDefinitionList)
  public
    procedure Add(const Name, Fields: string; Options: TIndexOptions);
  end;

  TTable = class(TComponent)
  private
    FFieldDefs: TFieldDefinitions;
    FIndexDefs: TIndexDefinitions;
  public
    Active: Boolean;
    DatabaseName: string;
    TableName: string;
    TableType: TTableType;
    constructor Create(AOwner: TComponent); override;
    destructor Destroy; override;
    procedure CreateTable;
    property FieldDefs: TFieldDefinitions read FFieldDefs;
    property IndexDefs: TIndexDefinitions read FIndexDefs;
  end;

implementation

function Hex(const S: string): string;
var
  I: Integer;
begin
  Result := 'x';
  for I := 1 to Length(S) do
    Result := Result + IntToHex(Ord(S[I]), 2);
end;

constructor TDefinitionList.Create;
begin
  inherited Create;
  FLines := TStringList.Create;
end;

destructor TDefinitionList.Destroy;
begin
  FLines.Free;
  inherited Destroy;
end;

procedure TDefinitionList.Clear;
begin
  FLines.Clear;
end;

procedure TFieldDefinitions.Add(const Name: string; DataType: TFieldType; Size: Integer; Required: Boolean);
begin
  FLines.Add('FIELD ' + Hex(Name) + ' ' + IntToStr(Ord(DataType)) + ' ' + IntToStr(Size) + ' ' +
    IntToStr(Ord(Required)));
end;

procedure TIndexDefinitions.Add(const Name, Fields: string; Options: TIndexOptions);
var
  Bits: Integer;
begin
  Bits := 0;
  if ixPrimary in Options then Bits := Bits or $01;
  if ixUnique in Options then Bits := Bits or $02;
  if ixDescending in Options then Bits := Bits or $04;
  if ixCaseInsensitive in Options then Bits := Bits or $08;
  if ixExpression in Options then Bits := Bits or $10;
  FLines.Add('INDEX ' + Hex(Name) + ' ' + Hex(Fields) + ' ' + IntToStr(Bits));
end;

constructor TTable.Create(AOwner: TComponent);
begin
  inherited Create(AOwner);
  FFieldDefs := TFieldDefinitions.Create;
  FIndexDefs := TIndexDefinitions.Create;
end;

destructor TTable.Destroy;
begin
  FFieldDefs.Free;
  FIndexDefs.Free;
  inherited Destroy;
end;

procedure TTable.CreateTable;
var
  I: Integer;
begin
  if TableType <> ttParadox then
    raise Exception.Create('table type is not Paradox');
  WriteLn('TABLE ', Hex(DatabaseName), ' ', Hex(TableName));
  for I := 0 to FFieldDefs.Lines.Count - 1 do
    WriteLn(FFieldDefs.Lines[I]);
  for I := 0 to FIndexDefs.Lines.Count - 1 do
    WriteLn(FIndexDefs.Lines[I]);
  WriteLn('END');
end;

end.
