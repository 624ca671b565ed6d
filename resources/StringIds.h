/* Identifiers of the launcher's resources and the English string table,
   shared by launcher.rc and the code. Resource compilers read it as C
   through the preprocessor: the C++ part at the end is hidden from them. */
#ifndef NV_STRING_IDS_H
#define NV_STRING_IDS_H

/* The string table, one row per text: its identifier, its name, and its
   English text in UTF-8. TEXT rows are named by a StringId; MESSAGE rows are
   the failures worded in the user's language and named by their message code
   (nv::MessageCode), numbered from 0 in the order of the rows. strings/en.rc
   builds the English table from it, the host build answers resource loads
   with it, and the other 26 languages translate the same identifiers. */
#define NV_STRING_TABLE(TEXT, MESSAGE) \
    TEXT(1, IDS_MAIN_WINDOW_CLASS, "LauncherMain") \
    TEXT(2, IDS_STATUS_INITIALIZING, "Initializing %1!s!...") \
    TEXT(3, IDS_STATUS_SEARCHING, "Searching for Java(tm) Virtual Machine...") \
    TEXT(4, IDS_STATUS_PREPARING, "Preparing Java(tm) Virtual Machine...") \
    TEXT(5, IDS_STATUS_RUNNING, "Running %1!s!...") \
    TEXT(6, IDS_STATUS_NOT_FOUND, "Java(tm) Virtual Machine was not found. %1!s! could not be launched.") \
    TEXT(7, IDS_DETAIL_SEARCHING, "Searching for %1!s!") \
    MESSAGE(8, couldNotLoadInputFile, 0, "Could not load the input file.") \
    MESSAGE(9, errorLoadingInstructions, 1, "Error loading instructions file.") \
    MESSAGE(10, errorLoadingLaunchScript, 2, "Error loading launch script.") \
    MESSAGE(11, errorLoadingJvmFile, 3, "Error loading JVM file.") \
    MESSAGE(12, invalidJvmFileId, 4, "Invalid JVM file id.") \
    MESSAGE(13, invalidAction, 5, "Invalid action in input file: ") \
    MESSAGE(14, logFileNameMissing, 6, "A log file name must be specified after the -nv:log option on the command line.") \
    MESSAGE(15, unableToExtract, 7, "Unable to extract embedded files from the launcher. ") \
    MESSAGE(16, unableToLoadIndex, 8, "Unable to load the launcher file index. ") \
    TEXT(17, IDS_NO_DRIVES, "No drives found on this system.") \
    TEXT(18, IDS_NO_TEMP_FILE, "Unable to create a temporary file.") \
    MESSAGE(19, noJvmInstaller, 9, "No JVM installer was included in the launcher.") \
    TEXT(20, IDS_NO_PROGRESS_BAR, "The progress bar has not been created yet") \
    MESSAGE(21, jvmNotValid, 10, "The JVM is not valid.") \
    MESSAGE(22, inputFileNameMissing, 11, "An input file name must follow the '-nv:in' command line option.") \
    MESSAGE(23, noSuitableJvm, 12, "A suitable JVM could not be found. Please run the program again using the option -nv:javahome <JAVA HOME DIR>") \
    MESSAGE(24, unableToSearchAll, 13, "Unable to search for all JVMs. ") \
    TEXT(25, IDS_DETAIL_SCANNING, "Scanning disk(s) for a Java(tm) Virtual Machine...") \
    TEXT(26, IDS_DETAIL_VERIFYING, "Verifying %1!s!") \
    TEXT(27, IDS_INVALID_HIVE, "Invalid hive (%1!s!) specified in platform hint (%2!s!).") \
    TEXT(28, IDS_INVALID_PLATFORM_HINT, "Invalid platform hint: %1!s!") \
    MESSAGE(29, unableToOpenInputFile, 14, "Unable to open input file specified on the command line after the -nv:in option.") \
    TEXT(30, IDS_CHOOSE_DESTINATION, "Choose the JVM Destination Directory") \
    TEXT(31, IDS_PREPARING_WIZARD, "Norvane\xC2\xAE is preparing the Norvane Wizard, which\nwill guide you through the rest of the process.\nPlease wait...") \
    TEXT(32, IDS_PLEASE_WAIT, "Please wait...") \
    MESSAGE(33, errorWritingFile, 15, "Error writing file = ") \
    MESSAGE(34, notEnoughTemporarySpace, 16, " There may not be enough temporary disk space. Try using -nv:tempdir to use a temporary directory on a partition with more disk space.") \
    MESSAGE(35, canceledByUser, 17, "Canceled by the user.") \
    MESSAGE(36, temporaryDirectoryMissing, 18, "Cannot use %1!s! as the temp directory because it does not exist. Please run the program again using the option -nv:tempdir <temp dir> to specify a different directory to use.") \
    MESSAGE(37, launcherFileDamaged, 19, "The launcher file is damaged. Please download it again.")

#define IDD_PROGRESS_LARGE 101
#define IDI_LAUNCHER 102
#define IDD_PROGRESS_SMALL 103
#define IDC_STATUS 1000
#define IDC_PROGRESS 1001
#define IDC_CANCEL 1003
#define IDC_EXPLANATION 1004

#ifdef __cplusplus
/* StringId: one name per TEXT row, for the code. */
#define NV_STRING_ID(id, name, text) name = id,
#define NV_NO_STRING_ID(id, name, code, text)
enum StringId : unsigned { NV_STRING_TABLE(NV_STRING_ID, NV_NO_STRING_ID) };
#undef NV_STRING_ID
#undef NV_NO_STRING_ID
#endif

#endif
