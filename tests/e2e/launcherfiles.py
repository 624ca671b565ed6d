"""Building launcher files for end-to-end tests: with nvpack, or by hand where
a test needs bytes that nvpack rightly refuses to write."""

import os
import struct

# A failed run ends the process with its result -1, which Wine reports as 255.
FAILED_RUN = 255


def pack(session, directory, entries, mode=1, name="setup.exe", check=True):
    """Packs launcher.exe with entries [(type, id, name, bytes)] through nvpack;
    returns the launcher file's path. check=False packs content that fails at
    run time on purpose, which nvpack otherwise refuses."""
    args = [session.nvpack, "--stub", session.launcher, "--out", os.path.join(directory, name),
            "--mode", str(mode)]
    if not check:
        args.append("--no-check")
    sources = os.path.join(directory, "sources")
    os.makedirs(sources, exist_ok=True)
    for i, (kind, file_id, entry_name, data) in enumerate(entries):
        source = os.path.join(sources, "%d.bin" % i)
        with open(source, "wb") as f:
            f.write(data)
        args += ["--entry", str(kind), str(file_id), entry_name, source]
    result = session.run_host(args)
    if result.returncode != 0:
        raise AssertionError("nvpack failed: %r" % result.stderr)
    return os.path.join(directory, name)


def pack_by_hand(session, directory, entries, mode=1, name="setup.exe"):
    """Writes launcher.exe, the entries' data and an index of [(type, id, name
    bytes, data)] without any check; returns the path."""
    with open(session.launcher, "rb") as f:
        image = bytearray(f.read())
    index = bytearray(struct.pack(">i", len(entries)))
    for kind, file_id, entry_name, data in entries:
        offset = len(image)
        image += data
        index += struct.pack(">BiiiH", kind, file_id, len(data), offset, len(entry_name)) + entry_name + b"\0"
    index_offset = len(image)
    image += index + struct.pack(">BII", mode, index_offset, 0xCA82CA82)
    path = os.path.join(directory, name)
    with open(path, "wb") as f:
        f.write(image)
    return path


def index_entries(image):
    """The index of a launcher file's bytes: (index offset, [(type, id, name, offset, length)])."""
    index_offset, identification = struct.unpack(">II", image[-8:])
    if identification != 0xCA82CA82:
        raise AssertionError("no launcher file trailer")
    at = index_offset + 4
    entries = []
    for _ in range(struct.unpack(">i", image[index_offset:at])[0]):
        kind, file_id, length, offset, name_length = struct.unpack(">BiiiH", image[at:at + 15])
        name = image[at + 15:at + 15 + name_length]
        at += 15 + name_length
        at += 9 if image[at] == 1 else 1  # a compressed entry's count and size follow its flag
        entries.append((kind, file_id, name, offset, length))
    return index_offset, entries


def as_older_nvpack_wrote(path, out_path, entry_checksums=False):
    """Writes the launcher file at path as an older nvpack wrote it: before the
    checksums (none), or with entry_checksums the entries' CRC-32s, their count
    and "NVCK" without the index's CRC-32. The block in front of the index is
    made again after the zeros that end the file on an 8-byte boundary, and the
    index offset moved; returns out_path."""
    with open(path, "rb") as f:
        image = f.read()
    index_offset, entries = index_entries(image)
    if image[index_offset - 4:index_offset] != b"NVC2":
        raise AssertionError("%s carries no checksums" % path)
    data_end = max(offset + length for _, _, _, offset, length in entries)
    block = b""
    if entry_checksums:
        block = image[index_offset - 8 - 4 * len(entries):index_offset - 4] + b"NVCK"
    index = image[index_offset:-9]
    padding = (8 - (data_end + len(block) + len(index) + 9) % 8) % 8
    old_offset = data_end + padding + len(block)
    old = image[:data_end] + b"\0" * padding + block + index + image[-9:-8] + struct.pack(">II", old_offset,
                                                                                         0xCA82CA82)
    with open(out_path, "wb") as f:
        f.write(old)
    return out_path


def without_checksums(path, out_path):
    """The launcher file at path as nvpack wrote it before the checksums."""
    return as_older_nvpack_wrote(path, out_path)


def read_text(path):
    """A text file the launcher wrote, with Windows line ends folded."""
    with open(path, "rb") as f:
        return f.read().decode("latin-1").replace("\r\n", "\n")
