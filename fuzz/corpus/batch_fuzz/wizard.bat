@echo off
rem the wizard batch
md C:\KestroBatch
echo exporting
regedit /a C:\KestroBatch\HKLM.reg HKEY_LOCAL_MACHINE
copy C:\AUTOEXEC.BAT C:\KestroBatch\a.bak
echo.
echo on
cacls C:\x /g everyone:f
