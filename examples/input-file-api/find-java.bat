@echo off
rem Finds a Java 17 for the application through javahelper.exe's input files:
rem   1. VERIFY_JVM   is the runtime this script installed last time still good?
rem   2. SEARCH_ALL   else, is there a Java 17 on a fixed drive? (java17.jvm says which)
rem   3. INSTALL_JVM  else, lay out the carried runtime (jvmsetup.exe) in runtime\
rem Prints JAVA_HOME=<folder> and ends with 0, or says which step failed and ends with 1.
setlocal
cd /d "%~dp0"
set "ANSWER=%TEMP%\find-java-answer.txt"
set "FOUND="

if not exist runtime\jvm goto search
> verify.tag echo ACTION: VERIFY_JVM
>> verify.tag echo LOGFILE: find-java.log
>> verify.tag echo VERIFY_JVM_FILE: java17.jvm
>> verify.tag echo VERIFY_JVM_HOME: %~dp0runtime
javahelper.exe -nv:silent -nv:in verify.tag > "%ANSWER%"
if %ERRORLEVEL% neq 0 goto failed
set "LINE=0"
for /f "usebackq delims=" %%A in ("%ANSWER%") do call :verified "%%A"
if defined FOUND goto found

:search
rem The answer: the count, then each Java home with the JVM file written for it.
javahelper.exe -nv:silent -nv:in search-all.tag > "%ANSWER%"
if %ERRORLEVEL% neq 0 goto failed
set "LINE=0"
for /f "usebackq delims=" %%A in ("%ANSWER%") do call :searched "%%A"
if defined FOUND goto found

if not exist runtime mkdir runtime
> install.tag echo ACTION: INSTALL_JVM
>> install.tag echo LOGFILE: find-java.log
>> install.tag echo INSTALL_JVM_EXE: """%~dp0jvmsetup.exe"""
>> install.tag echo INSTALL_JVM_DEST: %~dp0runtime
javahelper.exe -nv:silent -nv:in install.tag > "%ANSWER%"
if %ERRORLEVEL% neq 0 goto failed
rem The answer: the path of the JVM file the runtime was laid out with.
for /f "usebackq delims=" %%A in ("%ANSWER%") do if exist "%%A" set "FOUND=%~dp0runtime"
if defined FOUND goto found
echo find-java: the carried runtime did not install; see find-java.log
goto end_failed

:found
del "%ANSWER%"
echo JAVA_HOME=%FOUND%
endlocal & exit /b 0

:failed
echo find-java: javahelper.exe failed (exit code %ERRORLEVEL%); see find-java.log
:end_failed
if exist "%ANSWER%" del "%ANSWER%"
endlocal & exit /b 1

:verified
rem One line: 1 when the runtime passed the verification, else 0.
if "%~1"=="1" set "FOUND=%~dp0runtime"
goto :eof

:searched
rem Take the first home; delete every JVM file written for a home (odd lines from 3 on).
set /a LINE+=1
if %LINE%==2 set "FOUND=%~1"
set /a PARITY=LINE %% 2
if %LINE% geq 3 if %PARITY%==1 del "%~1"
goto :eof
