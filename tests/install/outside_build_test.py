#!/usr/bin/env python3
"""Installs the toolkit into a scratch prefix and builds an outside program against it.

Usage: outside_build_test.py BUILD_DIR EXAMPLE_DIR

The example (examples/uecp-frame) is built three ways: through find_package(RdsUecp) with the
shared and with the static library, and through pkg-config. Each build must print the frame we
assemble here by hand from the UECP framing rules, byte for byte. A second install with DESTDIR
checks that files land under DESTDIR while the pkg-config file names the real prefix.
"""
import binascii
import glob
import os
import shutil
import subprocess
import sys
import tempfile


def uecp_crc(data):
    # CRC-CCITT, polynomial 0x1021 from 0xFFFF, inverted: Python's own CRC-CCITT, not ours.
    return binascii.crc_hqx(data, 0xFFFF) ^ 0xFFFF


def expected_frame():
    # Site 1 and encoder 2: 10 + 6 address bits, 0000000001 000010 = 0x0042. SQC 0.
    pi_element = bytes([0x01, 0x00, 0x00, 0xD3, 0xFE])  # MEC, DSN, PSN, PI
    ps_element = bytes([0x02, 0x00, 0x00]) + b"RADIO 1 "  # MEC, DSN, PSN, name padded to 8
    message = pi_element + ps_element
    body = bytes([0x00, 0x42, 0x00, len(message)]) + message
    crc = uecp_crc(body)
    body += bytes([crc >> 8, crc & 0xFF])
    stuffed = bytearray([0xFE])
    for byte in body:
        stuffed += bytes([0xFD, byte - 0xFD]) if byte >= 0xFD else bytes([byte])
    stuffed.append(0xFF)
    return " ".join(f"{byte:02X}" for byte in stuffed)


def run(command, **kwargs):
    result = subprocess.run(command, capture_output=True, text=True, timeout=240, **kwargs)
    if result.returncode != 0:
        raise RuntimeError(f"{' '.join(command)}: exit {result.returncode}\n"
                           f"{result.stdout}{result.stderr}")
    return result.stdout


def main():
    build_dir, example_dir = sys.argv[1], sys.argv[2]
    # The acknowledgement frame "FE 00 00 2A 02 18 00 4A B0 FF" checks our reference CRC.
    if uecp_crc(bytes([0x00, 0x00, 0x2A, 0x02, 0x18, 0x00])) != 0x4AB0:
        print("the test's own CRC is wrong", file=sys.stderr)
        return 1
    want = expected_frame()
    failures = []
    with tempfile.TemporaryDirectory(prefix="rds-install-") as scratch:
        prefix = os.path.join(scratch, "prefix")
        run(["cmake", "--install", build_dir, "--prefix", prefix])
        # lib/ or, on Debian, lib/<multiarch>/.
        shared = glob.glob(os.path.join(prefix, "lib*", "**", "librdsuecp.so"), recursive=True)
        if len(shared) != 1:
            print(f"expected one librdsuecp.so under {prefix}, found {shared}", file=sys.stderr)
            return 1
        library_dir = os.path.dirname(shared[0])
        source = os.path.join(scratch, "uecp-frame")
        shutil.copytree(example_dir, source)
        environment = dict(os.environ, LD_LIBRARY_PATH=library_dir,
                           PKG_CONFIG_PATH=os.path.join(library_dir, "pkgconfig"))
        environment.pop("PKG_CONFIG_LIBDIR", None)

        programs = {}
        for kind, static in (("find_package shared", "OFF"), ("find_package static", "ON")):
            binary_dir = os.path.join(scratch, "build-" + static)
            run(["cmake", "-S", source, "-B", binary_dir, "-DCMAKE_PREFIX_PATH=" + prefix,
                 "-DUECP_FRAME_STATIC=" + static], env=environment)
            run(["cmake", "--build", binary_dir], env=environment)
            programs[kind] = os.path.join(binary_dir, "uecp-frame")
        run(["make", "-C", source], env=environment)
        programs["pkg-config"] = os.path.join(source, "uecp-frame")

        for kind, program in programs.items():
            got = run([program], env=environment).strip()
            if got != want:
                failures.append(f"{kind}: printed\n  {got}\nwanted\n  {want}")
        static_libraries = run(["ldd", programs["find_package static"]])
        if "librdsuecp" in static_libraries:
            failures.append("the static build still needs librdsuecp.so")
        soname = run(["readelf", "-d", os.path.join(library_dir, "librdsuecp.so")])
        if "Library soname: [librdsuecp.so." not in soname:
            failures.append("librdsuecp.so has no versioned SONAME")

        stage = os.path.join(scratch, "stage")
        run(["cmake", "--install", build_dir, "--prefix", "/opt/rds"],
            env=dict(os.environ, DESTDIR=stage))
        library_subdir = os.path.relpath(library_dir, prefix)
        pc_file = os.path.join(stage, "opt/rds", library_subdir, "pkgconfig/rdsuecp.pc")
        with open(pc_file, encoding="utf-8") as pc:
            if "prefix=/opt/rds\n" not in pc.read():
                failures.append("with DESTDIR the pkg-config file does not name the real prefix")
        if not os.path.exists(os.path.join(stage, "opt/rds/bin/brovik")):
            failures.append("with DESTDIR brovik is not under DESTDIR/opt/rds/bin")

    for failure in failures:
        print(failure, file=sys.stderr)
    if failures:
        return 1
    print(f"the installed library builds {want} three ways")
    return 0


if __name__ == "__main__":
    sys.exit(main())
