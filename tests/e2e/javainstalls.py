"""Java installs laid into the test's Wine prefix the way the vendors' installers
lay them, for the tests of the catalogue of common installs and of PREFER.

Each install has a home on C: named as its installer names it, registry keys in
the hive and view its installer writes (an x64 installer the 64-bit view, an x86
one the 32-bit view, under SOFTWARE\\WOW6432Node of the 64-bit one; a per-user
install HKCU), values named as the vendor names them (JavaHome, Path under
...\\hotspot\\MSI, InstallationPath, with the DWORD flags some keep beside them),
and the environment its installer sets: JAVA_HOME, the system or the user's PATH.
Its bin\\java.exe is the stand-in Java, which answers the verification with the
java.version and java.vendor of the home's standin.properties and records every
start in bin\\record.txt; a home may be laid with or without its `release` file.

    install(session, [BY_NAME["zulu-11"]]); ...; remove_all(session)

The registry and the environment change in one `reg import` per call: one Wine
start, about half a second.
"""

import os
import shutil
import struct

import harness

HKLM = "HKEY_LOCAL_MACHINE"
HKCU = "HKEY_CURRENT_USER"
ENVIRONMENT_KEYS = {HKLM: r"SYSTEM\CurrentControlSet\Control\Session Manager\Environment", HKCU: "Environment"}
LOCAL_PROGRAMS = "C:\\users\\%s\\AppData\\Local\\Programs" % harness.USER
# Where the homes lie, and the folders that removing them leaves in place.
ROOTS = ["C:\\Program Files", "C:\\Program Files (x86)", LOCAL_PROGRAMS, "C:\\tools",
         "C:\\Program Files\\Common Files", "C:\\Program Files (x86)\\Common Files"]
# The keys below SOFTWARE that the installs write, removed whole in every hive and view.
VENDOR_KEYS = ["JavaSoft", "Eclipse Adoptium", "AdoptOpenJDK", "Azul Systems", "Microsoft\\JDK", "BellSoft",
               "Semeru", "SapMachine", "Amazon"]


class Install:
    """One Java install. version is the java.version it reports (1.8.0_401,
    17.0.10); home its folder as a Windows path; keys [(hive, view, key below
    HKxx, {value name: str or int (a DWORD)})]; java_home: its installer sets
    the system's JAVA_HOME (with a trailing backslash, as some do); path: it
    adds home\\bin to the "system" or the "user" PATH; extra_path: [(scope,
    folder)] folders holding a java.exe of their own that it puts on PATH
    (Oracle's javapath)."""

    def __init__(self, name, version, bits, home, vendor, keys=(), java_home=False, path=None, extra_path=(),
                 arch=None):
        self.name = name
        self.version = version
        self.bits = bits
        self.home = home
        self.vendor = vendor
        self.keys = list(keys)
        self.java_home = java_home
        self.path = path
        self.extra_path = list(extra_path)
        self.arch = arch or ("x86_64" if bits == 64 else "x86")

    @property
    def major(self):
        parts = self.version.split(".")
        return int(parts[1] if parts[0] == "1" else parts[0])

    def __repr__(self):
        return "Install(%s, %s, %d-bit)" % (self.name, self.version, self.bits)


def _msi(vendor, kind, four_part, jvm, home, hive=HKLM, view=64):
    """The key of an installer built from the Adoptium MSI sources: Path (the
    folder with its trailing backslash, as MSI writes folders) and the feature
    flags as DWORDs, one of them named JavaHome."""
    return (hive, view, "SOFTWARE\\%s\\%s\\%s\\%s\\MSI" % (vendor, kind, four_part, jvm),
            {"Path": home + "\\", "Main": 1, "EnvironmentPath": 1, "JavaHome": 0, "IcedTeaWeb": 0})


def _javasoft(kind, version, home, view=64, runtime_lib=True):
    values = {"JavaHome": home}
    if runtime_lib:
        values["RuntimeLib"] = home + "\\bin\\server\\jvm.dll"
    return (HKLM, view, "SOFTWARE\\JavaSoft\\%s\\%s" % (kind, version), values)


def _installs():
    pf, pf86 = "C:\\Program Files", "C:\\Program Files (x86)"
    temurin17 = pf + "\\Eclipse Adoptium\\jdk-17.0.10.7-hotspot"
    temurin21 = LOCAL_PROGRAMS + "\\Eclipse Adoptium\\jdk-21.0.2.13-hotspot"
    temurin11 = pf86 + "\\Eclipse Adoptium\\jre-11.0.22.7-hotspot"
    adopt11 = pf + "\\AdoptOpenJDK\\jdk-11.0.11.9-hotspot"
    microsoft17 = pf + "\\Microsoft\\jdk-17.0.9.8-hotspot"
    semeru11 = pf + "\\Semeru\\jdk-11.0.21.9-openj9"
    oracle17 = pf + "\\Java\\jdk-17"
    oracle8 = pf86 + "\\Java\\jre1.8.0_401"
    zulu11 = pf + "\\Zulu\\zulu-11"
    zulu8 = pf86 + "\\Zulu\\zulu-8"
    corretto11 = pf + "\\Amazon Corretto\\jdk11.0.20_8"
    liberica17 = pf + "\\BellSoft\\LibericaJDK-17"
    sap17 = pf + "\\SapMachine\\JDK\\17"
    return [
        # Per-machine MSI with its JavaSoft keys (major and full version) chosen at install.
        Install("temurin-17", "17.0.10", 64, temurin17, "Eclipse Adoptium", path="system",
                keys=[_msi("Eclipse Adoptium", "JDK", "17.0.10.7", "hotspot", temurin17),
                      _javasoft("JDK", "17", temurin17), _javasoft("JDK", "17.0.10.7", temurin17)]),
        Install("temurin-21-user", "21.0.2", 64, temurin21, "Eclipse Adoptium", path="user",
                keys=[_msi("Eclipse Adoptium", "JDK", "21.0.2.13", "hotspot", temurin21, hive=HKCU)]),
        Install("temurin-11-x86", "11.0.22", 32, temurin11, "Eclipse Adoptium",
                keys=[_msi("Eclipse Adoptium", "JRE", "11.0.22.7", "hotspot", temurin11, view=32)]),
        Install("adoptopenjdk-11", "11.0.11", 64, adopt11, "AdoptOpenJDK",
                keys=[_msi("AdoptOpenJDK", "JDK", "11.0.11.9", "hotspot", adopt11)]),
        Install("microsoft-17", "17.0.9", 64, microsoft17, "Microsoft", path="system",
                keys=[_msi("Microsoft", "JDK", "17.0.9.8", "hotspot", microsoft17)]),
        Install("semeru-11", "11.0.21", 64, semeru11, "IBM Corporation",
                keys=[_msi("Semeru", "JDK", "11.0.21.9", "openj9", semeru11)]),
        Install("oracle-jdk-17", "17.0.12", 64, oracle17, "Oracle Corporation",
                extra_path=[("system", pf + "\\Common Files\\Oracle\\Java\\javapath")],
                keys=[_javasoft("JDK", "17.0.12", oracle17, runtime_lib=False),
                      (HKLM, 64, "SOFTWARE\\JavaSoft\\JDK", {"CurrentVersion": "17.0.12"})]),
        Install("oracle-jre-8-x86", "1.8.0_401", 32, oracle8, "Oracle Corporation", arch="i586",
                extra_path=[("system", pf86 + "\\Common Files\\Oracle\\Java\\javapath")],
                keys=[_javasoft("Java Runtime Environment", "1.8.0_401", oracle8, view=32),
                      _javasoft("Java Runtime Environment", "1.8", oracle8, view=32),
                      (HKLM, 32, "SOFTWARE\\JavaSoft\\Java Runtime Environment",
                       {"CurrentVersion": "1.8", "BrowserJavaVersion": "11.401.2"})]),
        Install("zulu-11", "11.0.22", 64, zulu11, "Azul Systems, Inc.",
                keys=[(HKLM, 64, "SOFTWARE\\Azul Systems\\Zulu\\zulu-11",
                       {"InstallationPath": zulu11 + "\\", "MajorVersion": 11, "MinorVersion": 22})]),
        Install("zulu-8-x86", "1.8.0_402", 32, zulu8, "Azul Systems, Inc.",
                keys=[(HKLM, 32, "SOFTWARE\\Azul Systems\\Zulu 32-bit\\zulu-8",
                       {"InstallationPath": zulu8 + "\\", "MajorVersion": 8, "MinorVersion": 402})]),
        Install("corretto-11", "11.0.20", 64, corretto11, "Amazon.com Inc.",
                keys=[_javasoft("JDK", "11.0.20_8", corretto11, runtime_lib=False)]),
        Install("liberica-17", "17.0.8", 64, liberica17, "BellSoft",
                keys=[(HKLM, 64, "SOFTWARE\\BellSoft\\Liberica\\jdk-17",
                       {"InstallationPath": liberica17 + "\\", "MajorVersion": 17, "MinorVersion": 0,
                        "PatchVersion": 8})]),
        Install("sapmachine-17", "17.0.7", 64, sap17, "SAP SE",
                keys=[(HKLM, 64, "SOFTWARE\\SapMachine\\JDK\\17.0.7",
                       {"JavaHome": sap17, "RuntimeLib": sap17 + "\\bin\\server\\jvm.dll"}),
                      (HKLM, 64, "SOFTWARE\\SapMachine\\JDK\\17.0.7\\MSI", {"JavaHome": 1, "Path": 1})]),
        # Archives unpacked by hand: into a vendor's default folder (found by its folder
        # alone), named by JAVA_HOME only, on the user's PATH only.
        Install("folder-only", "16.0.2", 64, pf + "\\Java\\jdk-16.0.2", "Oracle Corporation"),
        Install("javahome-only", "15.0.2", 64, "C:\\tools\\jdk-15.0.2", "Oracle Corporation", java_home=True),
        Install("path-only", "13.0.2", 64, "C:\\tools\\openjdk-13.0.2", "Oracle Corporation", path="user"),
    ]


INSTALLS = _installs()
BY_NAME = {i.name: i for i in INSTALLS}


def linux_path(session, windows):
    """The Linux path of a path on C: of the prefix."""
    if not windows.upper().startswith("C:\\"):
        raise ValueError("not on C: %s" % windows)
    return os.path.join(session.drive_c, *windows[3:].split("\\"))


class Expand(str):
    """A REG_EXPAND_SZ value."""


def _reg_string(text):
    return '"%s"' % text.replace("\\", "\\\\").replace('"', '\\"')


def _reg_value(name, value):
    if value is None:
        data = "-"
    elif isinstance(value, int):
        data = "dword:%08x" % value
    elif isinstance(value, Expand):
        data = "hex(2):" + ",".join("%02x" % b for b in (str(value) + "\0").encode("utf-16-le"))
    else:
        data = _reg_string(value)
    return "%s=%s\n" % (_reg_string(name), data)


def _physical(hive, view, key):
    """The key as the 64-bit view names it: the 32-bit view of HKLM\\SOFTWARE is its WOW6432Node."""
    if view == 32:
        if hive != HKLM or not key.upper().startswith("SOFTWARE\\"):
            raise ValueError("no 32-bit view laid for %s\\%s" % (hive, key))
        key = "SOFTWARE\\WOW6432Node\\" + key[len("SOFTWARE\\"):]
    return "%s\\%s" % (hive, key)


def _system_path(session):
    """The system PATH of the fresh prefix, read once per session."""
    if not hasattr(session, "_nv_system_path"):
        session._nv_system_path = session.reg_query(HKLM + "\\" + ENVIRONMENT_KEYS[HKLM], "PATH", view=64)
    return session._nv_system_path


def _installed(session):
    if not hasattr(session, "_nv_java_installs"):
        session._nv_java_installs = {}
    return session._nv_java_installs


def _environment_text(session):
    """JAVA_HOME and both PATHs for the installs now laid, later installs first on PATH
    as an installer prepends."""
    installed = list(_installed(session).values())
    system, user, java_home = [], [], None
    for i in installed:
        for scope, folder in i.extra_path + ([(i.path, i.home + "\\bin")] if i.path else []):
            (system if scope == "system" else user).insert(0, folder)
        if i.java_home:
            java_home = i.home + "\\"
    text = "[%s]\n" % _physical(HKLM, 64, ENVIRONMENT_KEYS[HKLM])
    text += _reg_value("JAVA_HOME", java_home)
    text += _reg_value("PATH", Expand(";".join(system + [_system_path(session)])))
    text += "\n[%s]\n" % _physical(HKCU, 64, ENVIRONMENT_KEYS[HKCU])
    text += _reg_value("PATH", Expand(";".join(user)) if user else None)
    return text + "\n"


def _lay_folder(session, install, release):
    home = linux_path(session, install.home)
    os.makedirs(os.path.join(home, "bin"), exist_ok=True)
    # A program of the install's own bitness where one can run here, as the launcher reads it from the header.
    java = standin(session, install.bits) or session.fixture("StandInJava")
    shutil.copyfile(java, os.path.join(home, "bin", "java.exe"))
    with open(os.path.join(home, "standin.properties"), "w") as f:
        f.write("java.version=%s\njava.vendor=%s\n" % (install.version, install.vendor))
    release_file = os.path.join(home, "release")
    if release:
        with open(release_file, "w") as f:
            f.write('IMPLEMENTOR="%s"\nJAVA_VERSION="%s"\nOS_ARCH="%s"\nOS_NAME="Windows"\n'
                    % (install.vendor, install.version, install.arch))
    elif os.path.exists(release_file):
        os.remove(release_file)
    for _, folder in install.extra_path:
        os.makedirs(linux_path(session, folder), exist_ok=True)
        shutil.copyfile(java, os.path.join(linux_path(session, folder), "java.exe"))


def standin(session, bits):
    """The stand-in Java built for 32 or 64 bits: the session's own, else that of
    the other Windows build beside its build tree (build/win32, build/win64); None
    when there is none, or it is 32-bit and the prefix runs no 32-bit programs."""
    own = session.fixture("StandInJava")
    if harness.pe_bits(own) == bits:
        return own
    if bits == 32 and not os.path.exists(os.path.join(session.drive_c, "windows", "syswow64", "kernel32.dll")):
        return None
    other = os.path.join(os.path.dirname(session.build_dir), "win%d" % bits, "fixtures", "StandInJava.exe")
    return other if os.path.exists(other) else None


def lay_32_bit_header(session, install):
    """Makes the install's java.exe read as a 32-bit program where it is not one:
    the 64-bit stand-in with its header's machine and optional-header magic set
    to i386's, which cannot start. For a test that a 32-bit Java waits behind a
    64-bit one, on a machine that runs no 32-bit programs."""
    java = os.path.join(linux_path(session, install.home), "bin", "java.exe")
    if harness.pe_bits(java) == 32:
        return
    with open(java, "rb") as f:
        image = bytearray(f.read())
    pe = struct.unpack_from("<I", image, 0x3C)[0]
    struct.pack_into("<H", image, pe + 4, 0x14C)
    struct.pack_into("<H", image, pe + 24, 0x10B)
    with open(java, "wb") as f:
        f.write(image)


def install(session, installs, without_release=()):
    """Lays the installs (Install objects) beside those laid already: folders, registry
    and environment. without_release: names of installs whose home gets no release file."""
    text = ""
    for i in installs:
        _lay_folder(session, i, i.name not in without_release)
        for hive, view, key, values in i.keys:
            text += "[%s]\n" % _physical(hive, view, key)
            text += "".join(_reg_value(name, value) for name, value in values.items()) + "\n"
        _installed(session)[i.name] = i
    session.reg_import(text + _environment_text(session), view=64)


def install_all(session, without_release=()):
    install(session, INSTALLS, without_release)


def _remove_folder(session, windows):
    path = linux_path(session, windows)
    shutil.rmtree(path, ignore_errors=True)
    # The vendor folders above the home go too, as an uninstaller leaves them when it was the last.
    stops = {os.path.normcase(linux_path(session, root)) for root in ROOTS}
    parent = os.path.dirname(path)
    while os.path.normcase(parent) not in stops and parent.startswith(session.drive_c + os.sep):
        try:
            os.rmdir(parent)
        except OSError:
            break
        parent = os.path.dirname(parent)


def remove_all(session):
    """Takes every install away again, whether laid or not: homes, vendor folders, the
    vendors' keys in both hives and views, JAVA_HOME, the user's PATH, the system PATH
    as the prefix had it."""
    for i in INSTALLS:
        _remove_folder(session, i.home)
        for _, folder in i.extra_path:
            _remove_folder(session, folder)
    shutil.rmtree(linux_path(session, "C:\\tools"), ignore_errors=True)
    _installed(session).clear()
    text = ""
    for hive, view in ((HKLM, 64), (HKLM, 32), (HKCU, 64)):
        text += "".join("[-%s]\n\n" % _physical(hive, view, "SOFTWARE\\" + key) for key in VENDOR_KEYS)
    session.reg_import(text + _environment_text(session), view=64)


def java_starts(session, installs=INSTALLS):
    """{install name: [(kind, arguments)]} of the stand-in starts recorded in each
    home (kind "verify" for a verification, else "launch"); javapath copies count
    under their install's name too."""
    starts = {}
    for i in installs:
        records = [os.path.join(linux_path(session, i.home), "bin", "record.txt")]
        records += [os.path.join(linux_path(session, folder), "record.txt") for _, folder in i.extra_path]
        found = []
        for record in records:
            if not os.path.exists(record):
                continue
            with open(record, "rb") as f:
                text = f.read().decode("utf-8", "replace")
            for entry in text.split("commandline=")[1:]:
                args = [line.split("=", 1)[1] for line in entry.splitlines() if line.startswith("arg")]
                found.append(("verify" if "Verify" in args else "launch", args))
        if found:
            starts[i.name] = found
    return starts


def clear_starts(session, installs=INSTALLS):
    for i in installs:
        for record in [os.path.join(linux_path(session, i.home), "bin", "record.txt")] + [
                os.path.join(linux_path(session, folder), "record.txt") for _, folder in i.extra_path]:
            if os.path.exists(record):
                os.remove(record)
