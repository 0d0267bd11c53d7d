unit Forms;

{ Stand-in for the window library's Forms unit: just the Application object. }

{$mode delphi}

interface

uses Classes;

type
  TApplication = class(TComponent)
  public
    ExeName: string;
  end;

var
  Application: TApplication;

implementation

initialization
  Application := TApplication.Create(nil);
  Application.ExeName := ParamStr(0);
finalization
  Application.Free;
end.
