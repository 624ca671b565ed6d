DESC: Norvane Demo Wizard
COMMAND: """@JVM_HOME@\@JVM_EXE@"" %CP%(""""""demo.jar"""""") %SYSTEMPROP%(""temp.dir"", """"""%TEMP_DIR%()"""""") demo.DemoWizard run"
