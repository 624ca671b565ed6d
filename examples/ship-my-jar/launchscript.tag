DESC: Hello App
COMMAND: """@JVM_HOME@\@JVM_EXE@"" %SYSTEMPROP%(""hello.launcher"", """"""%LAUNCHER_FILE%()"""""") -jar ""%APPLICATION_ARCHIVE%()"" welcome"
