DESC: Norvane Demo Wizard
COMMAND: """@JVM_HOME@\@JVM_EXE@"" -cp %CP%() demo.Main"
