#pragma once
// The JVM search as the instruction program and the input file's actions ask
// for it: FIND_JVM with its status, logs and failure message, and the SEARCH
// and SEARCH_ALL actions, which answer on standard output.

#include "instructions/CommandWork.h"

namespace nv {

class JvmSearch;
class LauncherPayload;
struct Run;

// Before a search or a verification: shows the window with the status
// "Searching for Java(tm) Virtual Machine..." when `showProgress`, else hides
// it at once.
void showSearchWindow(bool showProgress);

// Each takes the verification class from `payload` first when the search has
// none (prepareVerifyClass).

// FIND_JVM: finds one JVM and writes its JVM file (removed at the end of the
// run). Not found with `showFailure`: logs MessageCode::noSuitableJvm,
// followed by the Java versions the JVM files ask for
// (appendWantedJavaVersions), and shows it unless the user cancelled. Not
// found without: logs "No suitable JVM was found." with those versions and
// holds the advice for the end of `run` (holdJvmAdvice). A
// LauncherException of the search is logged as an error after
// MessageCode::noSuitableJvm, shown when `showFailure` is set, and thrown on
// with its message unchanged; without `showFailure` it declines the box.
FoundJvm findJvm(JvmSearch& search, LauncherPayload& payload, bool showProgress, bool showFailure, Run& run);

// SEARCH: FIND_JVM, then writes "1", the Java home
// and the JVM file, which then outlives the run; "0" when nothing was found.
// Writes nothing when the search fails: its LauncherException passes through.
void searchAction(JvmSearch& search, LauncherPayload& payload, bool showProgress, bool showFailure, Run& run);

// SEARCH_ALL: writes the number of JVMs of the disk scan, then the Java home
// and the JVM file of each (the files outlive the run). A failure is logged
// and shown when `showFailure` is set, and ends the output with "0".
void searchAllAction(JvmSearch& search, LauncherPayload& payload, bool showProgress, bool showFailure);

}  // namespace nv
