' The record and restore loops as a VBScript user would write them, run by cscript against a new
' Excel of its own, for comparison with the tool. Prints "name: value" lines.
'
'   cscript loops.vbs rows columns rowStep columnStep snapshotPath
'
' Sets up a new workbook first, untimed: column A filled to `rows`, row 1 to `columns`, every
' rowStep-th row and columnStep-th column hidden. The record loop writes its lines to the file
' and the restore loop reads and splits them back, as the tool does; both are timed apart.
Option Explicit

Dim rows, columns, rowStep, columnStep, path
rows = CLng(WScript.Arguments(0))
columns = CLng(WScript.Arguments(1))
rowStep = CLng(WScript.Arguments(2))
columnStep = CLng(WScript.Arguments(3))
path = WScript.Arguments(4)

' Timer runs from midnight: a loop across it would come out negative.
Function Since(started)
  Dim elapsed
  elapsed = Timer - started
  If elapsed < 0 Then elapsed = elapsed + 86400
  Since = elapsed * 1000
End Function

Function ColumnLetters(column)
  Dim letters, n
  n = column
  Do While n > 0
    letters = Chr(65 + (n - 1) Mod 26) & letters
    n = (n - 1) \ 26
  Loop
  ColumnLetters = letters
End Function

Sub SetUp(app)
  Dim sheet, r, c
  app.Workbooks.Add
  Set sheet = app.ActiveSheet
  sheet.Range("A1:A" & rows).Value = 1
  sheet.Range("A1:" & ColumnLetters(columns) & "1").Value = 1
  For r = rowStep To rows Step rowStep
    sheet.Rows(r & ":" & r).Hidden = True
  Next
  For c = columnStep To columns Step columnStep
    sheet.Columns(c).Hidden = True
  Next
End Sub

Function StateText(hidden)
  If hidden Then StateText = "True" Else StateText = "False"
End Function

Function Record(app, fso)
  Dim started, sheet, out, lastRow, lastColumn, r, c, address
  started = Timer
  Set sheet = app.ActiveSheet
  Set out = fso.CreateTextFile(path, True)
  lastRow = sheet.Cells(65536, 1).End(-4162).Row
  For r = 1 To lastRow
    address = r & ":" & r
    out.WriteLine address & "/" & StateText(sheet.Rows(address).EntireRow.Hidden)
  Next
  lastColumn = sheet.Cells(1, 256).End(-4159).Column
  For c = 1 To lastColumn
    out.WriteLine c & "/" & StateText(sheet.Columns(c).EntireColumn.Hidden)
  Next
  out.Close
  Record = Since(started)
End Function

Sub Scramble(app)
  Dim sheet
  Set sheet = app.ActiveSheet
  sheet.Rows("1:" & rows).Hidden = True
  sheet.Range("A1:" & ColumnLetters(columns) & "1").EntireColumn.Hidden = True
End Sub

Function Restore(app, fso)
  Dim started, sheet, file, pieces, state, stateText
  started = Timer
  Set sheet = app.ActiveSheet
  app.ScreenUpdating = False
  Set file = fso.OpenTextFile(path, 1)
  state = False
  Do While Not file.AtEndOfStream
    pieces = Split(file.ReadLine, "/")
    stateText = UCase(pieces(1))
    If stateText = "TRUE" Then state = True
    If stateText = "FALSE" Then state = False
    If InStr(pieces(0), ":") > 0 Then
      sheet.Rows(pieces(0)).EntireRow.Hidden = state
    Else
      sheet.Columns(CDbl(pieces(0))).EntireColumn.Hidden = state
    End If
  Loop
  file.Close
  app.ScreenUpdating = True
  Restore = Since(started)
End Function

' How many rows and columns do not hold the state that the set-up gave them.
Function Wrong(app)
  Dim sheet, r, c, count
  Set sheet = app.ActiveSheet
  count = 0
  For r = 1 To rows
    If sheet.Rows(r & ":" & r).EntireRow.Hidden <> (r Mod rowStep = 0) Then count = count + 1
  Next
  For c = 1 To columns
    If sheet.Columns(c).EntireColumn.Hidden <> (c Mod columnStep = 0) Then count = count + 1
  Next
  Wrong = count
End Function

Dim app, fso, recordMs, restoreMs, startedHere
Set app = CreateObject("Excel.Application")
' An Excel that automation started has no workbook yet; one that was already running (a server
' that serves every client from one instance) is someone else's and stays.
startedHere = (app.Workbooks.Count = 0)
Set fso = CreateObject("Scripting.FileSystemObject")
SetUp app
recordMs = Record(app, fso)
Scramble app
restoreMs = Restore(app, fso)
WScript.Echo "record us: " & CStr(CLng(recordMs * 1000))
WScript.Echo "restore us: " & CStr(CLng(restoreMs * 1000))
WScript.Echo "wrong after restore: " & CStr(Wrong(app))
If startedHere Then app.Quit
