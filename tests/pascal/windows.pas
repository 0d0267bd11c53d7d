unit Windows;

{ Empty stand-in: the generated unit names it in its uses clause only. }

interface

implementation

end.
