/* The English texts of the string table (identifiers 1 to 36), in UTF-8.
   launcher.rc builds the English table from these, and the host build
   answers resource loads with them. */
#ifndef NV_ENGLISH_H
#define NV_ENGLISH_H

#define NV_EN_1 "LauncherMain"
#define NV_EN_2 "Initializing %1!s!..."
#define NV_EN_3 "Searching for Java(tm) Virtual Machine..."
#define NV_EN_4 "Preparing Java(tm) Virtual Machine..."
#define NV_EN_5 "Running %1!s!..."
#define NV_EN_6 "Java(tm) Virtual Machine was not found. %1!s! could not be launched."
#define NV_EN_7 "Searching for %1!s!"
#define NV_EN_8 "Could not load the input file."
#define NV_EN_9 "Error loading instructions file."
#define NV_EN_10 "Error loading launch script."
#define NV_EN_11 "Error loading JVM file."
#define NV_EN_12 "Invalid JVM file id."
#define NV_EN_13 "Invalid action in input file: "
#define NV_EN_14 "A log file name must be specified after the -nv:log option on the command line."
#define NV_EN_15 "Unable to extract embedded files from the launcher. "
#define NV_EN_16 "Unable to load the launcher file index. "
#define NV_EN_17 "No drives found on this system."
#define NV_EN_18 "Unable to create a temporary file."
#define NV_EN_19 "No JVM installer was included in the launcher."
#define NV_EN_20 "The progress bar has not been created yet"
#define NV_EN_21 "The JVM is not valid."
#define NV_EN_22 "An input file name must follow the '-nv:in' command line option."
#define NV_EN_23 "A suitable JVM could not be found. Please run the program again using the option -nv:javahome <JAVA HOME DIR>"
#define NV_EN_24 "Unable to search for all JVMs. "
#define NV_EN_25 "Scanning disk(s) for a Java(tm) Virtual Machine..."
#define NV_EN_26 "Verifying %1!s!"
#define NV_EN_27 "Invalid hive (%1!s!) specified in platform hint (%2!s!)."
#define NV_EN_28 "Invalid platform hint: %1!s!"
#define NV_EN_29 "Unable to open input file specified on the command line after the -nv:in option."
#define NV_EN_30 "Choose the JVM Destination Directory"
#define NV_EN_31 "Norvane\xC2\xAE is preparing the Norvane Wizard, which\nwill guide you through the rest of the process.\nPlease wait..."
#define NV_EN_32 "Please wait..."
#define NV_EN_33 "Error writing file = "
#define NV_EN_34 " There may not be enough temporary disk space. Try using -nv:tempdir to use a temporary directory on a partition with more disk space."
#define NV_EN_35 "Canceled by the user."
#define NV_EN_36 "Cannot use %1!s! as the temp directory because it does not exist. Please run the program again using the option -nv:tempdir <temp dir> to specify a different directory to use."

#endif
