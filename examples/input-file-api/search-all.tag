ACTION: SEARCH_ALL
LOGFILE: find-java.log
JVM: java17.jvm
