DESC: Hello App
COMMAND: """@JVM_HOME@\@JVM_EXE@"" %SYSTEMPROP%(""hello.launcher"", """"""%LAUNCHER_FILE%()"""""") %CP%() hello.HelloApp found-or-installed"
